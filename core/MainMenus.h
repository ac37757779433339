#pragma once
// The main window's menus, pop-up menus and tool bar buttons as tables: names, captions with their
// access keys, tool tips and drop-down entries. The window builds its actions from these.

#include <span>

namespace glyphary {

// A menu entry; name "-" is a separator. `array` marks a control array whose entries share the name
// and differ by index (their objectName is name + "_" + index).
struct MenuNode {
    const char* name;
    const char* caption;
    std::span<const MenuNode> children = {};
    bool array = false;
};

struct DropDownEntry {
    const char* caption;
    const char* key;
    const char* command; // the menu entry it runs
};

struct ToolButtonDef {
    const char* key;
    const char* caption;
    const char* toolTip;
    const char* command; // the menu entry it runs; "" when the button has its own behaviour
    std::span<const DropDownEntry> dropDown = {};
};

std::span<const MenuNode> mainMenuBar();
// mnuResultClick, mnuGoBar, mnuWhite, mnuNavFavClick.
std::span<const MenuNode> mainPopUpMenus();
std::span<const ToolButtonDef> standardButtons();
std::span<const ToolButtonDef> yourIconsButtons();

} // namespace glyphary
