#pragma once
// Every value the program keeps under HKEY_CURRENT_USER, with the type it is written as and its
// default. A default of "caller" means the window supplies it (design positions, widths, colours).

#include "core/Settings.h"

#include <span>

namespace glyphary {

constexpr const char* kSettingsKey = "Software\\Glyphary\\Settings";
constexpr const char* kPosKey = "Software\\Glyphary\\Pos";

enum class SettingKind {
    Text,    // written as REG_SZ
    Number,  // written as REG_DWORD
    Boolean, // written as the text "True"/"False", read as text or number
    Flag,    // reminder flag, 0 or 1 as REG_DWORD (written by the message window)
};

enum class DefaultKind { None, Text, Number, Boolean, Caller };

struct SettingDef {
    const char* key;
    const char* name;
    SettingKind kind;
    DefaultKind defaultKind;
    const char* defaultText = "";
    qint32 defaultNumber = 0;

    SettingValue defaultValue() const;
};

namespace setting {
// Preferences and flags ("Software\Glyphary\Settings").
inline constexpr SettingDef Path{kSettingsKey, "Path", SettingKind::Text, DefaultKind::None};
inline constexpr SettingDef Tip{kSettingsKey, "Tip", SettingKind::Number, DefaultKind::Number, "", 1};
inline constexpr SettingDef TipNR{kSettingsKey, "TipNR", SettingKind::Number, DefaultKind::Number, "", 1};
inline constexpr SettingDef IconsPerPage{kSettingsKey, "IconsPerPage", SettingKind::Text, DefaultKind::Number, "", 200};
inline constexpr SettingDef ViewType{kSettingsKey, "ViewType", SettingKind::Text, DefaultKind::Number, "", 0};
inline constexpr SettingDef TextLabel{kSettingsKey, "TextLabel", SettingKind::Boolean, DefaultKind::Boolean, "", 1};
inline constexpr SettingDef Statusbar{kSettingsKey, "Statusbar", SettingKind::Boolean, DefaultKind::Boolean, "", 1};
inline constexpr SettingDef Toolbar{kSettingsKey, "Toolbar", SettingKind::Boolean, DefaultKind::Boolean, "", 1};
inline constexpr SettingDef YourToolbar{kSettingsKey, "YourToolbar", SettingKind::Boolean, DefaultKind::Boolean, "", 1};
inline constexpr SettingDef Keywordbar{kSettingsKey, "Keywordbar", SettingKind::Boolean, DefaultKind::Boolean, "", 1};
inline constexpr SettingDef YourPos{kSettingsKey, "YourPos", SettingKind::Boolean, DefaultKind::Boolean, "", 1};
inline constexpr SettingDef KeywordPos{kSettingsKey, "KeywordPos", SettingKind::Boolean, DefaultKind::Boolean, "", 1};
inline constexpr SettingDef StandardToolbarWidth{kSettingsKey, "StandardToolbarWidth", SettingKind::Text, DefaultKind::Caller};
inline constexpr SettingDef YourToolbarWidth{kSettingsKey, "YourToolbarWidth", SettingKind::Text, DefaultKind::Caller};
inline constexpr SettingDef Colwidth1{kSettingsKey, "Colwidth1", SettingKind::Text, DefaultKind::Caller};
inline constexpr SettingDef Colwidth2{kSettingsKey, "Colwidth2", SettingKind::Text, DefaultKind::Caller};
inline constexpr SettingDef Colwidth3{kSettingsKey, "Colwidth3", SettingKind::Text, DefaultKind::Caller};
inline constexpr SettingDef BackColor{kSettingsKey, "BackColor", SettingKind::Text, DefaultKind::Caller};
inline constexpr SettingDef HotTracking{kSettingsKey, "HotTracking", SettingKind::Boolean, DefaultKind::Boolean, "", 0};
inline constexpr SettingDef UseMask{kSettingsKey, "UseMask", SettingKind::Boolean, DefaultKind::Boolean, "", 0};
inline constexpr SettingDef MaskColor{kSettingsKey, "MaskColor", SettingKind::Text, DefaultKind::Caller};
inline constexpr SettingDef FavDir{kSettingsKey, "FavDir", SettingKind::Text, DefaultKind::Caller};
inline constexpr SettingDef SearchFav{kSettingsKey, "SearchFav", SettingKind::Boolean, DefaultKind::Boolean, "", 0};
inline constexpr SettingDef DCAction{kSettingsKey, "DCAction", SettingKind::Text, DefaultKind::Text, "None"};
inline constexpr SettingDef DCZoom{kSettingsKey, "DCZoom", SettingKind::Number, DefaultKind::Number, "", 4};
inline constexpr SettingDef DCPlay{kSettingsKey, "DCPLay", SettingKind::Boolean, DefaultKind::Boolean, "", 0};
inline constexpr SettingDef DCRef{kSettingsKey, "DCRef", SettingKind::Boolean, DefaultKind::Boolean, "", 0};
inline constexpr SettingDef DCRun{kSettingsKey, "DCRun", SettingKind::Boolean, DefaultKind::Boolean, "", 0};
inline constexpr SettingDef DCChange{kSettingsKey, "DCChange", SettingKind::Boolean, DefaultKind::Boolean, "", 0};
inline constexpr SettingDef ExtEditFile{kSettingsKey, "ExtEditFile", SettingKind::Text, DefaultKind::None};
inline constexpr SettingDef ExtEditFolder{kSettingsKey, "ExtEditFolder", SettingKind::Text, DefaultKind::None};
inline constexpr SettingDef AsoICO{kSettingsKey, "AsoICO", SettingKind::Text, DefaultKind::Caller};
inline constexpr SettingDef AsoCUR{kSettingsKey, "AsoCUR", SettingKind::Text, DefaultKind::Caller};
inline constexpr SettingDef AsoANI{kSettingsKey, "AsoANI", SettingKind::Text, DefaultKind::Caller};
inline constexpr SettingDef AsoDLL{kSettingsKey, "AsoDLL", SettingKind::Text, DefaultKind::Caller};
inline constexpr SettingDef AsoICL{kSettingsKey, "AsoICL", SettingKind::Text, DefaultKind::Caller};
inline constexpr SettingDef ScanDirectory{kSettingsKey, "ScanDirectory", SettingKind::Text, DefaultKind::Text, ""};
inline constexpr SettingDef ScanAll{kSettingsKey, "ScanAll", SettingKind::Number, DefaultKind::Number, "", 0};
inline constexpr SettingDef ScanICO{kSettingsKey, "ScanICO", SettingKind::Number, DefaultKind::Number, "", 0};
inline constexpr SettingDef ScanCUR{kSettingsKey, "ScanCUR", SettingKind::Number, DefaultKind::Number, "", 0};
inline constexpr SettingDef ScanANI{kSettingsKey, "ScanANI", SettingKind::Number, DefaultKind::Number, "", 0};
inline constexpr SettingDef ScanEXE{kSettingsKey, "ScanEXE", SettingKind::Number, DefaultKind::Number, "", 0};
inline constexpr SettingDef ScanDLL{kSettingsKey, "ScanDLL", SettingKind::Number, DefaultKind::Number, "", 0};
inline constexpr SettingDef ScanICL{kSettingsKey, "ScanICL", SettingKind::Number, DefaultKind::Number, "", 0};
inline constexpr SettingDef ScanSubDir{kSettingsKey, "ScanSubDir", SettingKind::Boolean, DefaultKind::Caller};
inline constexpr SettingDef ImportDirectory{kSettingsKey, "ImportDirectory", SettingKind::Text, DefaultKind::Text, ""};
inline constexpr SettingDef SysCache{kSettingsKey, "SysCache", SettingKind::Flag, DefaultKind::Number, "", 0};
inline constexpr SettingDef ShortcutCache{kSettingsKey, "ShortcutCache", SettingKind::Flag, DefaultKind::Number, "", 0};
inline constexpr SettingDef FolderCache{kSettingsKey, "FolderCache", SettingKind::Flag, DefaultKind::Number, "", 0};
inline constexpr SettingDef SysCursorRestart{kSettingsKey, "SysCursorRestart", SettingKind::Flag, DefaultKind::Number, "", 0};
inline constexpr SettingDef SysFileTypeRestart{kSettingsKey, "SysFileTypeRestart", SettingKind::Flag, DefaultKind::Number, "", 0};
inline constexpr SettingDef NoCursorChange{kSettingsKey, "NoCursorChange", SettingKind::Flag, DefaultKind::Number, "", 0};
inline constexpr SettingDef OrganizeFav{kSettingsKey, "OrganizeFav", SettingKind::Flag, DefaultKind::Number, "", 0};
inline constexpr SettingDef ExtEditMessage{kSettingsKey, "ExtEditMessage", SettingKind::Flag, DefaultKind::Number, "", 0};
inline constexpr SettingDef GlypharyLight{kSettingsKey, "GlypharyLight", SettingKind::Flag, DefaultKind::Number, "", 0};

// Window positions ("Software\Glyphary\Pos"); the main window's are written as numbers.
inline constexpr SettingDef MainTop{kPosKey, "MainTop", SettingKind::Number, DefaultKind::Caller};
inline constexpr SettingDef MainLeft{kPosKey, "MainLeft", SettingKind::Number, DefaultKind::Caller};
inline constexpr SettingDef MainWidth{kPosKey, "MainWidth", SettingKind::Number, DefaultKind::Caller};
inline constexpr SettingDef MainHeight{kPosKey, "MainHeight", SettingKind::Number, DefaultKind::Caller};
inline constexpr SettingDef MainState{kPosKey, "MainState", SettingKind::Number, DefaultKind::Number, "", 0};
inline constexpr SettingDef Splitter{kPosKey, "Splitter", SettingKind::Text, DefaultKind::Caller};
inline constexpr SettingDef KeyTop{kPosKey, "KeyTop", SettingKind::Number, DefaultKind::Caller};
inline constexpr SettingDef KeyLeft{kPosKey, "KeyLeft", SettingKind::Number, DefaultKind::Caller};
inline constexpr SettingDef AddTop{kPosKey, "AddTop", SettingKind::Number, DefaultKind::Caller};
inline constexpr SettingDef AddLeft{kPosKey, "AddLeft", SettingKind::Number, DefaultKind::Caller};
inline constexpr SettingDef AniTop{kPosKey, "AniTop", SettingKind::Number, DefaultKind::Caller};
inline constexpr SettingDef AniLeft{kPosKey, "AniLeft", SettingKind::Number, DefaultKind::Caller};
inline constexpr SettingDef ZoomTop{kPosKey, "ZoomTop", SettingKind::Number, DefaultKind::Caller};
inline constexpr SettingDef ZoomLeft{kPosKey, "ZoomLeft", SettingKind::Number, DefaultKind::Caller};
inline constexpr SettingDef ImportTop{kPosKey, "ImportTop", SettingKind::Number, DefaultKind::Caller};
inline constexpr SettingDef ImportLeft{kPosKey, "ImportLeft", SettingKind::Number, DefaultKind::Caller};
inline constexpr SettingDef ChangeTop{kPosKey, "ChangeTop", SettingKind::Number, DefaultKind::Caller};
inline constexpr SettingDef ChangeLeft{kPosKey, "ChangeLeft", SettingKind::Number, DefaultKind::Caller};
inline constexpr SettingDef MessageTop{kPosKey, "MessageTop", SettingKind::Number, DefaultKind::Caller};
inline constexpr SettingDef MessageLeft{kPosKey, "MessageLeft", SettingKind::Number, DefaultKind::Caller};
inline constexpr SettingDef ScanTop{kPosKey, "ScanTop", SettingKind::Number, DefaultKind::Caller};
inline constexpr SettingDef ScanLeft{kPosKey, "ScanLeft", SettingKind::Number, DefaultKind::Caller};
} // namespace setting

// The whole table, for checks that cover every value.
std::span<const SettingDef* const> allSettings();

} // namespace glyphary
