#include "windows/Tips.h"

#include "core/Settings.h"
#include "core/SettingsTable.h"

#include <array>

namespace glyphary {

namespace {

constexpr const char* kChangeIcons = "Change Icons";
constexpr const char* kFavorites = "Favorites";
constexpr const char* kAddIcons = "Add Icons";
constexpr const char* kDoubleClick = "Double-click Action";
constexpr const char* kShell = "Shell Integration";
constexpr const char* kCreate = "Create Icons/Cursors";
constexpr const char* kKeywords = "Keywords";
constexpr const char* kResults = "Results";
constexpr const char* kClipboard = "Clipboard";

// Index 0 is tip 1.
constexpr std::array<Tip, kTipCount> kTips{{
    {kChangeIcons,
     "Glyphary can replace the icons Windows itself uses: the desktop and system icons, the icons of "
     "file types, the mouse cursors (also animated ones) and the icons of your shortcuts. You find all "
     "of them under the \"Your Icons\" branch of the tree."},
    {kChangeIcons,
     "To replace a Windows icon, open a node under \"Your Icons\", right-click the icon and choose "
     "Change. Then drag the new icon from the results onto the \"New\" box of the Change window and "
     "click Apply."},
    {kChangeIcons,
     "Any folder can get its own icon: select an icon in the results and choose Tools, Change Any "
     "Folder Icon. The catalogue's folder icons are grouped under \"Groups by Design\" in the tree."},
    {kChangeIcons,
     "Drag a shortcut (*.lnk) from your desktop onto an icon in the results to give the shortcut that "
     "icon. Drop a program or any other file instead, and Glyphary creates a new shortcut to it with "
     "that icon."},
    {kFavorites,
     "Keep the icons you like in your Favorites folder. You can create subfolders with Favorites, "
     "Create Folder to sort them by theme or project."},
    {kFavorites,
     "Drag an icon from the results onto a folder of the Favorites tree to save it there. Hold the "
     "icon over a closed folder for a moment and the folder opens, so you can reach its subfolders."},
    {kFavorites,
     "The Favorites tree can show any folder on your disk. Choose it under View, Options, on the "
     "Favorites tab."},
    {kFavorites,
     "Dragging a favorite onto another favorites folder copies it. Hold down Shift while you drag to "
     "move it instead."},
    {kFavorites,
     "Name a favorite after a keyword (for example \"printer.ico\") and it is found whenever you search "
     "for that keyword, once favorites are included in keyword searches."},
    {kFavorites,
     "A file name gives a favorite only one keyword. Add a reference to the favorite to file it under "
     "as many keywords as you like."},
    {kFavorites,
     "Found an icon that the catalogue does not know yet? Collect such icons in a favorites folder of "
     "their own and send them to us, so that the next catalogue has them."},
    {kFavorites,
     "Tick \"Also Search Favorites when Searching on Keywords\" on the Favorites tab of the Options to "
     "see your own favorites beside the catalogue's icons in every keyword search."},
    {kAddIcons,
     "Icons you opened from a file or found by a scan can be added to the catalogue's keywords: select "
     "one and choose References, Add to file it under a keyword of your choice."},
    {kAddIcons,
     "Missing a keyword? Make your own with References, Edit Custom Keywords. Your custom keywords "
     "appear in the keyword bar like the catalogue's own."},
    {kAddIcons,
     "References work for favorites too: select a favorite and choose References, Add, and it shows up "
     "in the results of that keyword from then on."},
    {kDoubleClick,
     "Decide what a double-click on an icon does on the Double Click Icon tab of the Options: copy, "
     "save, zoom or show its properties, and for animations, shortcuts, opened icons and Windows icons "
     "an action of their own."},
    {kShell,
     "Put Glyphary in the Send To menu of Windows (Options, Shell Integration tab). Then right-click any "
     "icon file or program in Explorer and send it to Glyphary to see its icons."},
    {kShell,
     "Let Glyphary open icon files and icon libraries (*.ico, *.cur, *.ani, *.icl, *.dll) when you "
     "double-click them in Explorer: tick their boxes on the Shell Integration tab of the Options."},
    {kCreate,
     "Turn any picture into an icon or a cursor with the Pictoforge (Tools, Pictoforge): choose the "
     "part of the picture you want and save it at the size and colour depth you need."},
    {kKeywords,
     "Keywords describe what an icon shows, not what it is used for. Look for \"key\" or \"lock\" "
     "rather than \"security\", and \"disk\" rather than \"save\"."},
    {kKeywords,
     "Some icons show nothing that a word could name well, such as abstract shapes or patterns. These "
     "have no specific keyword; browse their category in the tree to find them."},
    {kKeywords,
     "To see under which keywords an icon is filed, select it and choose File, Properties. Each of "
     "those keywords lists icons with similar contents."},
    {kKeywords,
     "You do not need to scroll through the keyword bar: type the keyword into it and press Enter to "
     "list its icons at once."},
    {kResults,
     "In the Details view, double-click the separator between two column headers and the column left "
     "of it takes the width of its longest entry."},
    {kResults,
     "Click a column header in the Details view to sort the icons of the page by that column; click it "
     "again to reverse the order."},
    {kResults,
     "A flashing red light in the page field of the status bar tells you that the results fill more "
     "than one page. Click the page field to jump straight to any page."},
    {kResults,
     "The results show 200 icons per page. On a slow computer, lower the number on the General tab of "
     "the Options so that each page appears sooner."},
    {kClipboard,
     "An icon copied to the clipboard has no transparency, so its transparent parts are filled with "
     "the mask colour. Choose that colour on the General tab of the Options, to match the program you "
     "paste into."},
}};

} // namespace

bool isTipNumber(int number) { return number >= kFirstTip && number <= kTipCount; }

const Tip& tipAt(int number)
{
    return kTips[static_cast<std::size_t>(isTipNumber(number) ? number - 1 : 0)];
}

QString tipTitle(int number)
{
    const int shown = isTipNumber(number) ? number : kFirstTip;
    return QStringLiteral("Tip %1. %2").arg(shown).arg(QString::fromLatin1(tipAt(shown).category));
}

QString tipText(int number) { return QString::fromLatin1(tipAt(number).text); }

int nextTip(int number) { return isTipNumber(number) && number < kTipCount ? number + 1 : kFirstTip; }

void TipState::load()
{
    const SettingValue show = settings_.ReadSetting(platform::HKEY_CURRENT_USER, QString::fromLatin1(kSettingsKey),
                                                    QString::fromLatin1(setting::Tip.name));
    showOnStartup_ = isEmpty(show) || Settings::toNumber(show) == 1;
    // A number edited by hand or left by another version must not pick a tip that is not there.
    const qint32 stored = settings_.readNumber(setting::TipNR);
    current_ = isTipNumber(stored) ? stored : kFirstTip;
}

void TipState::close(bool showOnStartup)
{
    showOnStartup_ = showOnStartup;
    const QString key = QString::fromLatin1(kSettingsKey);
    settings_.CreateSettingsKey(platform::HKEY_CURRENT_USER, key);
    settings_.WriteSetting(QStringLiteral("TipNr"), qint32(nextTip(current_)), platform::REG_DWORD);
    settings_.CreateSettingsKey(platform::HKEY_CURRENT_USER, key);
    settings_.WriteSetting(QString::fromLatin1(setting::Tip.name), qint32(showOnStartup ? 1 : 0), platform::REG_DWORD);
}

} // namespace glyphary
