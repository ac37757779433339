// The catalogue index and the two user files, read as the main window loads them. The input holds
// all three: two little-endian 16-bit lengths, then Icondata.dat, Keyuser.dat and Iconuser.dat.
// With the first length byte's low nibble 0 the user files are also saved and read back, and must
// give the same lists (saving is slow, so only one input in sixteen does it).
#include "catalogue/CatalogueFiles.h"
#include "core/AppContext.h"
#include "platform/ConsoleDialogs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

using namespace glyphary;

class SilentDialogs : public platform::ConsoleDialogs {
public:
    int messageBox(const QString&, const QString&, int) override { return 1; }
};

platform::PlatformConfig config(const QString& root)
{
    platform::PlatformConfig config;
    config.rootHostPath = root;
    config.osSpec = QStringLiteral("98");
    return config;
}

struct Program {
    QTemporaryDir dir;
    SilentDialogs dialogs;
    platform::Platform platform{config(dir.path()), dialogs};
    QString folder = dir.path() + QStringLiteral("/drive_c/prog/");

    Program() { QDir().mkpath(folder); }

    void write(const char* name, const std::uint8_t* data, std::size_t size) const
    {
        QFile file(folder + QLatin1StringView(name));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
};

QStringList texts(const ItemList& list)
{
    QStringList out;
    for (const ItemList::Entry& entry : list.entries())
        out.append(entry.text);
    return out;
}

struct Loaded {
    QStringList keywords, custom, referenceKeys, referenceItems;
    bool operator==(const Loaded&) const = default;
};

Loaded load(AppContext& context)
{
    LoadCatalogue(context);
    const CatalogueLists& lists = context.catalogueLists;
    return {texts(lists.cmbSearch), texts(lists.lstKey) + lists.customKeywordsNotLoaded, texts(lists.lstUser),
        texts(lists.cmbUser)};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Program program;
    if (size < 4)
        return 0;
    const std::size_t body = size - 4;
    const std::size_t index = std::min<std::size_t>(data[0] | (data[1] << 8), body);
    const std::size_t keywords = std::min<std::size_t>(data[2] | (data[3] << 8), body - index);
    const std::uint8_t* at = data + 4;
    program.write("Icondata.dat", at, index);
    program.write("Keyuser.dat", at + index, keywords);
    program.write("Iconuser.dat", at + index + keywords, body - index - keywords);

    AppContext context(program.platform);
    context.ProgramFolder = QStringLiteral("C:\\prog\\");
    const Loaded before = load(context);
    if ((data[0] & 0x0F) == 0) {
        context.KeywordsChanged = kTrue;
        context.ReferencesChanged = kTrue;
        if (!SaveUserFiles(context))
            std::abort();
        AppContext again(program.platform);
        again.ProgramFolder = context.ProgramFolder;
        if (load(again) != before)
            std::abort();
    }
    return 0;
}
