#pragma once
// Every command of the main window, as the menus, pop-ups, tool bars, keys and drops run it, and
// the menu entries that run each. A subsystem provides a command's handler (MainSession::handle);
// the window maps each action to its command.

#include <QString>
#include <QStringView>
#include <array>
#include <optional>
#include <span>

namespace glyphary {

enum class Command {
    // Commands whose main menu entry, popup entry and toolbar button change together come first.
    FirstPage, PrevPage, NextPage, LastPage,
    Properties, Copy, SaveAs, EditWith, Play, AddReference, DeleteReference, Zoom, Run,
    AddFavorite, DeleteFavorite, Change, ChangeFolder,
    FavoriteGroupAdd, FavoriteGroupDel,
    // File
    OpenFile, OpenFolder, Exit,
    // View
    ToggleStandardBand, ToggleYourBand, ToggleKeywordBand, ToggleTextLabels, CustomizeToolbar, ToggleStatusBar,
    ViewLargeIcons, ViewList, ViewDetails, BackColor, ArrangeBy, Options,
    // Go
    ToPage, HomePage, Mail,
    // Favorites and references
    FavoriteRefresh, FavoriteOrganize, EditKeywords,
    // Tools
    Import, DefaultFolder, RebuildIconCache, RestartWindows,
    // Help
    TipOfTheDay, HelpTopics, HelpSearch, About,
    // Without a menu entry
    Abort,          // the "abort" button and Esc
    DropOnResults,  // files dropped on the result list
};

// A command with its argument: the page of ToPage, the column of ArrangeBy, the zoom factor of Zoom
// (0: the "DCZoom" level), the mode of SaveAs (kSaveAsToFavorites or 0).
struct CommandCall {
    Command command;
    int argument = 0;
    friend bool operator==(const CommandCall&, const CommandCall&) = default;
};

// SaveAs's argument for Add to Favorites: the favorites mode (dialog titled "Add to Favorites" in
// the context's SaveAsFolder). With 0 Save As is the plain one, whatever listing is shown.
inline constexpr int kSaveAsToFavorites = 1;

// The command of a menu entry or tool bar entry by its name; arrays (name_index) give their index
// as the argument (the page number for the "To Page" entries). nullopt for names that run nothing.
std::optional<CommandCall> commandForEntry(QStringView name);

// The menu entry names of every command call of the menu tables, in table order.
struct CommandEntry {
    const char* name;
    Command command;
    int argument;
};
std::span<const CommandEntry> commandEntries();

struct CommandControls {
    Command command;
    const char* menu;       // main menu entry
    const char* popup;      // entry of the result popup, nullptr when there is none
    const char* toolbarKey; // Standard or Your Icons button, nullptr when there is none
};

// Commands whose main menu entry, popup entry and toolbar button always change together.
inline constexpr std::array<CommandControls, 19> kCommandControls{{
    {Command::FirstPage, "mnuGoFirstPage", nullptr, "firstpage"},
    {Command::PrevPage, "mnuGoPrevPage", nullptr, "prevpage"},
    {Command::NextPage, "mnuGoNextPage", nullptr, "nextpage"},
    {Command::LastPage, "mnuGoLastPage", nullptr, "lastpage"},
    {Command::Properties, "mnuFileProperties", "mnuResultClickProperties", "prop"},
    {Command::Copy, "mnuEditCopy", "mnuResultClickCopy", "copy"},
    {Command::SaveAs, "mnuFileSaveAs", "mnuResultClickSaveAs", "save"},
    {Command::EditWith, "mnuFileEditWith", "mnuResultClickEditWith", nullptr},
    {Command::Play, "mnuFilePlay", "mnuResultClickPlay", "play"},
    {Command::AddReference, "mnuRefAdd", "mnuResultClickAddRef", "refadd"},
    {Command::DeleteReference, "mnuRefDelete", "mnuResultClickDelRef", "refdel"},
    {Command::Zoom, "mnuToolsZoom", "mnuResultClickZoom", "zoom"},
    {Command::Run, "mnuFileRun", "mnuResultClickRun", nullptr},
    {Command::AddFavorite, "mnuFavoriteAdd", "mnuResultClickAddFav", "favadd"},
    {Command::DeleteFavorite, "mnuFavoriteDel", "mnuResultClickDelFav", "favdel"},
    {Command::Change, "mnuFileChange", "mnuResultClickChange", "change"},
    {Command::ChangeFolder, "mnuToolsChangeFolder", nullptr, "changefolder"},
    {Command::FavoriteGroupAdd, "mnuFavoriteGroupAdd", nullptr, "favgroupadd"},
    {Command::FavoriteGroupDel, "mnuFavoriteGroupDel", nullptr, "favgroupdel"},
}};

// The commands of a selection, all disabled whenever the view is cleared.
inline constexpr std::array<Command, 13> kSelectionCommands{
    Command::Properties, Command::Copy, Command::SaveAs, Command::EditWith, Command::Play,
    Command::AddReference, Command::DeleteReference, Command::Zoom, Command::Run,
    Command::AddFavorite, Command::DeleteFavorite, Command::Change, Command::ChangeFolder,
};

inline constexpr std::array<Command, 4> kPagingCommands{
    Command::FirstPage, Command::PrevPage, Command::NextPage, Command::LastPage,
};

} // namespace glyphary
