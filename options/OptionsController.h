#pragma once
// The Options window's pending choices and the rules behind its controls: the double-click action
// and its external editor, the mask colour, the favorites folder, the desktop icon. The window
// shows `values` after each call.

#include "options/OptionsValues.h"

namespace glyphary::options {

inline const QString kEditorQuestionTitle = QStringLiteral("Browse for External Icon Editor");
inline const QString kEditorQuestion = QStringLiteral("The current selected External Icon Editor is not valid.\r\n"
                                                      "Do you want to select another External Icon Editor?");
inline const QString kEditorBrowseTitle = QStringLiteral("Select External Icon Editor");
inline const QString kEditorFilter = QStringLiteral("Applications (*.exe)|*.exe");
inline const QString kEditorReminderTitle = QStringLiteral("Edit With External Editor");
inline const QString kEditorReminder = QStringLiteral(
    "Some Icon Editors do not support Hi-color icons or even 256 Color Icons. This may cause errors while opening "
    "these Icon types with the selected Icon Editor.");

class OptionsController {
public:
    explicit OptionsController(MainSession& session);

    OptionsValues values;

    // The stored settings into `values`.
    void load();
    // An option button's word; "EditWith" insists on a usable editor.
    void chooseAction(const QString& word);
    void chooseZoom(int level);
    // cmdBrowseEdit.
    void browseEditor();
    // What the editor box shows.
    QString editorText() const { return values.editorPath(); }

    // chkMaskUseBackground is the opposite of "UseMask": the copy then takes the pane's colour.
    void useBackground(bool on);
    void chooseSystemColor(int entry);
    void chooseCustomColor();
    QColor maskSample() const;

    void browseFavorites();
    void defaultFavorites();

    // cmdDesktop; false when the shortcut could not be written.
    bool addDesktopIcon();
    void apply();

private:
    bool editorUsable() const;
    // Asks until the editor is usable or the person gives up, which falls back to "None".
    void insistOnEditor();
    // The open dialog; false when cancelled.
    bool pickEditor();
    void dropEditor();

    MainSession& session_;
};

} // namespace glyphary::options
