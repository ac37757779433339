#include "support/ScriptedDialogs.h"

#include "platform/Win32Types.h"

namespace glyphary::testing {

namespace {

template <typename T, typename Fallback>
T takeOr(std::deque<T>& queue, Fallback fallback)
{
    if (queue.empty())
        return fallback;
    T value = std::move(queue.front());
    queue.pop_front();
    return value;
}

} // namespace

int ScriptedDialogs::messageBox(const QString& text, const QString& title, int flags)
{
    prompts.push_back({QStringLiteral("messageBox"), title, text, flags});
    return takeOr(messageBoxAnswers, platform::IDOK);
}

std::optional<QString> ScriptedDialogs::inputBox(const QString& prompt, const QString& title, const QString&)
{
    prompts.push_back({QStringLiteral("inputBox"), title, prompt, 0});
    return takeOr(inputAnswers, std::optional<QString>());
}

std::optional<platform::FileDialogResult> ScriptedDialogs::openFile(const platform::FileDialogRequest& request)
{
    prompts.push_back({QStringLiteral("openFile"), request.title, request.filter, request.flags});
    fileRequests.push_back(request);
    return takeOr(fileAnswers, std::optional<platform::FileDialogResult>());
}

std::optional<platform::FileDialogResult> ScriptedDialogs::saveFile(const platform::FileDialogRequest& request)
{
    prompts.push_back({QStringLiteral("saveFile"), request.title, request.filter, request.flags});
    fileRequests.push_back(request);
    return takeOr(fileAnswers, std::optional<platform::FileDialogResult>());
}

std::optional<QColor> ScriptedDialogs::chooseColor(const QColor&)
{
    prompts.push_back({QStringLiteral("chooseColor"), {}, {}, 0});
    return takeOr(colorAnswers, std::optional<QColor>());
}

std::optional<QString> ScriptedDialogs::browseForFolder(const QString& prompt, const QString&)
{
    prompts.push_back({QStringLiteral("browseForFolder"), {}, prompt, 0});
    return takeOr(folderAnswers, std::optional<QString>());
}

bool ScriptedDialogs::showMessage(const platform::MessageRequest& request)
{
    prompts.push_back({QStringLiteral("showMessage"), request.title, request.text, 0});
    messages.push_back(request);
    return takeOr(messageAnswers, false);
}

} // namespace glyphary::testing
