#include "core/Command.h"

namespace glyphary {
namespace {

constexpr CommandEntry kEntries[] = {
    {"mnuFileOpen", Command::OpenFile, 0},
    {"mnuFileOpenDir", Command::OpenFolder, 0},
    {"mnuFileSaveAs", Command::SaveAs, 0},
    {"mnuFileEditWith", Command::EditWith, 0},
    {"mnuFileChange", Command::Change, 0},
    {"mnuFilePlay", Command::Play, 0},
    {"mnuFileRun", Command::Run, 0},
    {"mnuFileProperties", Command::Properties, 0},
    {"mnuFileExit", Command::Exit, 0},
    {"mnuEditCopy", Command::Copy, 0},
    {"mnuViewToolbarStandard", Command::ToggleStandardBand, 0},
    {"mnuViewToolbarYour", Command::ToggleYourBand, 0},
    {"mnuViewToolbarKeyword", Command::ToggleKeywordBand, 0},
    {"mnuViewToolbarTextLabels", Command::ToggleTextLabels, 0},
    {"mnuViewToolbarCustomize", Command::CustomizeToolbar, 0},
    {"mnuViewStatusBar", Command::ToggleStatusBar, 0},
    {"mnuViewLargeIcons", Command::ViewLargeIcons, 0},
    {"mnuViewList", Command::ViewList, 0},
    {"mnuViewDetails", Command::ViewDetails, 0},
    {"mnuViewBackColor", Command::BackColor, 0},
    {"mnuViewArrange", Command::ArrangeBy, 0},
    {"mnuViewOptions", Command::Options, 0},
    {"mnuGoToPageNr", Command::ToPage, 1},
    {"mnuGoFirstPage", Command::FirstPage, 0},
    {"mnuGoPrevPage", Command::PrevPage, 0},
    {"mnuGoNextPage", Command::NextPage, 0},
    {"mnuGoLastPage", Command::LastPage, 0},
    {"mnuGoHomePage", Command::HomePage, 0},
    {"mnuGoMail", Command::Mail, 0},
    {"mnuFavoriteAdd", Command::AddFavorite, 0},
    {"mnuFavoriteDel", Command::DeleteFavorite, 0},
    {"mnuFavoriteGroupAdd", Command::FavoriteGroupAdd, 0},
    {"mnuFavoriteGroupDel", Command::FavoriteGroupDel, 0},
    {"mnuFavoriteRefresh", Command::FavoriteRefresh, 0},
    {"mnuFavoriteOrganize", Command::FavoriteOrganize, 0},
    {"mnuRefAdd", Command::AddReference, 0},
    {"mnuRefDelete", Command::DeleteReference, 0},
    {"mnuRefKey", Command::EditKeywords, 0},
    {"mnuToolsZoom2", Command::Zoom, 2},
    {"mnuToolsZoom3", Command::Zoom, 3},
    {"mnuToolsZoom4", Command::Zoom, 4},
    {"mnuToolsZoom5", Command::Zoom, 5},
    {"mnuToolsZoom10", Command::Zoom, 10},
    {"mnuToolsImport", Command::Import, 0},
    {"mnuToolsChangeFolder", Command::ChangeFolder, 0},
    {"mnuToolsDefaultFolder", Command::DefaultFolder, 0},
    {"mnuToolsRebuild", Command::RebuildIconCache, 0},
    {"mnuToolsRestart", Command::RestartWindows, 0},
    {"mnuHelpTip", Command::TipOfTheDay, 0},
    {"mnuHelpTopics", Command::HelpTopics, 0},
    {"mnuHelpSearch", Command::HelpSearch, 0},
    {"mnuHelpAbout", Command::About, 0},
    {"mnuResultClickCopy", Command::Copy, 0},
    {"mnuResultClickSaveAs", Command::SaveAs, 0},
    {"mnuResultClickChange", Command::Change, 0},
    {"mnuResultClickEditWith", Command::EditWith, 0},
    {"mnuResultClickPlay", Command::Play, 0},
    {"mnuResultClickAddRef", Command::AddReference, 0},
    {"mnuResultClickDelRef", Command::DeleteReference, 0},
    {"mnuResultClickAddFav", Command::AddFavorite, 0},
    {"mnuResultClickDelFav", Command::DeleteFavorite, 0},
    {"mnuResultClickProperties", Command::Properties, 0},
    {"mnuResultClickZoom", Command::Zoom, 0},
    {"mnuResultClickRun", Command::Run, 0},
    {"mnuGoBarToPageNr", Command::ToPage, 1},
    {"mnuResultClickViewLargeIcons", Command::ViewLargeIcons, 0},
    {"mnuResultClickViewList", Command::ViewList, 0},
    {"mnuResultClickViewDetails", Command::ViewDetails, 0},
    {"mnuResultClickViewBackColor", Command::BackColor, 0},
    {"mnuResultClickViewArrange", Command::ArrangeBy, 0},
    {"mnuNavFavClickAdd", Command::FavoriteGroupAdd, 0},
    {"mnuNavFavClickDel", Command::FavoriteGroupDel, 0},
};

} // namespace

std::span<const CommandEntry> commandEntries()
{
    return kEntries;
}

std::optional<CommandCall> commandForEntry(QStringView name)
{
    QStringView base = name;
    int index = 0;
    bool indexed = false;
    if (const qsizetype cut = name.lastIndexOf(u'_'); cut > 0) {
        bool ok = false;
        index = name.sliced(cut + 1).toInt(&ok);
        if (ok && index >= 0) {
            base = name.first(cut);
            indexed = true;
        }
    }
    for (const CommandEntry& entry : kEntries) {
        if (base == QLatin1StringView(entry.name))
            return CommandCall{entry.command, indexed ? entry.argument + index : entry.argument};
    }
    return std::nullopt;
}

} // namespace glyphary
