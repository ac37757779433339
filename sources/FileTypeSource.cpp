// The file types registered under HKEY_CLASSES_ROOT that name an icon of their own: one "syas" item
// per extension, and in lstChange the extension, class, icon and open command the change window
// reads back.

#include "sources/WindowsSources.h"

#include "core/AppContext.h"
#include "core/MainSession.h"
#include "formats/Cp1252.h"
#include "platform/Registry.h"

namespace glyphary::sources {
namespace {

using namespace platform;

class FileTypeSource : public IconSource {
public:
    explicit FileTypeSource(WindowsListing& listing) : listing_(listing) {}

    void list(const SourceRequest&) override
    {
        listing_.begin(QString());
        ItemList& rows = listing_.session().lstChange;
        rows.clear();
        const RegistryText& registry = listing_.registry();
        RegistryBatch reads(listing_.session().context().platform.registry());
        for (const QString& extension : extensions()) {
            if (listing_.aborted())
                break;
            const QString typeClass = registry.text(HKEY_CLASSES_ROOT, extension);
            if (typeClass.isEmpty())
                continue;
            const QString icon = registry.text(HKEY_CLASSES_ROOT, typeClass + QStringLiteral("\\Defaulticon"));
            // "%1": each file draws its own icon, so the type has none to show or change.
            if (icon.isEmpty() || icon == u"%1")
                continue;
            const IconLocation location = splitIconLocation(icon);
            const QString file = registry.expand(location.file);
            const QString description = registry.text(HKEY_CLASSES_ROOT, typeClass);
            listing_.add({file, location.index, description + QStringLiteral(" (*") + extension + u')'}, u'f', QLatin1String("syas"));
            const QString command = registry.text(HKEY_CLASSES_ROOT, typeClass + QStringLiteral("\\Shell\\Open\\Command"));
            rows.add(extension + u':' + typeClass + u';' + file + u',' + location.index + u';' + command);
        }
        listing_.finish();
    }

private:
    // Every subkey of the root whose name starts with ".", in the registry's order.
    QStringList extensions() const
    {
        QStringList found;
        Registry& registry = listing_.session().context().platform.registry();
        HKEY root = 0;
        if (registry.RegOpenKeyExA(HKEY_CLASSES_ROOT, "", 0, KEY_ALL_ACCESS_LOW, &root) != ERROR_SUCCESS)
            return found;
        std::string name;
        for (DWORD index = 0; registry.RegEnumKeyExA(root, index, &name) == ERROR_SUCCESS; ++index) {
            if (!name.empty() && name.front() == '.')
                found.append(formats::fromCp1252(name));
        }
        registry.RegCloseKey(root);
        return found;
    }

    WindowsListing& listing_;
};

} // namespace

std::unique_ptr<IconSource> makeFileTypeSource(WindowsListing& listing)
{
    return std::make_unique<FileTypeSource>(listing);
}

} // namespace glyphary::sources
