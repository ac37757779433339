#include "changer/ChangeController.h"

#include "changer/IconCache.h"
#include "changer/Reminders.h"
#include "core/AppContext.h"
#include "core/CursorRoles.h"
#include "core/HotspotNotice.h"
#include "core/MainSession.h"
#include "core/MainWindowPort.h"
#include "core/ResultItem.h"
#include "core/Settings.h"
#include "core/ShowMessage.h"
#include "platform/RootSeeds.h"
#include "platform/Win32Types.h"
#include "platform/WineServer.h"

namespace glyphary::changer {

using namespace platform;

namespace {

const QString kRebuildNow = QStringLiteral("Rebuild Icon Cache Now!");
const QString kRestartNow = QStringLiteral("Restart Windows Now!");

} // namespace

ChangeController::ChangeController(MainSession& session, ProgramLauncher& launcher)
    : session_(session), launcher_(&launcher), applier_(session.context())
{
}

void ChangeController::changed()
{
    if (viewChanged)
        viewChanged();
}

bool ChangeController::open()
{
    const std::optional<SelectedRow> row = session_.window().selectedRow();
    if (!row)
        return false;
    std::optional<ChangeTarget> target = changeTargetFor(*row, session_.lstChange, session_.context().WindowsFolder);
    if (!target)
        return false;
    target_ = std::move(target);
    dropped_.reset();
    defaultChosen_ = false;
    view_ = ChangeView{};
    view_.prompt = kPromptOpened;
    view_.current = row->picture();
    view_.lookAlikeEnabled = session_.context().CatalogueAvailable != kFalse && target_->kind != TargetKind::ShortcutIcon;
    view_.defaultEnabled = true;
    view_.title = target_->title;
    view_.caption = QStringLiteral("Change ") + kindText(target_->kind);
    changed();
    return true;
}

void ChangeController::lookAlikes()
{
    if (target_ && view_.lookAlikeEnabled)
        session_.searchKeywordStartingWith(view_.title);
}

void ChangeController::backToGroup()
{
    const QString node = session_.lastClickedNode();
    if (node.isEmpty())
        return;
    session_.window().selectNavigationNode(node);
    session_.clickNode(node);
}

void ChangeController::showLocation(const Icon& icon, const QString& missingPrompt)
{
    view_.next = icon.isNull() ? QImage() : icon.image;
    view_.prompt = icon.isNull() ? missingPrompt : kPromptChoose;
    view_.applyEnabled = true;
    changed();
}

void ChangeController::windowsDefault()
{
    if (!target_)
        return;
    defaultChosen_ = true;
    dropped_.reset();
    showLocation(applier_.windowsDefault(*target_), isCursor(target_->kind) ? kPromptNoCursorDefault : kPromptNoDefault);
}

void ChangeController::drop(const QString& text)
{
    if (!target_)
        return;
    const std::optional<SelectedRow> row = session_.window().selectedRow();
    if (text.isEmpty() || !row || row->name != text || row->image.isNull()) {
        view_.prompt = kPromptNoDrop;
        changed();
        return;
    }
    dropped_ = row;
    defaultChosen_ = false;
    view_.next = row->picture();
    view_.prompt = row->type.left(8) == u"Animated" ? kPromptFullAni : kPromptChoose;
    view_.applyEnabled = true;
    changed();
}

NewIcon ChangeController::newIcon()
{
    NewIcon icon;
    if (!dropped_)
        return icon;
    icon.animated = isCursor(target_->kind) && isAnimatedTypeCode(typeCodeOf(dropped_->item));
    if (icon.animated)
        icon.frames = session_.animationFrames(*dropped_);
    else
        icon.frames.push_back(dropped_->image);
    return icon;
}

// The wine server of a running prefix writes its registry back when it ends, over our change.
bool ChangeController::wineMayUndo()
{
    const QString root = session_.context().platform.paths().root();
    if (target_->kind == TargetKind::ShortcutIcon || !isWinePrefix(root) || !wineServerRunning(root))
        return false;
    const int answer = session_.context().platform.dialogs().messageBox(
        QStringLiteral("Wine is running in %1. It keeps the registry in memory and writes it back when it ends, "
                       "which would undo this change. Close the Wine programs (or run \"wineserver -k\") first.\r\r"
                       "Apply the change anyway?")
            .arg(root),
        view_.caption, MB_OKCANCEL | MB_ICONEXCLAMATION);
    return answer != IDOK;
}

void ChangeController::remind(const QString& flagName, const QString& text, const QString& button, bool rebuild)
{
    if (!session_.settings().noticeWanted(flagName))
        return;
    if (!ShowMessage(session_.context().platform.dialogs(), text, flagName, view_.caption, button))
        return;
    if (rebuild)
        rebuildIconCache();
    else
        restartWindows(session_, *launcher_);
}

void ChangeController::apply()
{
    if (!target_ || !view_.applyEnabled || (!defaultChosen_ && !dropped_) || wineMayUndo())
        return;
    AppContext& context = session_.context();
    NewIcon icon = defaultChosen_ ? NewIcon{} : newIcon();
    // The hot spot is placed on the dropped icon, which need not be the selected result.
    if (!defaultChosen_ && isCursor(target_->kind) && !icon.animated)
        HotspotNotice(session_, icon.frames.empty() ? QImage() : icon.frames.front());
    const ApplyOutcome outcome = applier_.apply(*target_, defaultChosen_ ? nullptr : &icon);
    if (!outcome.changed) {
        context.platform.dialogs().messageBox(outcome.error, view_.caption, MB_ICONEXCLAMATION);
        return;
    }
    if (isCursor(target_->kind) && defaultChosen_) {
        const CursorRole* role = cursorRoleOfValue(target_->valueName);
        view_.current = role ? LoadCursorA(role->resourceNumber).image : QImage();
    } else if (!view_.next.isNull()) {
        view_.current = view_.next;
    }
    switch (target_->kind) {
    case TargetKind::FileTypeIcon:
        remind(QStringLiteral("SysFileTypeRestart"),
               QStringLiteral("You may need to Restart Windows before File Type changes take effect."), kRestartNow, false);
        break;
    case TargetKind::SystemIcon:
        remind(QStringLiteral("SysCache"),
               QStringLiteral("You need to Rebuild the Windows Icon Cache before these changes take effect. Restarting "
                              "Windows will not rebuild the Icon Cache. You can always rebuild the Icon Cache later by "
                              "selecting Tools, Rebuild Icon Cache from the main Glyphary menu."),
               kRebuildNow, true);
        break;
    case TargetKind::ShortcutIcon:
        if (outcome.samePath)
            remind(QString::fromLatin1(kShortcutCache.flagName), QString::fromLatin1(kShortcutCache.text), kRebuildNow, true);
        break;
    case TargetKind::CurrentCursor:
    case TargetKind::AnimatedCursor:
        remind(QStringLiteral("SysCursorRestart"),
               QStringLiteral("You may need to Restart Windows before Cursor changes take effect. You could also try a "
                              "Re-Logon."),
               kRestartNow, false);
        break;
    }
    view_.next = QImage();
    dropped_.reset();
    defaultChosen_ = false;
    view_.prompt = kPromptApplied;
    view_.applyEnabled = false;
    changed();
    remind(QStringLiteral("SysCache"),
           QStringLiteral("You need to Rebuild the Windows Icon Cache before these changes take effect. Restarting Windows "
                          "will not rebuild you Icon Cache. You can always rebuild you Icon Cache later by selecting "
                          "Tools, Rebuild Icon Cache from the main Glyphary menu."),
           kRebuildNow, true);
}

void ChangeController::rebuildIconCache()
{
    changer::rebuildIconCache(session_);
}

} // namespace glyphary::changer
