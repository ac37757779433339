#include "builder/DemoCatalogue.h"

#include "builder/CatalogueFolderScan.h"
#include "sources/CatalogueCell.h"
#include "sources/LibraryGrid.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>

#include <algorithm>
#include <array>

namespace glyphary {
namespace {

// Raise when the demo's content or the library format changes, so that older demos are rebuilt.
constexpr int kDemoFormatVersion = 1;

const QString kIconFolder = QStringLiteral("32x32");
const QString kAnimationContext = QStringLiteral("animations");
const QString kSpinner = QStringLiteral("process-working.png");

// Vendor and toolkit prefixes of the theme's legacy names: they name no subject.
const QStringList kStopWords = {
    QStringLiteral("gnome"), QStringLiteral("gtk"), QStringLiteral("stock"), QStringLiteral("xfce"),
    QStringLiteral("kde"), QStringLiteral("redhat"), QStringLiteral("novell"), QStringLiteral("suse"),
    QStringLiteral("fs"), QStringLiteral("dev"), QStringLiteral("mime"), QStringLiteral("application"),
    QStringLiteral("ltr"), QStringLiteral("rtl")};

const std::vector<ColourClass> kAllClasses = {ColourClass::Colours16, ColourClass::Colours256, ColourClass::HiColour};

// Arrow-like icons that also serve as cursors. The catalogue keeps no hot spot: the person sets one
// in the zoom window, which starts it at the middle, where these pictures point from.
constexpr std::array kCursorIcons = {"actions/go-up", "actions/go-down", "actions/go-next", "actions/go-previous",
                                     "actions/go-top", "actions/go-bottom", "actions/edit-find",
                                     "actions/process-stop", "apps/help-browser"};

struct Sequence {
    const char* keywords; // blank separated
    std::vector<const char*> frames;
};

const std::vector<Sequence>& sequences()
{
    static const std::vector<Sequence> all = {
        {"audio volume sound rising",
         {"status/audio-volume-muted", "status/audio-volume-low", "status/audio-volume-medium", "status/audio-volume-high"}},
        {"network activity transfer",
         {"status/network-idle", "status/network-transmit", "status/network-receive", "status/network-transmit-receive"}},
        {"weather forecast",
         {"status/weather-clear", "status/weather-few-clouds", "status/weather-overcast",
          "status/weather-showers-scattered", "status/weather-showers", "status/weather-storm"}},
        {"arrows turning direction", {"actions/go-up", "actions/go-next", "actions/go-down", "actions/go-previous"}},
        {"faces smiley mood", {"emotes/face-plain", "emotes/face-smile", "emotes/face-smile-big", "emotes/face-grin",
                               "emotes/face-wink"}},
    };
    return all;
}

// The spinner's resting dots are faint (alpha 16 to 48) and would fall under the icon mask's cut.
// Composed over white and made opaque they stay visible, as the theme shows them on a light window.
QImage keepFaintPixels(const QImage& frame)
{
    QImage image = frame.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (const QRgb pixel = image.pixel(x, y); qAlpha(pixel) != 0)
                image.setPixel(x, y, opaqueOverWhite(pixel));
    return image;
}

QStringList wordsOf(const QString& name)
{
    QStringList words = keywordsFromName(name);
    words.removeIf([](const QString& word) { return kStopWords.contains(word); });
    return words;
}

void addUnique(QStringList& list, const QStringList& more)
{
    for (const QString& item : more)
        if (!list.contains(item))
            list.append(item);
}

class DemoMaker {
public:
    DemoMaker(const QString& themeFolder, QStringList* warnings) : theme_(themeFolder), warnings_(warnings) {}

