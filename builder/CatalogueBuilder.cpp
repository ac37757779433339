#include "builder/CatalogueBuilder.h"

#include "formats/BmpCodec.h"
#include "formats/Cp1252.h"
#include "builder/ZipWriter.h"
#include "sources/CoreLibrary.h"
#include "sources/LibraryGrid.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QPainter>
#include <QSet>

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <system_error>

namespace glyphary {
namespace {

const QString kNewSuffix = QStringLiteral(".new");

int typeCodeOf(CatalogueKind kind, ColourClass colourClass)
{
    return static_cast<int>(kind) + static_cast<int>(colourClass);
}

// Keywords with their tokens, merged without regard to case; the first spelling stays.
class KeywordIndex {
public:
    void add(const QString& keyword, const QString& token)
    {
        const QString key = keyword.toLower();
        auto it = positions_.find(key);
        if (it == positions_.end()) {
            it = positions_.insert(key, entries_.size());
            entries_.push_back({keyword, {}});
        }
        entries_[static_cast<std::size_t>(*it)].tokens.append(token);
    }

    // Keeps at most `limit` keywords: every design group, then those listing the most icons.
    QStringList trimTo(int limit)
    {
        if (static_cast<int>(entries_.size()) <= limit)
            return {};
        std::stable_sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
            const bool groupA = isDesignGroupKeyword(a.text);
            const bool groupB = isDesignGroupKeyword(b.text);
            if (groupA != groupB)
                return groupA;
            return a.tokens.size() > b.tokens.size();
        });
        QStringList dropped;
        for (std::size_t i = static_cast<std::size_t>(limit); i < entries_.size(); ++i)
            dropped.append(entries_[i].text);
        entries_.resize(static_cast<std::size_t>(limit));
        return dropped;
    }

    // Index lines in alphabetical order, CR LF ended, Windows-1252.
    QByteArray indexText(int* tokenCount)
    {
        std::sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
            const int order = a.text.compare(b.text, Qt::CaseInsensitive);
            return order != 0 ? order < 0 : a.text < b.text;
        });
        QString text;
        *tokenCount = 0;
        for (const Entry& entry : entries_) {
            text += entry.text + u';' + entry.tokens.join(u';') + QStringLiteral("\r\n");
            *tokenCount += static_cast<int>(entry.tokens.size());
        }
        return formats::toCp1252Bytes(text);
    }

    int size() const { return static_cast<int>(entries_.size()); }

private:
    struct Entry {
        QString text;
        QStringList tokens;
    };
    std::vector<Entry> entries_;
    QHash<QString, qsizetype> positions_;
};

// Member pictures being filled, and the finished ones as BMP files by member number.
class MemberPacker {
public:
    explicit MemberPacker(int cellsPerMember) : cellsPerMember_(cellsPerMember) {}

    // The member and cell of one more icon or cursor.
    std::pair<int, int> placeIcon(const QImage& cell)
    {
        if (open_ < 0 || used_ == cellsPerMember_)
            startMember();
        const int index = used_++;
        draw(cell, index);
        return {open_, index};
    }

    // An animation starts a member of its own; its frames are cells 0, 1, ... of it.
    int startAnimation()
    {
        startMember();
        used_ = cellsPerMember_; // no icon may follow into it
        return open_;
    }
    void placeFrame(const QImage& cell, int index) { draw(cell, index); }

    // Finishes the open member; the BMP bytes of every member, by number.
    std::map<int, QByteArray> finish()
    {
        closeMember();
        return std::move(done_);
    }

private:
    void startMember()
    {
        closeMember();
        open_ = nextNumber_++;
        picture_ = QImage(LibraryGrid::pictureSize(cellsPerMember_), QImage::Format_RGB32);
        picture_.fill(Qt::black);
        used_ = 0;
    }

    void closeMember()
    {
        if (open_ < 0)
            return;
        // Only as many rows as the member fills: small members stay small.
        const int rows = LibraryGrid::rowsFor(highest_ + 1);
        const QImage used = picture_.copy(0, 0, LibraryGrid::kPictureWidth, rows * LibraryGrid::kCellSize);
        const formats::IconCodecResult<formats::ByteVector> bmp = formats::writeBmp(used);
        done_[open_] = bmp ? QByteArray(reinterpret_cast<const char*>(bmp.value->data()), static_cast<qsizetype>(bmp.value->size()))
                           : QByteArray();
        highest_ = 0;
        open_ = -1;
    }

    void draw(const QImage& cell, int index)
    {
        QPainter painter(&picture_);
        painter.drawImage(LibraryGrid::cellRect(index).topLeft(), cell);
        highest_ = std::max(highest_, index);
    }

    int cellsPerMember_;
    int nextNumber_ = 1;
    int open_ = -1;
    int used_ = 0;
    QImage picture_;
    int highest_ = 0; // the last cell in use
    std::map<int, QByteArray> done_;
};

