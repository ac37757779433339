// glyphary-icons list and extract, started by glyphary-icons: they list the icons Glyphary finds in
// files and extract one of them, through the program's own file icon reader and icon functions.

#include "formats/BmpCodec.h"
#include "formats/IcoCodec.h"
#include "platform/IconFunctions.h"
#include "core/FolderWalker.h"
#include "core/ItemList.h"
#include "core/TypeTexts.h"
#include "sources/FileContent.h"
#include "sources/FileIconReader.h"

#include "tools/ConsoleStreams.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <optional>

namespace {

using glyphary::tools::err;
using glyphary::tools::out;

using namespace glyphary;
using formats::ByteVector;
using platform::Icon;


constexpr int kFailed = 1;
constexpr int kUsage = 2;

int usageError(const QString& message)
{
    err() << "glyphary-icons: " << message << Qt::endl << "Try 'glyphary-icons --help'." << Qt::endl;
    return kUsage;
}

int failure(const QString& message)
{
    err() << "glyphary-icons: " << message << Qt::endl;
    return kFailed;
}

class QuietHost : public FileIconReaderHost {
public:
    void showCount(const QString&) override {}
    void doEvents() override {}
};

struct Tool {
    explicit Tool(const QString& root) : paths(root), icons(paths) {}

    platform::WindowsPaths paths;
    platform::IconFunctions icons;
};

bool isAnimation(const QString& windowsPath) { return windowsPath.right(3).toLower() == u"ani"; }

// Why a file gives no icon at all, for the message; empty when it can be read.
QString unreadableReason(const QString& hostPath)
{
    const QFileInfo info(hostPath);
    if (!info.exists())
        return QStringLiteral("no such file");
    if (!info.isFile())
        return QStringLiteral("not a file");
    if (!info.isReadable())
        return QStringLiteral("cannot read it");
    return {};
}

// The picture the program shows for an item: the animation's step, or the icon ExtractIconExA gives.
Icon pictureOf(Tool& tool, const QString& file, int number, const platform::LoadedIcon& animation)
{
    if (!animation.isNull()) {
        const Icon* step = animation.iconAtStep(number);
        return step ? *step : Icon{};
    }
    Icon large;
    tool.icons.ExtractIconExA(file, number, &large, nullptr, 1);
    return large;
}

// A file named on the command line says why it gave nothing; one found in a folder does not.
enum class Named { OnCommandLine, InFolder };

// False when a named file gave no item.
bool listFile(Tool& tool, const QString& hostPath, Named named)
{
    const bool quiet = named == Named::InFolder;
    const QString file = tool.paths.toWindows(hostPath);
    const QString kind = readableAs(tool.paths, file);
    ItemList items;
    QuietHost host;
    FileIconReader reader(tool.paths, tool.icons, items, host);
    if (!kind.isEmpty())
        reader.ReadFileIconsAs(file, kind);
    // Gone or unreadable since the walk, or never there: asked only when nothing was listed.
    if (items.isEmpty() && quiet)
        return true;
    if (const QString reason = items.isEmpty() ? unreadableReason(hostPath) : QString(); !reason.isEmpty()) {
        failure(hostPath + QStringLiteral(": ") + reason);
        return false;
    }
    if (items.isEmpty() && (kind == u"ico" || kind == u"cur") && tool.icons.ExtractIconA(file, -1).status > 0) {
        failure(hostPath + QStringLiteral(": Glyphary lists no icon of this size class (an .ico or .cur file of 767 to "
                                          "2237 bytes is neither the 16-colour nor the 256-colour length); extract "
                                          "still reads it"));
        return false;
    }
    if (items.isEmpty()) {
        failure(hostPath + QStringLiteral(": no icon Glyphary can list (the file must be an icon, a cursor, an "
                                          "animated cursor, an icon library or a program that holds icons)"));
        return false;
    }
    const platform::LoadedIcon animation = kind == u"ani"
        ? tool.icons.LoadImageA(file, platform::IMAGE_ICON, 0, 0, platform::LR_LOADFROMFILE)
        : platform::LoadedIcon();
    for (const ItemList::Entry& entry : items.entries()) {
        // The item is path;number;label;type code + tag: read past the known path, which may hold ";".
        const QString fields = entry.text.mid(file.size() + 1);
        const int number = fields.section(u';', 0, 0).toInt();
        const QChar typeCode = entry.text.at(entry.text.size() - 5);
        const Icon icon = pictureOf(tool, file, number, animation);
        out() << entry.text << '\t' << icon.width() << 'x' << icon.height() << '\t' << icon.bitsPerPixel << '\t'
              << TypeText(typeCode) << '\n';
    }
    out().flush();
    if (tool.icons.wasCutShort(file))
        err() << "glyphary-icons: " << hostPath << ": cut short: decoding its icons costs more than Glyphary allows for one file; the icons "
              << "past that point show no picture" << Qt::endl;
    return true;
}

// The files of a folder as Open by Folder walks it, as host paths.
QStringList folderFiles(Tool& tool, const QString& hostFolder, bool recurse)
{
    FolderWalk walk;
    walk.recurse = recurse;
    ItemList files;
    walkFolder(tool.paths, tool.paths.toWindows(hostFolder), walk, kFalse, files);
    QStringList hostPaths;
    for (const ItemList::Entry& entry : files.entries())
        hostPaths.append(tool.paths.toHost(entry.text));
    return hostPaths;
}

int list(Tool& tool, QStringList arguments)
{
    const bool recurse = arguments.removeAll(QStringLiteral("-r")) > 0;
    if (arguments.isEmpty())
        return usageError(QStringLiteral("list needs at least one PATH"));
    bool allListed = true;
    for (const QString& path : arguments) {
        if (!QFileInfo(path).isDir()) {
            allListed = listFile(tool, path, Named::OnCommandLine) && allListed;
            continue;
        }
        for (const QString& file : folderFiles(tool, path, recurse))
            allListed = listFile(tool, file, Named::InFolder) && allListed;
    }
    return allListed ? 0 : kFailed;
}

std::optional<QByteArray> pngBytes(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG"))
        return std::nullopt;
    return bytes;
}

QByteArray toQByteArray(const ByteVector& bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

// The bytes OUT gets, or a message saying why there are none.
std::optional<QByteArray> encode(Tool& tool, const QString& file, int index, const Icon& icon, const QString& format,
    QString* problem)
{
    const auto fromCodec = [problem](const formats::IconCodecResult<ByteVector>& result) -> std::optional<QByteArray> {
        if (!result) {
            const std::string_view name = formats::errorName(result.error);
            *problem = QStringLiteral("cannot encode the icon (%1)")
                           .arg(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
            return std::nullopt;
        }
        return toQByteArray(*result.value);
    };
    if (format == u"ico") {
        if (!isAnimation(file))
            if (const auto group = tool.icons.iconGroupFile(file, index))
                return toQByteArray(*group);
        return fromCodec(formats::writeIco(icon.image, 32));
    }
    if (format == u"cur")
        return fromCodec(formats::writeCur(icon.image, 32, icon.hotspotX, icon.hotspotY));
    if (format == u"bmp")
        return fromCodec(formats::writeBmp(icon.image));
    auto png = pngBytes(icon.image);
    if (!png)
        *problem = QStringLiteral("cannot encode the icon as PNG");
    return png;
}

int extract(Tool& tool, const QStringList& arguments)
{
    if (arguments.size() != 3)
        return usageError(QStringLiteral("extract needs FILE INDEX OUT"));
    const QString& hostPath = arguments[0];
    bool isNumber = false;
    const int index = arguments[1].toInt(&isNumber);
    if (!isNumber)
        return usageError(QStringLiteral("INDEX must be a whole number, not '%1'").arg(arguments[1]));
    if (index == -1 && !isAnimation(hostPath))
        return usageError(QStringLiteral("INDEX -1 asks a library for its icon count, not for an icon"));
    const QString outPath = arguments[2];
    const QString format = QFileInfo(outPath).suffix().toLower();
    if (format != u"ico" && format != u"cur" && format != u"png" && format != u"bmp")
        return usageError(QStringLiteral("OUT must end in .ico, .cur, .png or .bmp: %1").arg(outPath));
    if (const QString reason = unreadableReason(hostPath); !reason.isEmpty())
        return failure(hostPath + QStringLiteral(": ") + reason);

    const QString file = tool.paths.toWindows(hostPath);
    Icon icon;
    if (isAnimation(file)) {
        const platform::LoadedIcon animation = tool.icons.LoadImageA(file, platform::IMAGE_ICON, 0, 0, platform::LR_LOADFROMFILE);
        if (animation.isNull())
            return failure(hostPath + QStringLiteral(": not an animated cursor Glyphary can read"));
        if (const Icon* step = animation.iconAtStep(index))
            icon = *step;
        else
            return failure(QStringLiteral("%1: no step %2 (the animation has %3)").arg(hostPath).arg(index).arg(animation.stepCount()));
    } else {
        const platform::ExtractResult result = tool.icons.ExtractIconA(file, index);
        if (result.status < 0)
            return failure(hostPath + QStringLiteral(": not an icon, cursor or icon library Glyphary can read"));
        if (result.icon.isNull())
            return failure(QStringLiteral("%1: no icon at index %2 (the file has %3)")
                               .arg(hostPath).arg(index).arg(tool.icons.ExtractIconA(file, -1).status));
        icon = result.icon;
    }

    QString problem;
    const auto bytes = encode(tool, file, index, icon, format, &problem);
    if (!bytes)
        return failure(outPath + QStringLiteral(": ") + problem);
    QSaveFile target(outPath);
    if (!target.open(QIODevice::WriteOnly) || target.write(*bytes) != bytes->size() || !target.commit())
        return failure(outPath + QStringLiteral(": cannot write: ") + target.errorString());
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    if (arguments.isEmpty())
        return usageError(QStringLiteral("no command"));
    const QString command = arguments.takeFirst();
    // Only Z: (the host's "/") is needed; C: lies in a root of its own.
    QString root = qEnvironmentVariable("GLYPHARY_ROOT");
    std::optional<QTemporaryDir> scratchRoot;
    if (root.isEmpty()) {
        scratchRoot.emplace();
        root = scratchRoot->path();
    }
    Tool tool(root);

    if (command == u"list")
        return list(tool, arguments);
    if (command == u"extract")
        return extract(tool, arguments);
    return usageError(QStringLiteral("unknown command '%1'").arg(command));
}
