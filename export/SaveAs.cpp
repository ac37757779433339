#include "export/SaveAs.h"

#include "core/AppContext.h"
#include "core/FrameFiles.h"
#include "core/HotspotNotice.h"
#include "core/IconPlanes.h"
#include "core/MainSession.h"
#include "core/MainWindowPort.h"
#include "core/TypeTexts.h"
#include "export/AnimationFrames.h"
#include "export/SaveAsDialog.h"
#include "formats/BmpCodec.h"
#include "formats/Cp1252.h"
#include "platform/Win32Types.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace glyphary::exporting {
namespace {

constexpr int kFrameRate = 20; // jiffies: a third of a second
constexpr int kHourglass = 11;

QString withBackslash(const QString& folder)
{
    return folder.endsWith(u'\\') ? folder : folder + u'\\';
}

// Written beside the target and renamed, so a failure leaves an existing file as it was. "" when done.
QString copyWhole(const QString& fromHost, const QString& toHost)
{
    if (toHost.isEmpty())
        return QStringLiteral("The drive does not exist.");
    QFile from(fromHost);
    if (!from.open(QIODevice::ReadOnly))
        return from.errorString();
    const QByteArray bytes = from.readAll();
    QSaveFile to(toHost);
    if (to.open(QIODevice::WriteOnly) && to.write(bytes) == bytes.size() && to.commit())
        return {};
    const QString reason = to.errorString();
    to.cancelWriting();
    return reason;
}

} // namespace

SaveAs::SaveAs(MainSession& session, platform::IconFunctions& icons)
    : session_(session), icons_(icons), writer_(session.context().platform.paths())
{
}

std::optional<QString> SaveAs::run()
{
    const std::optional<SelectedRow> row = session_.window().selectedRow();
    if (!row)
        return std::nullopt;
    const std::optional<Target> target = chooseTarget(*row);
    if (!target)
        return std::nullopt;
    platform::DialogsPort& dialogs = session_.context().platform.dialogs();
    dialogs.setMousePointer(kHourglass);
    const QString extension = target->fileName.right(3).toLower();
    const bool frames = target->entry == EntrySeparateIcons || extension == u"ani";
    const bool written = frames ? writeFrames(*row, *target) : writeImage(*row, *target);
    dialogs.setMousePointer(0);
    if (!written)
        return std::nullopt;
    return target->fileName;
}

std::optional<SaveAs::Target> SaveAs::chooseTarget(const SelectedRow& row)
{
    AppContext& context = session_.context();
    if (context.EditFlag) {
        // The editor is handed "ICTemp.ico", so whatever the row is, an icon is what gets written.
        return Target{context.TempFolder + QStringLiteral("ICTemp.ico"), EntryIcon};
    }
    if (context.FavoritesDropFlag) {
        context.FavoritesDropFlag = kFalse;
        return favoriteDropTarget(row);
    }
    return askForName(row, context.FavoritesFlag ? context.SaveAsFolder : QString());
}

std::optional<SaveAs::Target> SaveAs::askForName(const SelectedRow& row, const QString& folder)
{
    AppContext& context = session_.context();
    platform::FileDialogRequest request = saveAsRequest(row.type, row.name);
    if (context.FavoritesFlag) {
        request.title = kFavoritesTitle;
        request.initialFolder = folder;
    }
    const auto chosen = context.platform.dialogs().saveFile(request);
    if (!chosen || chosen->fileNames.isEmpty() || chosen->fileNames.first().isEmpty())
        return std::nullopt;
    return Target{withForcedExtension(chosen->fileNames.first(), chosen->filterIndex), chosen->filterIndex};
}

std::optional<SaveAs::Target> SaveAs::favoriteDropTarget(const SelectedRow& row)
{
    AppContext& context = session_.context();
    platform::DialogsPort& dialogs = context.platform.dialogs();
    const int entry = saveAsRequest(row.type, row.name).filterIndex;
    const QString name = context.SaveAsName.isEmpty() ? row.name : context.SaveAsName;
    const QString fileName = withForcedExtension(withBackslash(context.SaveAsFolder) + name, entry);

    int answer = platform::IDOK;
    bool refused = false;
    if (!isLegalFavoriteName(name)) {
        refused = true;
        answer = dialogs.messageBox(kIllegalFavoriteText, kFavoritesTitle, platform::MB_OKCANCEL | platform::MB_ICONINFORMATION);
    } else if (QFileInfo::exists(context.platform.paths().toHost(fileName))) {
        refused = true;
        answer = dialogs.messageBox(kExistingFavoriteText, kFavoritesTitle, platform::MB_OKCANCEL | platform::MB_ICONEXCLAMATION);
    }
    if (!refused)
        return Target{fileName, entry};
    if (answer != platform::IDOK)
        return std::nullopt;
    // The name typed now is taken as it is, as a dialog's choice always is.
    const Flag favorites = context.FavoritesFlag;
    context.FavoritesFlag = kTrue;
    auto target = askForName(row, context.SaveAsFolder);
    context.FavoritesFlag = favorites;
    return target;
}

