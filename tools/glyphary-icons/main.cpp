// glyphary-icons: lists the icons Glyphary finds in files and extracts one of them, through the
// program's own file icon reader and icon functions.

#include "formats/BmpCodec.h"
#include "formats/IcoCodec.h"
#include "platform/IconFunctions.h"
#include "core/FolderWalker.h"
#include "core/ItemList.h"
#include "core/TypeTexts.h"
#include "sources/FileContent.h"
#include "sources/FileIconReader.h"

#include "tools/ConsoleStreams.h"
#include "tools/glyphary-icons/Thumbnail.h"

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

const char* const kHelp = R"(Usage:
  glyphary-icons list [-r] PATH...
  glyphary-icons extract FILE INDEX OUT
  glyphary-icons thumbnail [-s SIZE] FILE OUT
  glyphary-icons --help

list     Prints one line for each icon Glyphary lists for each file PATH names, as Open by File
         adds them; a folder PATH names the files in it, and with -r those of its subfolders too:
           ITEM<TAB>WIDTHxHEIGHT<TAB>BITS<TAB>TYPE
         ITEM is the result item (path;number;label;type code and "open", the path as a Windows
         path, Z: being the host's "/"), WIDTHxHEIGHT and BITS the size and colour depth of the
         picture the program shows for it, TYPE the text of the Type column. The file's extension
         decides what it is: .ico, .cur, .ani, .icl, .dll or .exe; a file with any other
         extension is taken by its content, so .cpl, .scr, .ocx or .drv programs list their
         icons too. Files of a folder that hold no icon are passed over quietly. A file whose pictures cost
         more than 64 Mpixel or 3 s of decoding is cut short: the items past that point show
         no picture (0x0), and a message names the file.
extract  Writes the icon at INDEX of FILE to OUT, in the format OUT's extension names: .ico, .cur,
         .png or .bmp. INDEX is the number an item of the listing carries: 0 for an .ico or .cur
         file, the step of an animation, the icon's position from 0 in a library (a negative
         INDEX names a library icon by its resource id). The picture is the 32 x 32 one the
         program extracts; an .ico written from an .ico file or a library icon holds every image
         of that icon instead.
thumbnail
         Writes the picture of FILE's main icon to OUT as a PNG with transparency, for file
         managers: the icon of an .ico or .cur file, the first step of an animation, the first
         icon group of a program or icon library. Of its images the smallest at least SIZE
         pixels a side is taken (else the largest) and scaled down to SIZE; SIZE is 1 to 1024,
         128 when -s is not given. The file is read by content, whatever its extension; a file
         without an icon leaves OUT as it was.

Errors exit with status 1, wrong usage with status 2.
)";

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

// Qt's PNG quality: -1 is zlib's default level, higher is faster and larger.
std::optional<QByteArray> pngBytes(const QImage& image, int quality = -1)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG", quality))
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

// Parses "[-s SIZE] FILE OUT"; nullopt, with the message, on wrong usage.
struct ThumbnailRequest {
    int size = glyphary::tools::kDefaultThumbnailSize;
    QString file;
    QString out;
};
std::optional<ThumbnailRequest> thumbnailRequest(QStringList arguments, QString* problem)
{
    ThumbnailRequest request;
    if (arguments.size() == 4 && arguments[0] == u"-s") {
        bool isNumber = false;
        request.size = arguments[1].toInt(&isNumber);
        if (!isNumber || request.size < 1 || request.size > glyphary::tools::kMaxThumbnailSize) {
            *problem = QStringLiteral("SIZE must be a whole number from 1 to %1, not '%2'")
                           .arg(glyphary::tools::kMaxThumbnailSize).arg(arguments[1]);
            return std::nullopt;
        }
        arguments.remove(0, 2);
    }
    if (arguments.size() != 2) {
        *problem = QStringLiteral("thumbnail needs [-s SIZE] FILE OUT");
        return std::nullopt;
    }
    request.file = arguments[0];
    request.out = arguments[1];
    return request;
}

// The file is mapped, not read: of a large installer only the pages the codecs look at are loaded.
int thumbnail(const QStringList& arguments)
{
    QString problem;
    const auto request = thumbnailRequest(arguments, &problem);
    if (!request)
        return usageError(problem);
    // PNG is built into Qt; without this every image-format plugin and its libraries would be
    // loaded, which costs more than the rest of a thumbnail.
    QCoreApplication::setLibraryPaths({});
    if (const QString reason = unreadableReason(request->file); !reason.isEmpty())
        return failure(request->file + QStringLiteral(": ") + reason);
    QFile file(request->file);
    if (!file.open(QIODevice::ReadOnly))
        return failure(request->file + QStringLiteral(": cannot read it: ") + file.errorString());
    if (file.size() == 0)
        return failure(request->file + QStringLiteral(": the file is empty"));
    const uchar* mapped = file.map(0, file.size());
    if (!mapped)
        return failure(request->file + QStringLiteral(": cannot map it: ") + file.errorString());
    const glyphary::tools::Thumbnail made =
        glyphary::tools::thumbnailOf(formats::Bytes(mapped, static_cast<std::size_t>(file.size())), request->size);
    if (made.picture.isNull())
        return failure(request->file + QStringLiteral(": ") + made.problem);

    // Thumbnails are cached by the file manager; the time matters more than a few bytes.
    constexpr int kFastPng = 80;
    const auto png = pngBytes(made.picture, kFastPng);
    if (!png)
        return failure(request->out + QStringLiteral(": cannot encode the icon as PNG"));
    QSaveFile target(request->out);
    if (!target.open(QIODevice::WriteOnly) || target.write(*png) != png->size() || !target.commit())
        return failure(request->out + QStringLiteral(": cannot write: ") + target.errorString());
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
    if (command == u"--help" || command == u"-h") {
        out() << kHelp;
        return 0;
    }
    if (command == u"thumbnail")
        return thumbnail(arguments); // needs no Windows root

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
