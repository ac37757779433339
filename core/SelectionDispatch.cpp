#include "core/SelectionDispatch.h"

#include "core/MainMenus.h"
#include "platform/Win32Types.h"
#include "platform/WindowsPaths.h"
#include "core/ResultPageView.h"

#include <QMimeData>
#include <QUrl>
#include <algorithm>
#include <array>

namespace glyphary {

namespace {

struct ActionCommand {
    QLatin1StringView action;
    Command command;
};

constexpr std::array<ActionCommand, 9> kActions{{
    {QLatin1StringView("Copy"), Command::Copy},
    {QLatin1StringView("Save"), Command::SaveAs},
    {QLatin1StringView("Zoom"), Command::Zoom},
    {QLatin1StringView("Play"), Command::Play},
    {QLatin1StringView("Ref"), Command::AddReference},
    {QLatin1StringView("Run"), Command::Run},
    {QLatin1StringView("Prop"), Command::Properties},
    {QLatin1StringView("Change"), Command::Change},
    {QLatin1StringView("EditWith"), Command::EditWith},
}};

const CommandControls* controlsOfAction(QStringView action)
{
    for (const ActionCommand& entry : kActions) {
        if (action != entry.action)
            continue;
        for (const CommandControls& controls : kCommandControls) {
            if (controls.command == entry.command)
                return &controls;
        }
    }
    return nullptr;
}

constexpr std::array<const char*, 5> kZoomCommands{"mnuToolsZoom2", "mnuToolsZoom3", "mnuToolsZoom4", "mnuToolsZoom5",
                                                   "mnuToolsZoom10"};

QString nextViewCommand(int view)
{
    switch (view) {
    case 2: return QStringLiteral("mnuViewDetails");
    case 3: return QStringLiteral("mnuViewLargeIcons");
    default: return QStringLiteral("mnuViewList");
    }
}

} // namespace

const char* defaultPopupEntry(QStringView action)
{
    const CommandControls* controls = controlsOfAction(action);
    return controls ? controls->popup : nullptr;
}

DoubleClickDispatch doubleClickDispatch(QStringView action, const QString& windowCaption)
{
    if (action == u"None") {
        return {{},
                InformationMessage{QStringLiteral("You have not specified a user defined double click action.\n\n"
                                                  "Select View, Options, Double Click tab to select a double click action."),
                                   windowCaption, platform::MB_OK | platform::MB_ICONINFORMATION}};
    }
    const CommandControls* controls = controlsOfAction(action);
    if (!controls)
        return {};
    // The Tools menu's Zoom is a submenu; the popup's entry zooms at the chosen level.
    return {QString::fromLatin1(controls->command == Command::Zoom ? controls->popup : controls->menu), std::nullopt};
}

QString deleteKeyCommand(int keyCode, QStringView origin)
{
    if (keyCode != kDeleteKeyCode)
        return {};
    if (origin == u"Reference")
        return QStringLiteral("mnuRefDelete");
    if (origin == u"File Favorite")
        return QStringLiteral("mnuFavoriteDel");
    return {};
}

bool acceptsFileDrag(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return false;
    const QList<QUrl> urls = data->urls();
    return !urls.isEmpty() && std::all_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); });
}

QStringList droppedFiles(const QMimeData* data, const platform::WindowsPaths& paths)
{
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            files << paths.toWindows(url.toLocalFile());
    return files;
}

QString zoomCommandFor(int level)
{
    const std::size_t index = level >= 0 && level < 4 ? static_cast<std::size_t>(level) : kZoomCommands.size() - 1;
    return QString::fromLatin1(kZoomCommands[index]);
}

QString buttonCommand(QStringView key, const ButtonContext& context)
{
    if (key == u"view")
        return nextViewCommand(context.currentView);
    if (key == u"zoom")
        return zoomCommandFor(context.doubleClickZoom);
    for (const auto& buttons : {standardButtons(), yourIconsButtons()}) {
        for (const ToolButtonDef& button : buttons) {
            if (key == QLatin1StringView(button.key))
                return QString::fromLatin1(button.command);
            for (const DropDownEntry& entry : button.dropDown) {
                if (key == QLatin1StringView(entry.key))
                    return QString::fromLatin1(entry.command);
            }
        }
    }
    return {};
}

std::optional<Command> keyReleaseCommand(int key)
{
    if (key == Qt::Key_3)
        return Command::PrevPage;
    if (key == Qt::Key_2)
        return Command::NextPage;
    return std::nullopt;
}

bool keyAborts(int key)
{
    return key == Qt::Key_Escape;
}

bool pageDisplayOffersPages(const QString& pageText, bool navigationEnabled)
{
    return !pageText.isEmpty() && pageText != u"Page 1 of 1" && navigationEnabled;
}

} // namespace glyphary
