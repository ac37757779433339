#include "sources/ResultDrawing.h"

#include "core/AppContext.h"
#include "core/ItemList.h"
#include "core/ResultItem.h"
#include "sources/CatalogueCell.h"
#include "sources/CoreLibrary.h"
#include "core/TypeTexts.h"

#include <QPainter>
#include <array>

namespace glyphary {

using namespace platform;

namespace {

constexpr int kSide = 32;


QImage blankSurface(int side = kSide)
{
    QImage surface(side, side, QImage::Format_ARGB32);
    surface.fill(Qt::transparent);
    return surface;
}

QString fileNameOf(const QString& path) { return path.mid(path.lastIndexOf(u'\\') + 1); }

bool isAnimationFile(const QString& file) { return file.right(3).compare(u"ani", Qt::CaseInsensitive) == 0; }

// "F3" of a scheme entry ends in ":" and the entry's position.
int schemePositionOf(const QString& label) { return label.mid(label.lastIndexOf(u':') + 1).toInt(); }

} // namespace

QImage noIconPicture()
{
    QImage picture = blankSurface();
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(160, 0, 0), 3));
    painter.setBrush(QColor(255, 255, 255, 200));
    painter.drawEllipse(QRectF(4.5, 4.5, 23, 23));
    painter.drawLine(QPointF(9, 23), QPointF(23, 9));
    return picture;
}

ResultDrawing::ResultDrawing(AppContext& context, IconFunctions& icons, CoreLibrary& library, const ItemList& lstFiles)
    : context_(context), icons_(icons), library_(library), lstFiles_(lstFiles)
{
}

QImage ResultDrawing::bookPicture(const QString& item)
{
    const auto token = catalogueTokenOf(item);
    if (!token)
        return noIconPicture();
    library_.MakeLibraryCurrent(token->member);
    maskColour_ = maskColourForDigit(token->colourCode, maskColour_);
    if (!library_.libraryAvailable())
        return noIconPicture();
    const QImage cell = library_.GraphicCell(token->number);
    return cell.isNull() ? noIconPicture() : cellToIcon(cell, maskColour_);
}

QImage ResultDrawing::animationFrame(const QString& file, int step)
{
    if (file != animationFile_) {
        animation_ = icons_.LoadImageA(file, IMAGE_ICON, 0, 0, LR_LOADFROMFILE);
        animationFile_ = file;
        ++animationLoads_;
    }
    QImage surface = blankSurface();
    DrawIconEx(surface, 0, 0, animation_, 0, 0, step, DI_NORMAL);
    noteCutShort(file);
    return surface;
}

QImage ResultDrawing::filePicture(const QString& file, const QString& number)
{
    if (isAnimationFile(file))
        return animationFrame(file, number.toInt());
    Icon large;
    Icon small;
    const int result = icons_.ExtractIconExA(file, number.toInt(), &large, &small, 1);
    if (result < 0)
        return noIconPicture();
    QImage surface = blankSurface();
    if (result > 0 && !large.isNull())
        DrawIconEx(surface, 0, 0, large, 0, 0, 0, DI_NORMAL);
    DestroyIcon(large);
    DestroyIcon(small);
    noteCutShort(file);
    return surface;
}

QImage ResultDrawing::sharpFilePicture(const QString& file, const QString& number)
{
    if (pictureScale_ <= 1)
        return {};
    const int side = kSide * pictureScale_;
    QImage surface = blankSurface(side);
    if (isAnimationFile(file)) {
        // Each step is a row of its own: the file is loaded once at the larger side for all of them.
        if (file != sharpAnimationFile_) {
            sharpAnimation_ = icons_.LoadImageA(file, IMAGE_ICON, side, side, LR_LOADFROMFILE);
            sharpAnimationFile_ = file;
        }
        if (!DrawIconEx(surface, 0, 0, sharpAnimation_, side, side, number.toInt(), DI_NORMAL))
            return {};
    } else {
        const Icon icon = icons_.extractSharpIcon(file, number.toInt(), side);
        if (icon.isNull())
            return {};
        DrawIconEx(surface, 0, 0, icon, side, side, 0, DI_NORMAL);
    }
    surface.setDevicePixelRatio(pictureScale_);
    return surface;
}

void ResultDrawing::noteCutShort(const QString& file)
{
    if (!cutShort_.contains(file) && icons_.wasCutShort(file))
        cutShort_.append(file);
}

