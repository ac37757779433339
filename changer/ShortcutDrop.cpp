#include "changer/ShortcutDrop.h"

#include "changer/Reminders.h"
#include "core/AppContext.h"
#include "core/MainSession.h"
#include "core/MainWindowPort.h"
#include "core/TypeTexts.h"
#include "platform/ShortcutFile.h"
#include "platform/Win32Types.h"

#include <QFileInfo>

namespace glyphary::changer {

using namespace platform;

namespace {

bool isShortcutName(const QString& path)
{
    return path.endsWith(QStringLiteral(".lnk"), Qt::CaseInsensitive);
}

constexpr std::int32_t kShowNormal = 1;

} // namespace

ShortcutDrop::ShortcutDrop(MainSession& session) : session_(session), icons_(session.context()) {}

std::optional<QString> ShortcutDrop::chooseNewShortcut()
{
    AppContext& context = session_.context();
    FileDialogRequest request;
    request.title = kCreateShortcutTitle;
    request.filter = QStringLiteral("Shortcut (*.lnk)|*.lnk");
    request.defaultExtension = QStringLiteral("lnk");
    request.initialFolder = context.WindowsFolder + QStringLiteral("\\Start Menu");
    const auto chosen = context.platform.dialogs().saveFile(request);
    if (!chosen || chosen->fileNames.isEmpty() || chosen->fileNames.first().isEmpty())
        return std::nullopt;
    QString name = chosen->fileNames.first();
    if (!isShortcutName(name))
        name += QStringLiteral(".lnk");
    return name;
}

ShortcutDrop::Outcome ShortcutDrop::dropOne(const QString& path, const SelectedRow& row, bool& samePath, QString& error)
{
    AppContext& context = session_.context();
    const WindowsPaths& paths = context.platform.paths();
    const QFileInfo file(paths.toHost(path));
    if (paths.toHost(path).isEmpty() || !file.exists() || file.isDir())
        return Outcome::Skipped;

    QString lnkFile = path;
    ShortcutFields fields;
    if (isShortcutName(path)) {
        const std::optional<ShortcutFields> read = readShortcut(paths, path);
        if (!read) {
            error = QStringLiteral("%1 is not a shortcut that can be read.").arg(path);
            return Outcome::Failed;
        }
        fields = *read;
    } else {
        const std::optional<QString> chosen = chooseNewShortcut();
        if (!chosen)
            return Outcome::Skipped;
        lnkFile = *chosen;
        fields.ExeFile = path;
        fields.WorkDir = path.left(path.lastIndexOf(u'\\'));
        fields.ShowCmd = kShowNormal;
    }

    const QString previous = fields.IconFile;
    const NumberedIcon icon = icons_.write(row.image, context.ColourDepth, previous);
    if (!icon.error.isEmpty()) {
        error = icon.error;
        return icon.full ? Outcome::Full : Outcome::Failed;
    }
    if (!session_.procSaveShortcut(lnkFile, fields.ExeFile, fields.WorkDir, fields.ExeArgs, icon.file, 0, fields.ShowCmd)) {
        icons_.discard(icon);
        error = QStringLiteral("The shortcut %1 could not be written.").arg(lnkFile);
        return Outcome::Failed;
    }
    icons_.retire(previous, icon.file);
    samePath = samePath || icon.samePath;
    return Outcome::Written;
}

void ShortcutDrop::drop()
{
    const QStringList dropped = session_.droppedFiles();
    session_.setDroppedFiles({});
    const std::optional<SelectedRow> row = session_.window().selectedRow();
    if (dropped.isEmpty() || !row || row->image.isNull())
        return;
    AppContext& context = session_.context();
    context.ColourDepth = ColourDepthFromTypeText(row->type);
    bool samePath = false;
    bool written = false;
    QStringList errors;
    for (const QString& path : dropped) {
        QString error;
        const Outcome outcome = dropOne(path, *row, samePath, error);
        written = written || outcome == Outcome::Written;
        if (!error.isEmpty())
            errors << error;
        // No later file would find a number either.
        if (outcome == Outcome::Full)
            break;
    }
    if (written)
        context.SystemIconsNeedRebuild = kTrue;
    if (!errors.isEmpty())
        context.platform.dialogs().messageBox(errors.join(u'\r'), kChangeShortcutTitle, MB_ICONEXCLAMATION);
    if (samePath)
        remindToRebuild(session_, kShortcutCache, kChangeShortcutTitle);
}

} // namespace glyphary::changer