    std::vector<CatalogueSource> make()
    {
        const QDir icons(theme_ + u'/' + kIconFolder);
        for (const QString& context : icons.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
            if (context != kAnimationContext)
                addContext(icons.filePath(context), context);
        addCursors();
        addSpinner();
        for (const Sequence& sequence : sequences())
            addSequence(sequence);
        return std::move(sources_);
    }

private:
    // Real files become icons; links (the theme's older names) add their words to the icon they name.
    void addContext(const QString& folder, const QString& context)
    {
        const QFileInfoList entries = QDir(folder).entryInfoList({QStringLiteral("*.png")}, QDir::Files | QDir::System, QDir::Name);
        for (const QFileInfo& entry : entries) {
            if (entry.isSymLink())
                continue;
            const QImage image(entry.filePath());
            if (image.isNull()) {
                warn(QStringLiteral("%1: not a readable PNG file").arg(entry.filePath()));
                continue;
            }
            CatalogueSource source;
            source.origin = entry.filePath();
            source.frames = {image};
            source.classes = kAllClasses;
            source.keywords = wordsOf(entry.completeBaseName());
            addUnique(source.keywords, {context, QStringLiteral("group ") + context});
            byPath_.insert(entry.canonicalFilePath(), sources_.size());
            byName_.insert(context + u'/' + entry.completeBaseName(), image);
            sources_.push_back(std::move(source));
        }
        for (const QFileInfo& entry : entries) {
            if (!entry.isSymLink())
                continue;
            const auto target = byPath_.constFind(entry.canonicalFilePath());
            if (target != byPath_.constEnd())
                addUnique(sources_[*target].keywords, wordsOf(entry.completeBaseName()));
        }
    }

    void addCursors()
    {
        for (const char* name : kCursorIcons) {
            const QString key = QString::fromLatin1(name);
            const auto image = byName_.constFind(key);
            if (image == byName_.constEnd()) {
                warn(QStringLiteral("%1: no such icon for a cursor").arg(key));
                continue;
            }
            CatalogueSource source;
            source.origin = key;
            source.kind = CatalogueKind::Cursor;
            source.frames = {*image};
            source.classes = kAllClasses;
            source.keywords = wordsOf(key.section(u'/', 1));
            addUnique(source.keywords, {QStringLiteral("cursor"), QStringLiteral("pointer"), QStringLiteral("group cursors")});
            sources_.push_back(std::move(source));
        }
    }

    // The freedesktop strip: square frames row by row, the first one the resting picture, which is
    // not part of the turn. The 22 x 22 strip serves when the 32 x 32 one is missing.
    void addSpinner()
    {
        for (const int side : {32, 22}) {
            const QImage strip(QStringLiteral("%1/%2x%2/%3/%4").arg(theme_).arg(side).arg(kAnimationContext, kSpinner));
            if (strip.isNull() || strip.width() % side != 0 || strip.height() % side != 0)
                continue;
            CatalogueSource source;
            source.origin = kSpinner;
            source.kind = CatalogueKind::Animation;
            source.classes = kAllClasses;
            const int columns = strip.width() / side;
            const int count = std::min(columns * (strip.height() / side), LibraryGrid::kMaxCells);
            for (int n = 1; n < count; ++n) {
                QImage frame = strip.copy((n % columns) * side, (n / columns) * side, side, side);
                if (side != LibraryGrid::kCellSize)
                    frame = frame.scaled(LibraryGrid::kCellSize, LibraryGrid::kCellSize, Qt::IgnoreAspectRatio,
                                         Qt::SmoothTransformation);
                source.frames.push_back(keepFaintPixels(frame));
            }
            source.keywords = {QStringLiteral("process"), QStringLiteral("working"), QStringLiteral("spinner"),
                               QStringLiteral("busy"), QStringLiteral("wait"), QStringLiteral("animation"),
                               QStringLiteral("group animations")};
            sources_.push_back(std::move(source));
            return;
        }
        warn(QStringLiteral("%1: no animation strip found").arg(kSpinner));
    }

    void addSequence(const Sequence& sequence)
    {
        CatalogueSource source;
        source.kind = CatalogueKind::Animation;
        source.classes = kAllClasses;
        for (const char* name : sequence.frames) {
            const auto image = byName_.constFind(QString::fromLatin1(name));
            if (image != byName_.constEnd())
                source.frames.push_back(*image);
        }
        source.origin = QString::fromLatin1(sequence.keywords);
        if (source.frames.size() < 2) {
            warn(QStringLiteral("animation \"%1\": too few of its icons found").arg(source.origin));
            return;
        }
        source.keywords = source.origin.split(u' ');
        source.keywords += {QStringLiteral("animation"), QStringLiteral("group animations")};
        sources_.push_back(std::move(source));
    }

    void warn(const QString& text)
    {
        if (warnings_ != nullptr)
            warnings_->append(text);
    }

    QString theme_;
    QStringList* warnings_;
    std::vector<CatalogueSource> sources_;
    QHash<QString, std::size_t> byPath_;  // canonical path -> source
    QHash<QString, QImage> byName_;        // "context/name" -> picture
};

QByteArray readSmallFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > 1024 * 1024)
        return {};
    return file.readAll();
}

} // namespace

