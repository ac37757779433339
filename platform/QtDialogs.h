#pragma once
// The dialogs port shown as real Qt dialogs.

#include "platform/DialogsPort.h"

#include <functional>

class QWidget;

namespace glyphary::platform {

class WindowsPaths;

class QtDialogs : public DialogsPort {
public:
    // The paths turn the Windows paths of requests into host folders and back; set once the
    // platform exists. The message window belongs to the program, so it comes as a function.
    void setPaths(const WindowsPaths* paths) { paths_ = paths; }
    void setMessageWindow(std::function<bool(const MessageRequest&)> show) { showMessage_ = std::move(show); }
    void setOwner(QWidget* owner) { owner_ = owner; }

    int messageBox(const QString& text, const QString& title, int flags) override;
    std::optional<QString> inputBox(const QString& prompt, const QString& title, const QString& preset) override;
    std::optional<FileDialogResult> openFile(const FileDialogRequest& request) override;
    std::optional<FileDialogResult> saveFile(const FileDialogRequest& request) override;
    std::optional<QColor> chooseColor(const QColor& initial) override;
    std::optional<QString> browseForFolder(const QString& prompt, const QString& initialPath) override;
    bool showMessage(const MessageRequest& request) override;
    void setMousePointer(int pointer) override;
    void doEvents() override;

private:
    std::optional<FileDialogResult> fileDialog(const FileDialogRequest& request, bool save);

    const WindowsPaths* paths_ = nullptr;
    std::function<bool(const MessageRequest&)> showMessage_;
    QWidget* owner_ = nullptr;
    bool waitCursor_ = false;
};

// "Icons (*.ico)|*.ico|All (*.*)|*.*" as Qt name filters: "Icons (*.ico)", "All (*.*)".
QStringList qtNameFilters(const QString& vbFilter);

} // namespace glyphary::platform
