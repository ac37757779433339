#include "core/MainMenus.h"

#include <array>

namespace glyphary {
namespace {

constexpr MenuNode kSeparator{"-", ""};

constexpr std::array kFile{
    MenuNode{"mnuFileOpen", "&Open by File..."},  MenuNode{"mnuFileOpenDir", "Open by &Folder..."}, kSeparator,
    MenuNode{"mnuFileSaveAs", "&Save As..."},     MenuNode{"mnuFileEditWith", "Edit &With..."},      kSeparator,
    MenuNode{"mnuFileChange", "C&hange..."},      MenuNode{"mnuFilePlay", "P&lay..."},
    MenuNode{"mnuFileRun", "&Run"},               kSeparator,
    MenuNode{"mnuFileProperties", "&Properties"}, kSeparator,
    MenuNode{"mnuFileExit", "&Close"},
};
constexpr std::array kEdit{MenuNode{"mnuEditCopy", "&Copy"}};
constexpr std::array kViewToolbar{
    MenuNode{"mnuViewToolbarStandard", "&Standard Buttons"}, MenuNode{"mnuViewToolbarYour", "&Your Icons Buttons"},
    MenuNode{"mnuViewToolbarKeyword", "&Keyword Bar"},       kSeparator,
    MenuNode{"mnuViewToolbarTextLabels", "&Text Labels"},    kSeparator,
    MenuNode{"mnuViewToolbarCustomize", "&Customize"},
};
constexpr std::array kViewArrange{
    MenuNode{"mnuViewArrange", "by &Name"}, MenuNode{"mnuViewArrange", "by &Type"}, MenuNode{"mnuViewArrange", "by &Origin"}};
constexpr std::array kView{
    MenuNode{"mnuViewToolbar", "&Toolbars", kViewToolbar},
    MenuNode{"mnuViewStatusBar", "&Status Bar"},
    kSeparator,
    MenuNode{"mnuViewLargeIcons", "La&rge Icons"},
    MenuNode{"mnuViewList", "&List"},
    MenuNode{"mnuViewDetails", "&Details"},
    kSeparator,
    MenuNode{"mnuViewBackColor", "&Backcolor..."},
    kSeparator,
    MenuNode{"mnuViewArrangeIcons", "Arrange &Icons", kViewArrange, true},
    kSeparator,
    MenuNode{"mnuViewOptions", "&Options..."},
};
constexpr std::array kGoToPage{MenuNode{"mnuGoToPageNr", "1"}};
constexpr std::array kGo{
    MenuNode{"mnuGoToPage", "&To Page", kGoToPage, true},
    kSeparator,
    MenuNode{"mnuGoFirstPage", "&First Page"},
    MenuNode{"mnuGoPrevPage", "&Previous Page"},
    MenuNode{"mnuGoNextPage", "&Next Page"},
    MenuNode{"mnuGoLastPage", "&Last Page"},
    kSeparator,
    MenuNode{"mnuGoHomePage", "&Home Page"},
    kSeparator,
    MenuNode{"mnuGoMail", "&Mail"},
};
constexpr std::array kFavorite{
    MenuNode{"mnuFavoriteAdd", "&Add to Favorites..."}, MenuNode{"mnuFavoriteDel", "&Delete Favorite"}, kSeparator,
    MenuNode{"mnuFavoriteGroupAdd", "&Create Folder"},  MenuNode{"mnuFavoriteGroupDel", "&Remove Folder"}, kSeparator,
    MenuNode{"mnuFavoriteRefresh", "R&efresh"},         MenuNode{"mnuFavoriteOrganize", "&Organize Favorites"},
};
constexpr std::array kRef{
    MenuNode{"mnuRefAdd", "&Add..."}, MenuNode{"mnuRefDelete", "&Delete"}, kSeparator,
    MenuNode{"mnuRefKey", "&Edit Custom Keywords..."}};
constexpr std::array kToolsZoom{
    MenuNode{"mnuToolsZoom2", "2:1"}, MenuNode{"mnuToolsZoom3", "3:1"}, MenuNode{"mnuToolsZoom4", "4:1"},
    MenuNode{"mnuToolsZoom5", "5:1"}, MenuNode{"mnuToolsZoom10", "10:1"}};
constexpr std::array kTools{
    MenuNode{"mnuToolsZoom", "&Zoom", kToolsZoom},
    kSeparator,
    MenuNode{"mnuToolsImport", "&Pictoforge"},
    kSeparator,
    MenuNode{"mnuToolsChangeFolder", "&Change Any Folder Icon..."},
    MenuNode{"mnuToolsDefaultFolder", "&Set Any Folder Icon to Default..."},
    kSeparator,
    MenuNode{"mnuToolsRebuild", "&Rebuild Windows Icon Cache"},
    MenuNode{"mnuToolsRestart", "Restart &Windows"},
};
constexpr std::array kHelp{
    MenuNode{"mnuHelpTip", "&Tip of the Day..."}, kSeparator,
    MenuNode{"mnuHelpTopics", "&Help Topics..."}, MenuNode{"mnuHelpSearch", "&Search for Help on..."}, kSeparator,
    MenuNode{"mnuHelpAbout", "&About Glyphary..."}};

constexpr std::array kMenuBar{
    MenuNode{"mnuFile", "&File", kFile},           MenuNode{"mnuEdit", "&Edit", kEdit},
    MenuNode{"mnuView", "&View", kView},           MenuNode{"mnuGo", "&Go", kGo},
    MenuNode{"mnuFavorite", "F&avorites", kFavorite}, MenuNode{"mnuRef", "&References", kRef},
    MenuNode{"mnuTools", "&Tools", kTools},        MenuNode{"mnuHelp", "&Help", kHelp},
};

constexpr std::array kResultClick{
    MenuNode{"mnuResultClickCopy", "&Copy"},
    kSeparator,
    MenuNode{"mnuResultClickSaveAs", "&Save As..."},
    MenuNode{"mnuResultClickChange", "C&hange..."},
    MenuNode{"mnuResultClickEditWith", "Edit &With..."},
    MenuNode{"mnuResultClickPlay", "P&lay"},
    kSeparator,
    MenuNode{"mnuResultClickAddRef", "&Add Reference"},
    MenuNode{"mnuResultClickDelRef", "&Delete Reference"},
    kSeparator,
    MenuNode{"mnuResultClickAddFav", "Add to &Favorites..."},
    MenuNode{"mnuResultClickDelFav", "De&lete Favorite"},
    kSeparator,
    MenuNode{"mnuResultClickProperties", "&Properties"},
    kSeparator,
    MenuNode{"mnuResultClickZoom", "&Zoom"},
    MenuNode{"mnuResultClickRun", "&Run"},
};
constexpr std::array kGoBar{MenuNode{"mnuGoBarToPageNr", "1"}};
constexpr std::array kResultClickViewArrange{
    MenuNode{"mnuResultClickViewArrange", "by &Name"}, MenuNode{"mnuResultClickViewArrange", "by &Type"},
    MenuNode{"mnuResultClickViewArrange", "by &Origin"}};
constexpr std::array kResultClickView{
    MenuNode{"mnuResultClickViewLargeIcons", "La&rge Icons"},
    MenuNode{"mnuResultClickViewList", "&List"},
    MenuNode{"mnuResultClickViewDetails", "&Details"},
    kSeparator,
    MenuNode{"mnuResultClickViewBackColor", "&BackColor..."},
    kSeparator,
    MenuNode{"mnuResultClickViewArrangeIcons", "Arrange &Icons", kResultClickViewArrange, true},
};
constexpr std::array kWhite{MenuNode{"mnuResultClickView", "&View", kResultClickView}};
constexpr std::array kNavFavClick{
    MenuNode{"mnuNavFavClickAdd", "&Add Favorite Group"}, MenuNode{"mnuNavFavClickDel", "&Delete Favorite Group"}};

constexpr std::array kPopUps{
    MenuNode{"mnuResultClick", "mnuResultClick", kResultClick},
    MenuNode{"mnuGoBar", "mnuGoBar", kGoBar, true},
    MenuNode{"mnuWhite", "White Area", kWhite},
    MenuNode{"mnuNavFavClick", "mnuNavFavClick", kNavFavClick},
};

constexpr std::array kOpenEntries{DropDownEntry{"by File...", "openfile", "mnuFileOpen"},
                                  DropDownEntry{"by Folder...", "opendir", "mnuFileOpenDir"}};
constexpr std::array kViewEntries{DropDownEntry{"Large Icons", "viewlarge", "mnuViewLargeIcons"},
                                  DropDownEntry{"List", "viewlist", "mnuViewList"},
                                  DropDownEntry{"Details", "viewdetails", "mnuViewDetails"}};
constexpr std::array kZoomEntries{
    DropDownEntry{"2:1", "zoom2", "mnuToolsZoom2"}, DropDownEntry{"3:1", "zoom3", "mnuToolsZoom3"},
    DropDownEntry{"4:1", "zoom4", "mnuToolsZoom4"}, DropDownEntry{"5:1", "zoom5", "mnuToolsZoom5"},
    DropDownEntry{"10:1", "zoom10", "mnuToolsZoom10"}};

constexpr std::array kStandard{
    ToolButtonDef{"firstpage", "First", "First Page", "mnuGoFirstPage"},
    ToolButtonDef{"prevpage", "Previous", "Previous Page", "mnuGoPrevPage"},
    ToolButtonDef{"nextpage", "Next", "Next Page", "mnuGoNextPage"},
    ToolButtonDef{"lastpage", "Last", "Last Page", "mnuGoLastPage"},
    ToolButtonDef{"abort", "Stop", "Stop", ""},
    ToolButtonDef{"open", "Open", "Open", "mnuFileOpen", kOpenEntries},
    ToolButtonDef{"save", "Save", "Save", "mnuFileSaveAs"},
    ToolButtonDef{"copy", "Copy", "Copy", "mnuEditCopy"},
    ToolButtonDef{"play", "Play", "Play Animated Icon", "mnuFilePlay"},
    ToolButtonDef{"prop", "Properties", "Properties", "mnuFileProperties"},
    ToolButtonDef{"view", "Views", "View", "", kViewEntries},
    ToolButtonDef{"zoom", "Zoom", "Zoom", "", kZoomEntries},
    ToolButtonDef{"create", "Create", "Pictoforge", "mnuToolsImport"},
    ToolButtonDef{"help", "Help", "Help", "mnuHelpTopics"},
    ToolButtonDef{"close", "Close", "Close", "mnuFileExit"},
};

constexpr std::array kYourIcons{
    ToolButtonDef{"change", "Change", "Change Icon", "mnuFileChange"},
    ToolButtonDef{"changefolder", "Change...", "Change Any Folder Icon", "mnuToolsChangeFolder"},
    ToolButtonDef{"favadd", "Add", "Add to Favorites", "mnuFavoriteAdd"},
    ToolButtonDef{"favdel", "Delete", "Delete Favorite", "mnuFavoriteDel"},
    ToolButtonDef{"favgroupadd", "Create", "Create Favorite Folder", "mnuFavoriteGroupAdd"},
    ToolButtonDef{"favgroupdel", "Remove", "Remove Favorite Folder", "mnuFavoriteGroupDel"},
    ToolButtonDef{"favedit", "Edit", "Edit Favorites with Explorer", "mnuFavoriteOrganize"},
    ToolButtonDef{"favrefresh", "Refresh", "Refresh Favorite Groups", "mnuFavoriteRefresh"},
    ToolButtonDef{"refadd", "Add", "Add Reference", "mnuRefAdd"},
    ToolButtonDef{"refdel", "Delete", "Delete Reference", "mnuRefDelete"},
    ToolButtonDef{"refedit", "Edit", "Edit Reference Keywords", "mnuRefKey"},
};

} // namespace

std::span<const MenuNode> mainMenuBar() { return kMenuBar; }
std::span<const MenuNode> mainPopUpMenus() { return kPopUps; }
std::span<const ToolButtonDef> standardButtons() { return kStandard; }
std::span<const ToolButtonDef> yourIconsButtons() { return kYourIcons; }

} // namespace glyphary
