#include "options/OptionsController.h"

#include "core/AppContext.h"
#include "core/FileHelpers.h"
#include "core/FolderPicker.h"
#include "core/MainSession.h"
#include "core/MainWindowLoad.h"
#include "core/MainWindowPort.h"
#include "core/Settings.h"
#include "core/SettingsTable.h"
#include "core/ShowMessage.h"
#include "options/OptionsApply.h"
#include "platform/DialogsPort.h"
#include "platform/Win32Types.h"

namespace glyphary::options {

using namespace platform;

OptionsController::OptionsController(MainSession& session) : session_(session)
{
}

void OptionsController::load()
{
    values = loadOptions(session_);
}

bool OptionsController::editorUsable() const
{
    return !values.editorFile.isEmpty() && FileExists(session_.context().platform.paths(), values.editorPath());
}

void OptionsController::dropEditor()
{
    values.editorFolder.clear();
    values.editorFile.clear();
    values.action = QStringLiteral("None");
}

bool OptionsController::pickEditor()
{
    FileDialogRequest request;
    request.title = kEditorBrowseTitle;
    request.filter = kEditorFilter;
    request.defaultExtension = QStringLiteral("exe");
    request.initialFolder = values.editorFolder;
    const auto chosen = session_.context().platform.dialogs().openFile(request);
    if (!chosen || chosen->fileNames.isEmpty())
        return false;
    const QString path = chosen->fileNames.first();
    const qsizetype cut = path.lastIndexOf(u'\\');
    values.editorFolder = path.left(cut + 1);
    values.editorFile = path.mid(cut + 1);
    return true;
}

void OptionsController::insistOnEditor()
{
    DialogsPort& dialogs = session_.context().platform.dialogs();
    while (!editorUsable()) {
        const int answer = dialogs.messageBox(kEditorQuestion, kEditorQuestionTitle, MB_YESNO | MB_ICONEXCLAMATION);
        // A cancelled browse is a "No" too: an Edit With without editor would fail at every
        // double-click.
        if (answer != IDYES || !pickEditor()) {
            dropEditor();
            return;
        }
    }
}

void OptionsController::chooseAction(const QString& word)
{
    values.action = word;
    if (word == u"EditWith")
        insistOnEditor();
}

void OptionsController::chooseZoom(int level)
{
    values.zoomLevel = std::clamp(level, 0, static_cast<int>(kZoomEntries.size()) - 1);
    values.action = QStringLiteral("Zoom");
}

void OptionsController::browseEditor()
{
    if (!pickEditor())
        return;
    if (!editorUsable()) {
        insistOnEditor();
        if (!editorUsable())
            return;
    }
    if (session_.settings().noticeWanted(QString::fromLatin1(setting::ExtEditMessage.name)))
        ShowMessage(session_.context().platform.dialogs(), kEditorReminder, QString::fromLatin1(setting::ExtEditMessage.name),
                    kEditorReminderTitle, QString());
}

void OptionsController::useBackground(bool on)
{
    values.useMask = !on;
    if (on) {
        values.maskColor = colourValue(session_.window().shownWindow().backColor);
        values.systemColorEntry = 0;
    }
}

void OptionsController::chooseSystemColor(int entry)
{
    const auto value = systemColorValue(entry);
    values.systemColorEntry = value ? entry : 0;
    if (value) {
        values.maskColor = *value;
        values.useMask = true;
    }
}

void OptionsController::chooseCustomColor()
{
    const auto chosen = session_.context().platform.dialogs().chooseColor(maskSample());
    if (!chosen)
        return;
    values.maskColor = colourValue(*chosen);
    values.systemColorEntry = 0;
    values.useMask = true;
}

QColor OptionsController::maskSample() const
{
    return colourFromValue(values.maskColor);
}

void OptionsController::browseFavorites()
{
    const auto chosen = BrowseForFolder(session_.context().platform.dialogs(), FolderPickerCaller::OptionsFavorites,
                                        values.favoritesFolder);
    if (chosen && !chosen->isEmpty())
        values.favoritesFolder = *chosen;
}

void OptionsController::defaultFavorites()
{
    values.favoritesFolder = session_.context().dataFolder() + QStringLiteral("Favorites");
}

bool OptionsController::addDesktopIcon()
{
    const QString program = programFile(session_);
    return session_.procSaveShortcut(desktopShortcut(session_), program, QString(), QString(), program, 0, 1);
}

void OptionsController::apply()
{
    applyOptions(session_, values);
}

} // namespace glyphary::options
