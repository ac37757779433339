#pragma once
// The dialogs port of the command-line tools: messages go to the error stream, nothing is asked
// (every question gets its first answer, every dialog is cancelled).

#include "platform/DialogsPort.h"

namespace glyphary::platform {

class ConsoleDialogs : public DialogsPort {
public:
    int messageBox(const QString& text, const QString& title, int flags) override;
    std::optional<QString> inputBox(const QString&, const QString&, const QString&) override { return std::nullopt; }
    std::optional<FileDialogResult> openFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<FileDialogResult> saveFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<QColor> chooseColor(const QColor&) override { return std::nullopt; }
    std::optional<QString> browseForFolder(const QString&, const QString&) override { return std::nullopt; }
    bool showMessage(const MessageRequest&) override { return false; }
    void setMousePointer(int) override {}
    void doEvents() override {}
};

} // namespace glyphary::platform