QString token(int member, int cell, int digit, int typeCode)
{
    return QStringLiteral("%1:%2:%3%4").arg(member).arg(cell).arg(digit).arg(typeCode);
}

QStringList keywordsOf(const CatalogueSource& source)
{
    QStringList keywords;
    QSet<QString> seen;
    for (const QString& keyword : source.keywords) {
        const QString clean = cleanKeyword(keyword);
        if (!clean.isEmpty() && !seen.contains(clean.toLower())) {
            seen.insert(clean.toLower());
            keywords.append(clean);
        }
    }
    return keywords;
}

int framesStored(const CatalogueSource& source, int cellsPerMember)
{
    return std::min(static_cast<int>(source.frames.size()), cellsPerMember);
}

// Members needed, counted before any work is done.
int membersNeeded(const std::vector<CatalogueSource>& sources, int cellsPerMember)
{
    long long iconCells = 0;
    long long animationMembers = 0;
    for (const CatalogueSource& source : sources) {
        if (source.frames.empty() || keywordsOf(source).isEmpty())
            continue;
        const auto copies = static_cast<long long>(source.classes.size());
        if (source.kind == CatalogueKind::Animation)
            animationMembers += copies;
        else
            iconCells += copies;
    }
    const long long total = (iconCells + cellsPerMember - 1) / cellsPerMember + animationMembers;
    return static_cast<int>(std::min<long long>(total, kLastLibraryMember + 1));
}

// Stores one colour class of a source; its tokens, one per cell.
QStringList storeCopy(MemberPacker& packer, const CatalogueSource& source, ColourClass colourClass, int cellsPerMember,
                      CatalogueSummary& summary)
{
    const int typeCode = typeCodeOf(source.kind, colourClass);
    const bool animation = source.kind == CatalogueKind::Animation;
    const int member = animation ? packer.startAnimation() : 0;
    const int frames = animation ? framesStored(source, cellsPerMember) : 1;
    QStringList tokens;
    for (int frame = 0; frame < frames; ++frame) {
        const LibraryCell cell = makeLibraryCell(source.frames[static_cast<std::size_t>(frame)], colourClass);
        if (cell.recolouredPixels > 0)
            summary.warnings.append(QStringLiteral("%1: holds all ten background colours; %2 pixels moved by one step of blue")
                                        .arg(source.origin).arg(cell.recolouredPixels));
        if (animation) {
            packer.placeFrame(cell.cell, frame);
            tokens.append(token(member, frame, cell.digit, typeCode));
        } else {
            const auto [iconMember, number] = packer.placeIcon(cell.cell);
            tokens.append(token(iconMember, number, cell.digit, typeCode));
        }
    }
    return tokens;
}

std::filesystem::path fsPath(const QString& hostPath)
{
    return std::filesystem::path(QFile::encodeName(hostPath).toStdString());
}

QStringList allArchiveNames()
{
    QStringList names;
    for (int member = 1; member <= kLastLibraryMember; ++member) {
        const QString name = archiveNameForMember(member).value_or(QString());
        if (!names.contains(name))
            names.append(name);
    }
    return names;
}

// Every file goes to a temporary name first and is renamed into place only once all are written:
// a failed build leaves the folder as it was.
class Writer {
public:
    explicit Writer(QString folder) : folder_(std::move(folder)) {}
    ~Writer()
    {
        for (const QString& name : staged_)
            QFile::remove(path(name + kNewSuffix));
    }
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    bool stage(const QString& name, const QByteArray& bytes, QString* error)
    {
        QFile file(path(name + kNewSuffix));
        staged_.append(name);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size() || !file.flush()) {
            *error = QStringLiteral("cannot write %1: %2").arg(file.fileName(), file.errorString());
            return false;
        }
        return true;
    }

    // The index last, so that it never names members the archives do not hold yet.
    bool commit(QString* error)
    {
        for (const QString& name : staged_) {
            std::error_code failure;
            std::filesystem::rename(fsPath(path(name + kNewSuffix)), fsPath(path(name)), failure);
            if (failure) {
                *error = QStringLiteral("cannot replace %1: %2").arg(path(name), QString::fromStdString(failure.message()));
                return false;
            }
        }
        staged_.clear();
        return true;
    }

    // Archives of an earlier build that this one no longer fills.
    void removeArchivesOtherThan(const QStringList& kept) const
    {
        for (const QString& name : allArchiveNames())
            if (!kept.contains(name) && QFileInfo(path(name)).isFile())
                QFile::remove(path(name));
    }

private:
    QString path(const QString& name) const { return QDir(folder_).filePath(name); }

    QString folder_;
    QStringList staged_;
};

// The archives' bytes by name, members grouped as the member table says.
std::optional<std::map<QString, QByteArray>> packArchives(const std::map<int, QByteArray>& pictures, QString* error)
{
    std::map<QString, std::vector<ZipMember>> members;
    for (const auto& [number, bytes] : pictures)
        members[archiveNameForMember(number).value_or(QString())].push_back({std::to_string(number) + ".lib", bytes});
    std::map<QString, QByteArray> archives;
    for (const auto& [name, archiveMembers] : members) {
        std::optional<QByteArray> bytes = buildEncryptedZip(archiveMembers, kLibraryPassword, error);
        if (!bytes)
            return std::nullopt;
        archives[name] = std::move(*bytes);
    }
    return archives;
}