QString ResultDrawing::pageNote()
{
    if (cutShort_.isEmpty())
        return {};
    const QString files = cutShort_.size() == 1
        ? cutShort_[0]
        : QStringLiteral("%1 and %2 other files").arg(cutShort_[0]).arg(cutShort_.size() - 1);
    return QStringLiteral("Some pictures of %1 are missing: decoding them costs more than Glyphary allows for one file.")
        .arg(files);
}

QImage ResultDrawing::builtInCursor(int resourceNumber)
{
    QImage surface = blankSurface();
    QPainter painter(&surface);
    DrawIcon(painter, 0, 0, LoadCursorA(resourceNumber));
    return surface;
}

std::optional<RowResult> ResultDrawing::readRow(const QString& item, std::int32_t itemData, int position)
{
    if (position == 1)
        cutShort_.clear();
    if (item.size() < 4)
        return std::nullopt;
    const ResultKind kind = kindOf(item);
    if (kind == ResultKind::Unknown)
        return std::nullopt;

    RowResult row;
    row.type = TypeText(typeCodeOf(item));
    const bool favorites = context_.FavoritesFlag != kFalse;

    if (kind == ResultKind::Book) {
        row.image = bookPicture(item);
        const auto& table = context_.keywordTable;
        row.name = itemData >= 0 && itemData < table.KeywordCount ? table.Keywords[static_cast<std::size_t>(itemData)] : QString();
        row.origin = QStringLiteral("Glyphary");
        return row;
    }

    const auto fields = fieldsOf(item);
    if (!fields) {
        // A reference to a catalogue icon carries its token instead of file fields.
        if (kind == ResultKind::User && item.count(u':') >= 2)
            row.image = bookPicture(item.left(item.size() - 5) + QStringLiteral("0book"));
        else
            row.image = noIconPicture();
    } else if ((kind == ResultKind::SystemCursor || kind == ResultKind::ThemeCursor) && fields->file == u"default") {
        int number = 0;
        if (kind == ResultKind::SystemCursor)
            number = fields->label.toInt();
        else if (const CursorRole* role = cursorRoleAt(schemePositionOf(fields->label)))
            number = role->resourceNumber;
        row.image = builtInCursor(number);
    } else {
        row.image = filePicture(fields->file, fields->number);
        row.sharpImage = sharpFilePicture(fields->file, fields->number);
    }

    switch (kind) {
    case ResultKind::Open: {
        QString name = fileNameOf(fields ? fields->file : QString());
        if (favorites && name.contains(u'.'))
            name = name.left(name.indexOf(u'.'));
        const QString label = fields ? fields->label : QString();
        row.name = label == u"x" || label.isEmpty() ? name : name + u' ' + label;
        row.origin = favorites ? QStringLiteral("File Favorite") : QStringLiteral("File");
        break;
    }
    case ResultKind::User: {
        const ItemList& lstUser = context_.catalogueLists.lstUser;
        row.name = itemData >= 0 && itemData < lstUser.count() ? lstUser.text(itemData) : QString();
        row.origin = QStringLiteral("Reference");
        break;
    }
    case ResultKind::Shortcut: {
        const QString link = itemData >= 0 && itemData < lstFiles_.count() ? lstFiles_.text(itemData) : QString();
        row.name = fileNameOf(link);
        row.name.chop(4);
        QString folder = link.left(std::max<qsizetype>(0, link.lastIndexOf(u'\\')));
        const QString windows = context_.WindowsFolder + u'\\';
        if (folder.startsWith(windows, Qt::CaseInsensitive))
            folder = folder.mid(windows.size());
        row.origin = folder;
        break;
    }
    case ResultKind::FileType:
    case ResultKind::SystemIcon:
        row.name = fields ? fields->label : QString();
        row.origin = QStringLiteral("File");
        break;
    case ResultKind::SystemCursor:
    case ResultKind::ThemeCursor: {
        const bool builtIn = fields && fields->file == u"default";
        const CursorRole* role = nullptr;
        if (fields)
            role = kind == ResultKind::SystemCursor ? cursorRoleNamed(fields->label) : cursorRoleAt(schemePositionOf(fields->label));
        if (role)
            row.name = QString::fromLatin1(kind == ResultKind::SystemCursor ? role->currentName : role->name);
        if (role && fields && isAnimationFile(fields->file))
            row.name += QStringLiteral(" #") + QString::number(fields->number.toInt() + 1);
        row.origin = builtIn ? QStringLiteral("Windows Default") : QStringLiteral("File");
        break;
    }
    case ResultKind::Book:
    case ResultKind::Unknown:
        break;
    }
    return row;
}

} // namespace glyphary
