#include "options/FileAssociations.h"

#include "formats/Cp1252.h"
#include "platform/Registry.h"

#include <string>

namespace glyphary::options {

using namespace platform;

namespace {

// One run of writes that keeps the first failure.
class Writer {
public:
    explicit Writer(Registry& registry) : registry_(registry) {}

    void setDefault(const std::string& keyPath, const QString& value) { setValue(keyPath, "", value); }
    void setValue(const std::string& keyPath, const char* name, const QString& value)
    {
        HKEY key = 0;
        if (!note(registry_.RegCreateKeyExA(HKEY_CLASSES_ROOT, keyPath, 0, KEY_ALL_ACCESS_LOW, &key, nullptr)))
            return;
        note(registry_.RegSetValueExA(key, name, REG_SZ, regString(formats::toCp1252(value))));
        registry_.RegCloseKey(key);
    }
    void create(const std::string& keyPath)
    {
        HKEY key = 0;
        if (note(registry_.RegCreateKeyExA(HKEY_CLASSES_ROOT, keyPath, 0, KEY_ALL_ACCESS_LOW, &key, nullptr)))
            registry_.RegCloseKey(key);
    }
    // A key that is not there, or that NT refuses to delete, is no failure: the writes that follow
    // rewrite it in place.
    void remove(const std::string& keyPath) { registry_.RegDeleteKeyA(HKEY_CLASSES_ROOT, keyPath); }
    // The key and everything below it, deepest first, so that NT's refusal of keys with subkeys
    // does not keep a stale open command.
    void removeTree(const std::string& keyPath)
    {
        HKEY key = 0;
        if (registry_.RegOpenKeyExA(HKEY_CLASSES_ROOT, keyPath, 0, KEY_ALL_ACCESS_LOW, &key) != ERROR_SUCCESS)
            return;
        std::vector<std::string> children;
        std::string name;
        for (DWORD i = 0; registry_.RegEnumKeyExA(key, i, &name) == ERROR_SUCCESS && i < kMaxChildren; ++i)
            children.push_back(name);
        registry_.RegCloseKey(key);
        if (depth_ < kMaxDepth) {
            ++depth_;
            for (const std::string& child : children)
                removeTree(keyPath + '\\' + child);
            --depth_;
        }
        note(registry_.RegDeleteKeyA(HKEY_CLASSES_ROOT, keyPath));
    }

    LONG status() const { return status_; }

private:
    static constexpr DWORD kMaxChildren = 10000;
    static constexpr int kMaxDepth = 32;

    bool note(LONG status)
    {
        if (status != ERROR_SUCCESS && status_ == ERROR_SUCCESS)
            status_ = status;
        return status == ERROR_SUCCESS;
    }

    Registry& registry_;
    LONG status_ = ERROR_SUCCESS;
    int depth_ = 0;
};

} // namespace

QString openCommand(const QString& programFolder)
{
    return u'"' + programFolder + QStringLiteral("Glyphary.exe\" \"%1\"");
}

LONG setAssociation(Registry& registry, const AssociationDef& def, bool checked, const AssociationFolders& folders)
{
    Writer w(registry);
    const std::string classKey = def.classKey;
    if (!checked) {
        if (def.which == Association::DLL) {
            w.setDefault(classKey + "\\DefaultIcon", folders.system + QStringLiteral("\\shell32.dll,-154"));
        } else {
            w.setDefault(classKey + "\\DefaultIcon", QStringLiteral("%1"));
            w.removeTree(classKey + "\\Shell");
        }
        return w.status();
    }
    w.remove(classKey);
    w.remove(def.extension);
    w.setDefault(def.extension, QString::fromLatin1(def.classKey));
    if (*def.description)
        w.setDefault(classKey, QString::fromLatin1(def.description));
    else
        w.create(classKey);
    w.setValue(classKey, "EditFlags", QStringLiteral("0000"));
    w.setDefault(classKey + "\\DefaultIcon",
                 def.ownIcon ? QStringLiteral("%1") : folders.program + QStringLiteral("glyphary.exe,0"));
    w.setDefault(classKey + "\\Shell", QString());
    w.setDefault(classKey + "\\Shell\\Open", QString());
    w.setDefault(classKey + "\\Shell\\Open\\command", openCommand(folders.program));
    return w.status();
}

} // namespace glyphary::options