CatalogueBuildResult failure(const QString& error)
{
    CatalogueBuildResult result;
    result.error = error;
    return result;
}

} // namespace

bool isDesignGroupKeyword(const QString& keyword)
{
    return keyword.startsWith(QStringLiteral("group"));
}

QString cleanKeyword(const QString& keyword)
{
    QString clean = keyword;
    clean.replace(u';', u' ').replace(u'\r', u' ').replace(u'\n', u' ');
    return clean.simplified();
}

CatalogueBuildResult buildCatalogue(const std::vector<CatalogueSource>& sources, const QString& outFolder,
                                    const CatalogueBuildOptions& options)
{
    const int cellsPerMember = options.cellsPerMember;
    if (cellsPerMember < 1 || cellsPerMember > LibraryGrid::kMaxCells)
        return failure(QStringLiteral("cells per member must lie between 1 and %1").arg(LibraryGrid::kMaxCells));
    const int members = membersNeeded(sources, cellsPerMember);
    if (members == 0)
        return failure(QStringLiteral("no images to store"));
    if (members > kLastLibraryMember)
        return failure(QStringLiteral("the catalogue needs more than %1 members; store fewer images or more cells per member")
                           .arg(kLastLibraryMember));
    if (!QDir().mkpath(outFolder) || !QFileInfo(outFolder).isDir())
        return failure(QStringLiteral("cannot create the folder %1").arg(outFolder));

    CatalogueBuildResult result;
    CatalogueSummary& summary = result.summary;
    KeywordIndex index;
    MemberPacker packer(cellsPerMember);

    // Icons and cursors first, so that they fill members densely; then the animations.
    std::vector<const CatalogueSource*> order;
    for (const CatalogueSource& source : sources)
        if (source.kind != CatalogueKind::Animation)
            order.push_back(&source);
    for (const CatalogueSource& source : sources)
        if (source.kind == CatalogueKind::Animation)
            order.push_back(&source);

    int done = 0;
    for (const CatalogueSource* source : order) {
        const QStringList keywords = keywordsOf(*source);
        if (source->frames.empty()) {
            summary.warnings.append(QStringLiteral("%1: no picture, left out").arg(source->origin));
        } else if (keywords.isEmpty()) {
            summary.warnings.append(QStringLiteral("%1: no keyword, left out").arg(source->origin));
        } else {
            if (framesStored(*source, cellsPerMember) < static_cast<int>(source->frames.size()))
                summary.warnings.append(QStringLiteral("%1: only the first %2 of %3 frames stored")
                                            .arg(source->origin).arg(cellsPerMember).arg(source->frames.size()));
            for (const ColourClass colourClass : source->classes) {
                const QStringList tokens = storeCopy(packer, *source, colourClass, cellsPerMember, summary);
                summary.icons += static_cast<int>(tokens.size());
                for (const QString& keyword : keywords)
                    for (const QString& entry : tokens)
                        index.add(keyword, entry);
            }
        }
        ++done;
        if (options.progress)
            options.progress(done, static_cast<int>(order.size()));
    }

    const QStringList dropped = index.trimTo(kMaxCatalogueKeywords);
    if (!dropped.isEmpty())
        summary.warnings.append(QStringLiteral("%1 keywords left out (the catalogue holds %2), among them: %3")
                                    .arg(dropped.size()).arg(kMaxCatalogueKeywords).arg(dropped.mid(0, 10).join(QStringLiteral(", "))));

    const std::map<int, QByteArray> pictures = packer.finish();
    for (const auto& [number, bytes] : pictures)
        if (bytes.isEmpty())
            return failure(QStringLiteral("member %1: the picture could not be encoded").arg(number));
    summary.members = static_cast<int>(pictures.size());

    const QByteArray indexText = index.indexText(&summary.tokens);
    summary.keywords = index.size();
    const std::optional<std::map<QString, QByteArray>> archives = packArchives(pictures, &result.error);
    if (!archives)
        return failure(QStringLiteral("cannot pack the library: %1").arg(result.error));

    Writer writer(outFolder);
    QStringList archiveNames;
    for (const auto& [name, bytes] : *archives) {
        if (!writer.stage(name, bytes, &result.error))
            return failure(result.error);
        archiveNames.append(name);
        summary.bytes += bytes.size();
    }
    if (!writer.stage(kCatalogueIndexFile, indexText, &result.error) || !writer.commit(&result.error))
        return failure(result.error);
    writer.removeArchivesOtherThan(archiveNames);
    summary.archives = static_cast<int>(archiveNames.size());
    summary.bytes += indexText.size();
    result.ok = true;
    return result;
}

} // namespace glyphary