std::vector<CatalogueSource> demoSources(const QString& themeFolder, QStringList* warnings)
{
    return DemoMaker(themeFolder, warnings).make();
}

QByteArray demoStamp(const QString& themeFolder)
{
    QStringList lines;
    for (const QString& folder : {kIconFolder, QStringLiteral("22x22/") + kAnimationContext}) {
        const QString root = themeFolder + u'/' + folder;
        QDirIterator it(root, QDir::Files | QDir::System | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo info(it.next());
            lines.append(QStringLiteral("%1/%2\t%3\t%4\t%5")
                             .arg(folder, QDir(root).relativeFilePath(info.filePath()))
                             .arg(info.size())
                             .arg(info.lastModified().toMSecsSinceEpoch())
                             .arg(info.symLinkTarget()));
        }
    }
    lines.sort();
    const QByteArray inputs = QCryptographicHash::hash(lines.join(u'\n').toUtf8(), QCryptographicHash::Sha256).toHex();
    return QStringLiteral("glyphary demo catalogue %1, %2 cells per member, %3 theme files\nsha256 %4\n")
        .arg(kDemoFormatVersion).arg(kDefaultCellsPerMember).arg(lines.size()).arg(QString::fromLatin1(inputs))
        .toUtf8();
}

DemoResult buildDemoCatalogue(const QString& themeFolder, const QString& outFolder,
                              const std::function<void(int, int)>& progress)
{
    DemoResult result;
    if (!QFileInfo(themeFolder + u'/' + kIconFolder).isDir()) {
        result.outcome = DemoOutcome::NoTheme;
        return result;
    }
    const QDir out(outFolder);
    const QByteArray stamp = demoStamp(themeFolder);
    if (readSmallFile(out.filePath(kDemoStampFile)) == stamp && QFileInfo(out.filePath(kCatalogueIndexFile)).isFile()
        && QFileInfo(out.filePath(QStringLiteral("Iconlib.res"))).isFile()) {
        result.outcome = DemoOutcome::UpToDate;
        return result;
    }

    QStringList warnings;
    const std::vector<CatalogueSource> sources = demoSources(themeFolder, &warnings);
    if (sources.empty()) {
        result.outcome = DemoOutcome::NoTheme;
        return result;
    }
    CatalogueBuildOptions options;
    options.progress = progress;
    CatalogueBuildResult built = buildCatalogue(sources, outFolder, options);
    result.summary = built.summary;
    result.summary.warnings = warnings + built.summary.warnings;
    if (!built.ok) {
        result.error = built.error;
        return result;
    }
    QSaveFile file(out.filePath(kDemoStampFile));
    if (!file.open(QIODevice::WriteOnly) || file.write(stamp) != stamp.size() || !file.commit())
        result.summary.warnings.append(QStringLiteral("cannot write %1: the next build will not be skipped")
                                           .arg(out.filePath(kDemoStampFile)));
    result.outcome = DemoOutcome::Built;
    return result;
}

} // namespace glyphary
