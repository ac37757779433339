#include "sources/CoreLibrary.h"

#include "core/AppContext.h"
#include "core/FileHelpers.h"
#include "formats/BmpCodec.h"
#include "formats/Cp1252.h"
#include "sources/LibraryGrid.h"

#include <QFile>

#include <array>
#include <filesystem>
#include <system_error>

namespace glyphary {
namespace {

struct ArchiveRange {
    int last; // members up to this number, from the end of the range before
    const char* name;
};

constexpr std::array<ArchiveRange, 10> kArchives = {{
    {86, "Iconlib.res"},
    {124, "Iconlib1.res"},
    {149, "Iconlib2.res"},
    {174, "Iconlib3.res"},
    {199, "Iconlib4.res"},
    {224, "Iconlib5.res"},
    {249, "Iconlib6.res"},
    {274, "Iconlib7.res"},
    {299, "Iconlib8.res"},
    {kLastLibraryMember, "Iconlib9.res"},
}};

constexpr qsizetype kMaxMemberNameLength = 9; // keeps the number inside 32 bits
const QString kLibraryExtension = QStringLiteral(".lib");

// The largest picture LibraryGrid allows, with its BMP headers, and some slack.
constexpr qint64 kMaxLibraryFileSize = 4LL * 1024 * 1024;

std::string ansi(const QString& text) { return formats::toCp1252(text); }

// Renaming a file to its own name fails only when it is not there.
bool renameProbeFindsFile(const QString& hostPath)
{
    if (hostPath.isEmpty())
        return false;
    const std::filesystem::path path(QFile::encodeName(hostPath).toStdString());
    std::error_code error;
    std::filesystem::rename(path, path, error);
    return error != std::errc::no_such_file_or_directory;
}

bool isLibraryPicture(const QImage& image)
{
    return image.width() == LibraryGrid::kPictureWidth && image.height() >= LibraryGrid::kCellSize
        && image.height() % LibraryGrid::kCellSize == 0
        && image.height() <= LibraryGrid::kMaxRows * LibraryGrid::kCellSize;
}

} // namespace

std::optional<QString> archiveNameForMember(int number)
{
    if (number < 1)
        return std::nullopt;
    for (const ArchiveRange& range : kArchives)
        if (number <= range.last)
            return QString::fromLatin1(range.name);
    return std::nullopt;
}

bool isLibraryMemberName(const QString& member)
{
    if (member.isEmpty() || member.size() > kMaxMemberNameLength)
        return false;
    for (const QChar c : member)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

CoreLibrary::CoreLibrary(AppContext& context) : context_(context), reader_(context.platform.paths()) {}

void CoreLibrary::MakeLibraryCurrent(const QString& member)
{
    if (!isLibraryMemberName(member)) {
        libraryAvailable_ = false;
        return;
    }
    // The picture is in memory: a page of one member's icons opens no file per row.
    if (member == lastLoadedMember_ && !picture_.isNull()) {
        libraryAvailable_ = true;
        return;
    }

    const platform::WindowsPaths& paths = context_.platform.paths();
    const QString libraryFile = context_.TempFolder + member + kLibraryExtension;
    libraryAvailable_ = true;
    if (!FileExists(paths, libraryFile)) {
        unpack(member);
        if (!renameProbeFindsFile(paths.toHost(libraryFile)))
            libraryAvailable_ = false;
    }
    if (libraryAvailable_ && !load(member, libraryFile))
        libraryAvailable_ = false;
}

void CoreLibrary::unpack(const QString& member)
{
    if (const std::optional<QString> archive = archiveNameForMember(member.toInt()))
        currentArchiveName_ = *archive;
    ++unpackCount_;

    std::string archivePath = ansi(context_.ProgramFolder + currentArchiveName_);
    status_ = reader_.addUNZIP_ArchiveName(archivePath);
    status_ = reader_.addUNZIP_Decrypt(kLibraryPassword);
    status_ = reader_.addUNZIP_Include(ansi(member + kLibraryExtension));
    std::string folder = ansi(context_.TempFolder);
    status_ = reader_.addUNZIP_ExtractTo(folder);
    context_.TempFolder = formats::fromCp1252(folder);
    status_ = reader_.addUNZIP_Overwrite(Glread32::kOverwriteExisting);
    status_ = reader_.addUNZIP();
}

bool CoreLibrary::load(const QString& member, const QString& libraryFile)
{
    QFile file(context_.platform.paths().toHost(libraryFile));
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxLibraryFileSize)
        return false;
    const QByteArray bytes = file.readAll();
    const formats::IconCodecResult<QImage> parsed = formats::parseBmp(
        formats::Bytes(reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())));
    if (!parsed || !isLibraryPicture(*parsed.value))
        return false;
    picture_ = parsed.value->convertToFormat(QImage::Format_RGB32);
    lastLoadedMember_ = member;
    return true;
}

QImage CoreLibrary::GraphicCell(int n) const
{
    if (picture_.isNull() || n < 0 || n >= LibraryGrid::kMaxCells)
        return {};
    const QRect cell = LibraryGrid::cellRect(n);
    if (!picture_.rect().contains(cell))
        return {};
    return picture_.copy(cell);
}

} // namespace glyphary
