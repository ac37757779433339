#include "sources/FileIconReader.h"

#include <QFileInfo>

#include <optional>

namespace glyphary {
namespace {

using platform::DI_NORMAL;
using platform::IMAGE_ICON;
using platform::LR_LOADFROMFILE;

// Pending events run at most this often during long listings.
constexpr qint64 kEventIntervalMs = 10;

// The colour class of a single-image .ico or .cur file, decided by its length alone: one 32 x 32
// image of 16 colours makes a 766-byte file, one of 256 colours a 2238-byte file. Lengths between
// the two classes have none.
std::optional<QChar> lengthClass(qint64 length, bool cursor)
{
    const char16_t base = cursor ? u'6' : u'0';
    if (length < 767)
        return QChar(base);
    if (length == 2238)
        return QChar(static_cast<char16_t>(base + 1));
    if (length >= 2239)
        return QChar(static_cast<char16_t>(base + 2));
    return std::nullopt;
}

// Library type codes by extension: "i" .icl, "d" .dll, "e" .exe.
std::optional<QChar> libraryCode(const QString& extension)
{
    if (extension == u"icl")
        return QChar(u'i');
    if (extension == u"dll")
        return QChar(u'd');
    if (extension == u"exe")
        return QChar(u'e');
    return std::nullopt;
}

} // namespace

FileIconReader::FileIconReader(const platform::WindowsPaths& paths, platform::IconFunctions& icons,
    ItemList& cmbResult, FileIconReaderHost& host)
    : paths_(paths), icons_(icons), cmbResult_(cmbResult), host_(host),
      picOpen_(platform::kLargeIconSide, platform::kLargeIconSide, QImage::Format_ARGB32)
{
    sinceEvents_.start();
}

void FileIconReader::ReadFileIcons(const QString& file) { ReadFileIconsAs(file, file.right(3).toLower()); }

void FileIconReader::ReadFileIconsAs(const QString& file, const QString& extension)
{
    extension_ = extension;
    if (extension_ == u"ani") {
        animation_ = icons_.LoadImageA(file, IMAGE_ICON, 0, 0, LR_LOADFROMFILE);
        if (!animation_.isNull()) {
            frameNumber_ = 0;
            total_ = 1;
            // The steps are counted by drawing them until one is refused.
            while (platform::DrawIconEx(picOpen_, 0, 0, animation_, 0, 0, frameNumber_, DI_NORMAL)) {
                AddFileIcons(file);
                ++frameNumber_;
                // A file named .ani may hold a plain icon, which draws at every step.
                if (!animation_.isAnimated())
                    break;
            }
            platform::DestroyIcon(animation_);
        }
        return;
    }
    if (extension_ == u"ico" || extension_ == u"exe" || extension_ == u"dll" || extension_ == u"icl"
        || extension_ == u"cur") {
        total_ = icons_.ExtractIconA(file, -1).status;
        if (total_ < 1)
            return;
        AddFileIcons(file);
    }
}

void FileIconReader::AddFileIcons(const QString& file)
{
    const bool cursor = extension_ == u"cur";
    if (cursor || extension_ == u"ico") {
        const auto code = lengthClass(QFileInfo(paths_.toHost(file)).size(), cursor);
        if (!code)
            return;
        // ExtractIconA counts a single-image file as one icon, however many images it holds.
        for (int position = 1; position <= total_; ++position)
            addItem(file, 0, QStringLiteral("x"), *code);
        return;
    }
    if (extension_ == u"ani") {
        addItem(file, frameNumber_, QStringLiteral("frame ") + QString::number(frameNumber_ + 1), u'a');
        return;
    }
    if (const auto code = libraryCode(extension_)) {
        const QString ofTotal = QStringLiteral(" of ") + QString::number(total_);
        for (int position = 1; position <= total_; ++position)
            addItem(file, position - 1, u'#' + QString::number(position) + ofTotal, *code);
    }
}

void FileIconReader::addItem(const QString& file, int number, const QString& label, QChar typeCode)
{
    cmbResult_.add(file + u';' + QString::number(number) + u';' + label + u';' + typeCode + QStringLiteral("open"));
    host_.showCount(QString::number(cmbResult_.count()) + QStringLiteral(" Icon(s)"));
    if (sinceEvents_.elapsed() >= kEventIntervalMs) {
        host_.doEvents();
        sinceEvents_.restart();
    }
}

} // namespace glyphary
