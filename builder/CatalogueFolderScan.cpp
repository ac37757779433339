#include "builder/CatalogueFolderScan.h"

#include "formats/AniCodec.h"
#include "formats/IcoCodec.h"
#include "sources/LibraryGrid.h"

#include <QBuffer>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>

namespace glyphary {
namespace {

enum class RuleKind { Keyword, Cursor, Classes };

struct Rule {
    RuleKind kind = RuleKind::Keyword;
    QString keyword;
    std::vector<ColourClass> classes;
    QStringList paths; // lower case, "/" separated, "." for everything
    int line = 0;
    bool used = false;
};

QString normalisedPath(QString path)
{
    path = path.trimmed().replace(u'\\', u'/').toLower();
    while (path.startsWith(QStringLiteral("./")))
        path.remove(0, 2);
    while (path.endsWith(u'/'))
        path.chop(1);
    return path.isEmpty() ? QStringLiteral(".") : path;
}

bool pathMatches(const QString& rulePath, const QString& relativeLower)
{
    return rulePath == u'.' || relativeLower == rulePath || relativeLower.startsWith(rulePath + u'/');
}

std::optional<std::vector<ColourClass>> parseClasses(const QString& list)
{
    std::vector<ColourClass> classes;
    for (const QString& part : list.split(u',', Qt::SkipEmptyParts)) {
        const QString name = part.trimmed().toLower();
        ColourClass colourClass;
        if (name == QStringLiteral("16"))
            colourClass = ColourClass::Colours16;
        else if (name == QStringLiteral("256"))
            colourClass = ColourClass::Colours256;
        else if (name == QStringLiteral("hi"))
            colourClass = ColourClass::HiColour;
        else
            return std::nullopt;
        if (std::find(classes.begin(), classes.end(), colourClass) == classes.end())
            classes.push_back(colourClass);
    }
    if (classes.empty())
        return std::nullopt;
    return classes;
}

std::optional<std::vector<Rule>> parseKeywordFile(const QString& text, QString* error)
{
    std::vector<Rule> rules;
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const int lineNumber = static_cast<int>(i) + 1;
        const auto fail = [&](const QString& what) {
            *error = QStringLiteral("keyword file line %1: %2").arg(lineNumber).arg(what);
            return std::nullopt;
        };
        QStringList fields = line.split(u';');
        Rule rule;
        rule.line = lineNumber;
        const QString head = fields.takeFirst().trimmed();
        if (head == QStringLiteral("!cursor")) {
            rule.kind = RuleKind::Cursor;
        } else if (head == QStringLiteral("!classes")) {
            rule.kind = RuleKind::Classes;
            const auto classes = fields.isEmpty() ? std::nullopt : parseClasses(fields.takeFirst());
            if (!classes)
                return fail(QStringLiteral("expected !classes;16,256,hi;PATH"));
            rule.classes = *classes;
        } else if (head.startsWith(u'!')) {
            return fail(QStringLiteral("unknown rule \"%1\"").arg(head));
        } else {
            rule.keyword = cleanKeyword(head);
            if (rule.keyword.isEmpty())
                return fail(QStringLiteral("expected KEYWORD;PATH"));
        }
        for (const QString& path : fields)
            if (!path.trimmed().isEmpty())
                rule.paths.append(normalisedPath(path));
        if (rule.paths.isEmpty())
            return fail(QStringLiteral("no path after \"%1\"").arg(head));
        rules.push_back(std::move(rule));
    }
    return rules;
}

struct LoadedImage {
    std::vector<QImage> frames;
    CatalogueKind kind = CatalogueKind::Icon;
    int bitsPerPixel = 0; // 0: a PNG, classed by its colours
};

formats::Bytes bytesOf(const QByteArray& data)
{
    return formats::Bytes(reinterpret_cast<const std::uint8_t*>(data.constData()), static_cast<std::size_t>(data.size()));
}

std::optional<LoadedImage> loadPng(const QByteArray& data, QString* why)
{
    if (!data.startsWith("\x89PNG\r\n\x1a\n")) {
        *why = QStringLiteral("not a readable PNG file");
        return std::nullopt;
    }
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    const QSize size = reader.size();
    if (size.width() > kMaxScanSide || size.height() > kMaxScanSide) {
        *why = QStringLiteral("larger than %1 x %1 pixels").arg(kMaxScanSide);
        return std::nullopt;
    }
    QImage image = reader.read();
    if (image.isNull()) {
        *why = QStringLiteral("not a readable PNG file");
        return std::nullopt;
    }
    return LoadedImage{{image}, CatalogueKind::Icon, 0};
}

std::optional<LoadedImage> loadIco(const QByteArray& data, QString* why)
{
    const auto parsed = formats::parseIco(bytesOf(data));
    const formats::IconImage* best = parsed ? parsed.value->best(LibraryGrid::kCellSize) : nullptr;
    if (best == nullptr) {
        *why = QStringLiteral("not a readable icon or cursor file (%1)")
                   .arg(QString::fromLatin1(formats::errorName(parsed.error).data()));
        return std::nullopt;
    }
    const bool cursor = parsed.value->type == formats::IconFileType::Cursor;
    return LoadedImage{{best->image}, cursor ? CatalogueKind::Cursor : CatalogueKind::Icon, best->bitsPerPixel};
}

// Frames in playing order: the animation's steps, each showing its frame.
std::optional<LoadedImage> loadAni(const QByteArray& data, QString* why)
{
    const auto parsed = formats::parseAni(bytesOf(data));
    if (!parsed) {
        *why = QStringLiteral("not a readable animated cursor (%1)").arg(QString::fromLatin1(formats::errorName(parsed.error).data()));
        return std::nullopt;
    }
    LoadedImage loaded;
    loaded.kind = CatalogueKind::Animation;
    const formats::AniFile& ani = *parsed.value;
    for (const formats::AniStep& step : ani.steps)
        if (step.frame < ani.frames.size()) {
            const formats::IconImage& frame = ani.frames[step.frame].image;
            loaded.frames.push_back(frame.image);
            loaded.bitsPerPixel = std::max(loaded.bitsPerPixel, frame.bitsPerPixel);
        }
    if (loaded.frames.empty()) {
        *why = QStringLiteral("an animation without frames");
        return std::nullopt;
    }
    return loaded;
}

std::optional<LoadedImage> loadImageFile(const QString& path, const QString& extension, QString* why)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *why = file.errorString();
        return std::nullopt;
    }
    if (file.size() > kMaxScanFileSize) {
        *why = QStringLiteral("larger than %1 bytes").arg(kMaxScanFileSize);
        return std::nullopt;
    }
    const QByteArray data = file.readAll();
    if (extension == QStringLiteral("png"))
        return loadPng(data, why);
    if (extension == QStringLiteral("ani"))
        return loadAni(data, why);
    return loadIco(data, why);
}

