#pragma once
// The dialogs port for tests: answers come from queues, every prompt is recorded.

#include "platform/DialogsPort.h"

#include <deque>
#include <functional>
#include <vector>

namespace glyphary::testing {

struct Prompt {
    QString kind; // "messageBox", "inputBox", "openFile", "saveFile", "chooseColor", "browseForFolder", "showMessage"
    QString title;
    QString text;
    int flags = 0;
};

class ScriptedDialogs : public platform::DialogsPort {
public:
    // Queued answers; an empty queue gives the first button (IDOK), cancel for the others.
    std::deque<int> messageBoxAnswers;
    std::deque<std::optional<QString>> inputAnswers;
    std::deque<std::optional<platform::FileDialogResult>> fileAnswers;
    std::deque<std::optional<QColor>> colorAnswers;
    std::deque<std::optional<QString>> folderAnswers;
    std::deque<bool> messageAnswers;

    std::vector<Prompt> prompts;
    std::vector<platform::MessageRequest> messages;
    std::vector<platform::FileDialogRequest> fileRequests;
    int mousePointer = 0;
    int doEventsCalls = 0;

    int messageBox(const QString& text, const QString& title, int flags) override;
    std::optional<QString> inputBox(const QString& prompt, const QString& title, const QString& preset) override;
    std::optional<platform::FileDialogResult> openFile(const platform::FileDialogRequest& request) override;
    std::optional<platform::FileDialogResult> saveFile(const platform::FileDialogRequest& request) override;
    std::optional<QColor> chooseColor(const QColor& initial) override;
    std::optional<QString> browseForFolder(const QString& prompt, const QString& initialPath) override;
    bool showMessage(const platform::MessageRequest& request) override;
    void setMousePointer(int pointer) override { mousePointer = pointer; }
    // What a person does while pending events run (a key press, a click).
    std::function<void()> onDoEvents;
    void doEvents() override
    {
        ++doEventsCalls;
        if (onDoEvents)
            onDoEvents();
    }
};

} // namespace glyphary::testing
