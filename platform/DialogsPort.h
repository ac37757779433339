#pragma once
// Everything that asks or tells the person something and waits. The Qt implementation shows real
// dialogs; tests use a scripted one that queues answers and records every prompt.

#include <QColor>
#include <QString>
#include <QStringList>
#include <optional>

namespace glyphary::platform {

struct FileDialogRequest {
    QString title;
    QString filter;        // VB style: "Icons (*.ico)|*.ico|All files (*.*)|*.*"
    int filterIndex = 1;   // 1-based, as the common dialog counts
    QString initialFolder; // Windows path
    QString fileName;      // preset name
    QString defaultExtension; // without the dot; added to a name typed without one (save dialogs)
    int flags = 0;         // OFN_* numbers
};

struct FileDialogResult {
    QStringList fileNames; // Windows paths
    int filterIndex = 1;
};

struct MessageRequest {
    QString text;
    QString flagName;     // settings value written with the check box's state
    QString title;
    QString secondButton; // "" hides the second button
};

class DialogsPort {
public:
    virtual ~DialogsPort() = default;

    // Win32 MessageBox: flags are MB_* numbers, the answer an ID* number.
    virtual int messageBox(const QString& text, const QString& title, int flags) = 0;
    // VB InputBox: nullopt when cancelled.
    virtual std::optional<QString> inputBox(const QString& prompt, const QString& title, const QString& preset) = 0;
    virtual std::optional<FileDialogResult> openFile(const FileDialogRequest& request) = 0;
    virtual std::optional<FileDialogResult> saveFile(const FileDialogRequest& request) = 0;
    virtual std::optional<QColor> chooseColor(const QColor& initial) = 0;
    // The shell's folder picker; the chosen Windows path, nullopt on cancel.
    virtual std::optional<QString> browseForFolder(const QString& prompt, const QString& initialPath) = 0;
    // The reminder window with its "Don't show this message again." box; true when closed with the
    // second button.
    virtual bool showMessage(const MessageRequest& request) = 0;
    // Screen.MousePointer (0 default, 11 hourglass).
    virtual void setMousePointer(int pointer) = 0;
    // Let pending events run (DoEvents).
    virtual void doEvents() = 0;
};

} // namespace glyphary::platform