ColourClass naturalClass(const LoadedImage& loaded)
{
    int bits = loaded.bitsPerPixel;
    if (bits == 0) {
        const int colours = opaqueColourCount(flattenForCell(loaded.frames.front()), 256);
        bits = colours <= 16 ? 4 : colours <= 256 ? 8 : 32;
    }
    return bits <= 4 ? ColourClass::Colours16 : bits <= 8 ? ColourClass::Colours256 : ColourClass::HiColour;
}

QStringList imageFiles(const QString& folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Readable, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString extension = QFileInfo(path).suffix().toLower();
        if (extension == QStringLiteral("png") || extension == QStringLiteral("ico") || extension == QStringLiteral("cur")
            || extension == QStringLiteral("ani"))
            files.append(path);
    }
    files.sort();
    return files;
}

class SourceMaker {
public:
    explicit SourceMaker(std::vector<Rule>& rules) : rules_(rules) {}

    CatalogueSource make(const QString& relative, LoadedImage loaded)
    {
        const QString relativeLower = relative.toLower();
        const QStringList folders = relative.split(u'/').mid(0, relative.count(u'/'));
        CatalogueSource source;
        source.origin = relative;
        source.kind = loaded.kind;
        if (source.kind == CatalogueKind::Icon && folders.contains(QStringLiteral("cursors"), Qt::CaseInsensitive))
            source.kind = CatalogueKind::Cursor;
        source.classes = {naturalClass(loaded)};

        bool ownKeyword = false;
        bool ownGroup = false;
        for (Rule& rule : rules_) {
            if (!std::any_of(rule.paths.begin(), rule.paths.end(),
                             [&](const QString& path) { return pathMatches(path, relativeLower); }))
                continue;
            rule.used = true;
            switch (rule.kind) {
            case RuleKind::Cursor:
                if (source.kind == CatalogueKind::Icon)
                    source.kind = CatalogueKind::Cursor;
                break;
            case RuleKind::Classes:
                source.classes = rule.classes;
                break;
            case RuleKind::Keyword:
                source.keywords.append(rule.keyword);
                (isDesignGroupKeyword(rule.keyword) ? ownGroup : ownKeyword) = true;
                break;
            }
        }
        if (!ownKeyword) {
            for (const QString& folder : folders)
                source.keywords += keywordsFromName(folder);
            source.keywords += keywordsFromName(QFileInfo(relative).completeBaseName());
        }
        if (!ownGroup && !folders.isEmpty())
            source.keywords.append(QStringLiteral("group ") + folders.front());
        source.frames = std::move(loaded.frames);
        return source;
    }

private:
    std::vector<Rule>& rules_;
};