bool SaveAs::writeImage(const SelectedRow& row, const Target& target)
{
    const QString extension = target.fileName.right(3).toLower();
    if (extension == u"bmp")
        return writeBitmap(row, target.fileName);
    const auto ansi = ansiName(target.fileName);
    if (!ansi)
        return report(target.fileName, QStringLiteral("The name holds characters that Windows file names here cannot hold."));
    AppContext& context = session_.context();
    const IconPlanes planes = procMask(iconOf(row.image));
    context.ColourDepth = ColourDepthFromTypeText(row.type);
    std::int16_t saved = Glsave32::kNotSaved;
    if (extension == u"cur") {
        HotspotNotice(session_);
        saved = writer_.SaveAsCursor(planes.colour, planes.mask, 32, 32, context.ColourDepth, context.HotSpotX,
                                     context.HotSpotY, *ansi);
    } else {
        saved = writer_.SaveAsIcon(planes.colour, planes.mask, 32, 32, context.ColourDepth, *ansi);
    }
    return saved == Glsave32::kSaved || report(target.fileName, writer_.lastError());
}

bool SaveAs::writeBitmap(const SelectedRow& row, const QString& fileName)
{
    const QString host = session_.context().platform.paths().toHost(fileName);
    if (host.isEmpty())
        return report(fileName, QStringLiteral("The drive does not exist."));
    const auto bytes = formats::writeBmp(row.image.convertToFormat(QImage::Format_ARGB32),
                                         session_.window().shownWindow().backColor.rgb());
    if (!bytes)
        return report(fileName, QStringLiteral("The picture could not be encoded."));
    QSaveFile file(host);
    const auto size = static_cast<qint64>(bytes.value->size());
    if (file.open(QIODevice::WriteOnly) && file.write(reinterpret_cast<const char*>(bytes.value->data()), size) == size
        && file.commit())
        return true;
    const QString reason = file.errorString();
    file.cancelWriting();
    return report(fileName, reason);
}

bool SaveAs::writeFrames(const SelectedRow& row, const Target& target)
{
    AppContext& context = session_.context();
    context.AnimationFrameFlag = kTrue;
    const AnimationFrames film = collectAnimationFrames(session_, icons_, row);
    context.picFilm = film.frames;
    context.AnimationFrameFlag = kFalse;
    if (film.frames.empty())
        return report(target.fileName, QStringLiteral("None of the animation's frames could be read."));

    context.ColourDepth = ColourDepthFromTypeText(row.type);
    FrameFiles frameFiles(context);
    QString failure = frameFiles.write(film.frames, context.ColourDepth);
    if (failure.isEmpty() && target.entry == EntrySeparateIcons) {
        const qsizetype slash = target.fileName.lastIndexOf(u'\\');
        const QString folder = target.fileName.left(slash + 1);
        const QString base = target.fileName.mid(slash + 1).chopped(4);
        const QStringList& frameHosts = frameFiles.hostPaths();
        for (qsizetype n = 0; n < frameHosts.size() && failure.isEmpty(); ++n) {
            const QString copy = folder + base + QString::number(n) + QStringLiteral(".ico");
            const QString reason = copyWhole(frameHosts[n], context.platform.paths().toHost(copy));
            if (!reason.isEmpty())
                failure = QStringLiteral("%1: %2").arg(copy, reason);
        }
    } else if (failure.isEmpty()) {
        failure = frameFiles.joinInto(writer_, target.fileName, kFrameRate);
    }
    if (!failure.isEmpty())
        return report(target.fileName, failure);
    if (film.skipped > 0)
        context.platform.dialogs().messageBox(
            QStringLiteral("%1 was saved with %2 frames: %3 frames of the animation could not be read.")
                .arg(target.fileName)
                .arg(film.frames.size())
                .arg(film.skipped),
            QStringLiteral("Save As"), platform::MB_ICONINFORMATION);
    return true;
}

bool SaveAs::report(const QString& fileName, const QString& reason)
{
    session_.context().platform.dialogs().messageBox(
        QStringLiteral("%1 could not be saved.\r%2").arg(fileName, reason.isEmpty() ? QStringLiteral("The file could not be written.") : reason),
        QStringLiteral("Save As"), platform::MB_ICONEXCLAMATION);
    return false;
}

} // namespace glyphary::exporting