std::optional<QString> readKeywordFile(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read the keyword file %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    if (file.size() > kMaxScanFileSize) {
        *error = QStringLiteral("the keyword file %1 is larger than %2 bytes").arg(path).arg(kMaxScanFileSize);
        return std::nullopt;
    }
    return QString::fromUtf8(file.readAll());
}

} // namespace

QStringList keywordsFromName(const QString& name)
{
    QStringList words;
    QString word;
    const auto flush = [&] {
        bool number = true;
        for (const QChar c : word)
            number = number && c.isDigit();
        if (word.size() > 1 && !number && !isDesignGroupKeyword(word) && !words.contains(word))
            words.append(word);
        word.clear();
    };
    for (const QChar c : name) {
        if (c.isLetterOrNumber())
            word += c.toLower();
        else
            flush();
    }
    flush();
    return words;
}

FolderScanResult scanImageFolder(const QString& folder, const QString& keywordFile,
                                 const std::function<void(int, int)>& progress)
{
    FolderScanResult result;
    if (!QFileInfo(folder).isDir()) {
        result.error = QStringLiteral("no such folder: %1").arg(folder);
        return result;
    }
    std::vector<Rule> rules;
    if (!keywordFile.isEmpty()) {
        const std::optional<QString> text = readKeywordFile(keywordFile, &result.error);
        if (!text)
            return result;
        auto parsed = parseKeywordFile(*text, &result.error);
        if (!parsed)
            return result;
        rules = std::move(*parsed);
    }

    const QStringList files = imageFiles(folder);
    if (files.isEmpty()) {
        result.error = QStringLiteral("no images (.png, .ico, .cur, .ani) in %1").arg(folder);
        return result;
    }
    const QDir base(folder);
    SourceMaker maker(rules);
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QString relative = base.relativeFilePath(files[i]);
        QString why;
        if (std::optional<LoadedImage> loaded = loadImageFile(files[i], QFileInfo(files[i]).suffix().toLower(), &why))
            result.sources.push_back(maker.make(relative, std::move(*loaded)));
        else
            result.warnings.append(QStringLiteral("%1: skipped, %2").arg(relative, why));
        if (progress)
            progress(static_cast<int>(i) + 1, static_cast<int>(files.size()));
    }
    for (const Rule& rule : rules)
        if (!rule.used)
            result.warnings.append(QStringLiteral("keyword file line %1: names no image").arg(rule.line));
    if (result.sources.empty()) {
        result.error = QStringLiteral("none of the %1 image files in %2 could be read").arg(files.size()).arg(folder);
        return result;
    }
    result.ok = true;
    return result;
}

} // namespace glyphary
