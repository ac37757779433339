#include "platform/Win32Types.h"
#include "core/Selection.h"
#include "core/SelectionDispatch.h"
#include "core/TypeTexts.h"

#include <QMimeData>
#include <QUrl>
#include <gtest/gtest.h>
#include <map>
#include <string>

using namespace glyphary;

namespace {

// The rows each source shows, as the readers fill them.
const SelectedRow kCatalogue{"folder", "256 Color Icon", "Glyphary", "shell:12:01book"};
const SelectedRow kOpened{"x.ico", "16 Color Icon", "File", "C:\\Icons\\x.ico;0;x;0open"};
const SelectedRow kFavorite{"x.ico", "16 Color Icon", "File Favorite", "C:\\Fav\\Work\\x.ico;0;x;0open"};
const SelectedRow kReference{"printer", "256 Color Icon", "Reference", "C:\\Icons\\x.ico;0;x;1user"};
const SelectedRow kShortcut{"Notepad", "Shortcut Icon", "Desktop",
                            "C:\\WINDOWS\\notepad.exe;0;C:\\WINDOWS\\notepad.exe;sshor"};
const SelectedRow kAnimatedCursor{"Wait", "Animated Cursor", "File",
                                  "C:\\WINDOWS\\Cursors\\hourglas.ani;2;Control Panel\\Cursors\\Wait;gsycu"};
const SelectedRow kSystemIcon{"Folder", "System Icon", "File", "C:\\WINDOWS\\SYSTEM\\shell32.dll;3;Folder;wsysy"};
const SelectedRow kFileType{"Text Document (*.txt)", "File Type Icon", "File",
                            "C:\\WINDOWS\\notepad.exe;1;Text Document (*.txt);fsyas"};
const SelectedRow kFileAnimation{"spin.ani frame 1", "Hi-Color Animation", "File", "C:\\Icons\\spin.ani;0;frame 1;5open"};
const SelectedRow kCatalogueAnimation{"globe", "256 Color Animation", "Glyphary", "anim:3:04book"};
const SelectedRow kCurrentCursor{"Arrow", "Current Cursor", "File", "C:\\a.cur;0;Control Panel\\Cursors\\Arrow;csycu"};
const SelectedRow kThemeCursor{"Arrow", "Theme Cursor", "File", "C:\\a.cur;0;Control Panel\\Cursors\\Schemes\\X:0;tsytu"};
const SelectedRow kAnimatedIcon{"Busy", "Animated Icon", "File", "C:\\busy.ani;0;x;asytu"};
const SelectedRow kLibrary{"moricons.dll #1 of 100", "Icon Library", "File", "C:\\WINDOWS\\moricons.dll;0;#1 of 100;dopen"};

MessagePanel identityPanel(int width = 200)
{
    return {[](const QString& path) { return path; }, characterCount, width};
}

SelectionState react(const std::optional<SelectedRow>& row, SelectionContext context = {},
                     const MessagePanel& panel = identityPanel())
{
    return selectionReaction(row, context, panel);
}

QString actionFor(const SelectedRow& row, DoubleClickSettings settings)
{
    SelectionContext context;
    context.doubleClick = std::move(settings);
    return react(row, context).doubleClickAction;
}

DoubleClickSettings settingsWith(const char* action, bool play, bool references, bool run, bool change)
{
    DoubleClickSettings settings;
    settings.action = QString::fromLatin1(action);
    settings.play = play;
    settings.references = references;
    settings.run = run;
    settings.change = change;
    return settings;
}

struct EnablingCase {
    const char* name;
    SelectedRow row;
    bool play;
    std::optional<bool> run; // nullopt: Run is left as it is
    bool addReference;
    bool deleteReference;
    bool change;
    bool deleteFavorite;
};

class SelectionEnabling : public ::testing::TestWithParam<EnablingCase> {};

TEST_P(SelectionEnabling, EnablesWhatTheItemAllows)
{
    const EnablingCase& expected = GetParam();
    const SelectionState state = react(expected.row);
    ASSERT_TRUE(state.hasSelection);
    EXPECT_EQ(state.command(Command::Play), expected.play);
    EXPECT_EQ(state.command(Command::Run), expected.run);
    EXPECT_EQ(state.command(Command::AddReference), expected.addReference);
    EXPECT_EQ(state.command(Command::DeleteReference), expected.deleteReference);
    EXPECT_EQ(state.command(Command::Change), expected.change);
    EXPECT_EQ(state.command(Command::AddFavorite), true);
    EXPECT_EQ(state.command(Command::DeleteFavorite), expected.deleteFavorite);
    for (Command common : {Command::Properties, Command::Copy, Command::SaveAs, Command::EditWith, Command::Zoom})
        EXPECT_EQ(state.command(common), true);
}

INSTANTIATE_TEST_SUITE_P(
    EveryOriginAndType, SelectionEnabling,
    ::testing::Values(
        //                                 play   run           addRef delRef change delFav
        EnablingCase{"Catalogue", kCatalogue, false, std::nullopt, false, false, false, false},
        EnablingCase{"OpenedFile", kOpened, false, std::nullopt, true, false, false, false},
        EnablingCase{"Favorite", kFavorite, false, std::nullopt, true, false, false, true},
        EnablingCase{"Reference", kReference, false, std::nullopt, false, true, false, false},
        EnablingCase{"Shortcut", kShortcut, false, true, false, false, true, false},
        EnablingCase{"AnimatedCursor", kAnimatedCursor, true, std::nullopt, true, false, true, false},
        EnablingCase{"SystemIcon", kSystemIcon, false, std::nullopt, true, false, true, false},
        EnablingCase{"FileType", kFileType, false, std::nullopt, true, false, true, false},
        EnablingCase{"CatalogueAnimation", kCatalogueAnimation, true, std::nullopt, false, false, false, false},
        EnablingCase{"CurrentCursor", kCurrentCursor, false, std::nullopt, true, false, true, false},
        EnablingCase{"ThemeCursor", kThemeCursor, false, std::nullopt, true, false, false, false},
        EnablingCase{"AnimatedIcon", kAnimatedIcon, true, std::nullopt, true, false, false, false}),
    [](const ::testing::TestParamInfo<EnablingCase>& info) { return std::string(info.param.name); });

TEST(Selection, WithoutARowChangesNothingAndTheFirstAfterClearingEnablesTheCommonCommands)
{
    const SelectionState state = react(std::nullopt);
    EXPECT_FALSE(state.hasSelection);
    for (Command command : kSelectionCommands)
        EXPECT_EQ(state.command(command), std::nullopt);
    EXPECT_FALSE(state.toPageEnabled);
    EXPECT_FALSE(state.areaPicture);
    EXPECT_FALSE(state.typePicture);
    EXPECT_FALSE(state.message);
    EXPECT_TRUE(controlSettings(state).empty());
    EXPECT_EQ(state.doubleClickAction, QString()); // which runs nothing, as below
    // The first selection after clearing enables the common commands.
    SelectionContext context;
    context.pageCount = 2;
    context.folderIconsSupported = true;
    const SelectionState first = react(kCatalogue, context);
    EXPECT_EQ(first.areaPicture, picture::LedOff);
    EXPECT_EQ(first.toPageEnabled, true);
    EXPECT_EQ(first.command(Command::ChangeFolder), true);
    context.pageCount = 1;
    context.folderIconsSupported = false;
    const SelectionState single = react(kCatalogue, context);
    EXPECT_EQ(single.toPageEnabled, false);
    EXPECT_EQ(single.command(Command::ChangeFolder), std::nullopt);
    context.propertiesEnabled = true;
    const SelectionState later = react(kCatalogue, context);
    EXPECT_FALSE(later.areaPicture);
    EXPECT_FALSE(later.toPageEnabled);
    for (Command common : {Command::Properties, Command::Copy, Command::SaveAs, Command::EditWith, Command::Zoom})
        EXPECT_EQ(later.command(common), std::nullopt);
}

TEST(Selection, TagAndTypePanelFollowTheRowWithAPictureByClass)
{
    const SelectionState state = react(kShortcut);
    EXPECT_EQ(state.listTag, "Notepad");
    EXPECT_EQ(state.typeText, "Shortcut Icon");
    const SelectionState untyped = react(SelectedRow{"odd", "", "File", "C:\\x.bin;0;x;zopen"});
    EXPECT_EQ(untyped.typeText, "");
    EXPECT_FALSE(untyped.typePicture);
    // One code of each picture class, and the letters among the digits.
    const std::map<char16_t, QLatin1StringView> expected{{u'2', picture::TypeIcon}, {u'g', picture::TypeAnimation},
        {u'8', picture::TypeCursor}, {u't', picture::TypeCursor}, {u'e', picture::TypeLibrary},
        {u's', picture::TypeShortcut}, {u'f', picture::TypeFileType}, {u'w', picture::TypeSystem}};
    for (const auto& [code, key] : expected) {
        const QString type = TypeText(QChar(code));
        ASSERT_FALSE(type.isEmpty()) << char(code);
        EXPECT_EQ(react(SelectedRow{"n", type, "Glyphary", "m:1:0" + type + "book"}).typePicture, key) << char(code);
    }
}

TEST(Selection, ReferenceDialogTypesOnlyForFileItems)
{
    const std::pair<const SelectedRow*, ReferenceTypeOptions> cases[] = {
        {&kCatalogue, {}}, {&kReference, {}}, {&kShortcut, {}}, {&kSystemIcon, {}},
        {&kOpened, {0b000000001, 0}}, {&kFileAnimation, {0b000111000, 5}}, {&kAnimatedCursor, {0b000111000, 5}},
        {&kLibrary, {0b111000111, 2}}, {&kFileType, {0b000000111, 2}}, {&kCurrentCursor, {0b100000000, 8}}};
    for (const auto& [row, types] : cases)
        EXPECT_EQ(react(*row).referenceTypes, types) << row->origin.toStdString();
    EXPECT_EQ(react(SelectedRow{"c", "256 Color Cursor", "File Favorite", "C:\\c.cur;0;x;7open"}).referenceTypes,
              (ReferenceTypeOptions{0b010000000, 7}));
}

struct ControlKey {
    ControlSetting::Kind kind;
    std::string name;
    ControlSetting::Property property;
    auto operator<=>(const ControlKey&) const = default;
};

std::map<ControlKey, bool> controlsOf(const SelectionState& state)
{
    std::map<ControlKey, bool> controls;
    for (const ControlSetting& setting : controlSettings(state))
        controls[{setting.kind, setting.name, setting.property}] = setting.on;
    return controls;
}

using K = ControlSetting::Kind;
using P = ControlSetting::Property;

TEST(SelectionControls, PopupEntriesHideOrDisableAsTheirCommandDemands)
{
    SelectionContext context;
    context.pageCount = 3;
    const auto controls = controlsOf(react(kCatalogue, context));
    const auto at = [&](K kind, const char* name, P property) -> std::optional<bool> {
        const auto found = controls.find({kind, name, property});
        return found == controls.end() ? std::nullopt : std::optional<bool>(found->second);
    };
    // Hidden, not disabled.
    EXPECT_EQ(at(K::PopupEntry, "mnuResultClickAddRef", P::Visible), false);
    EXPECT_EQ(at(K::PopupEntry, "mnuResultClickPlay", P::Visible), false);
    EXPECT_EQ(at(K::PopupEntry, "mnuResultClickAddFav", P::Visible), true);
    EXPECT_EQ(at(K::PopupEntry, "mnuResultClickRun", P::Visible), std::nullopt);
    // Enabled, never hidden.
    EXPECT_EQ(at(K::PopupEntry, "mnuResultClickCopy", P::Enabled), true);
    EXPECT_EQ(at(K::PopupEntry, "mnuResultClickCopy", P::Visible), std::nullopt);
    // Menus and buttons are enabled and disabled.
    EXPECT_EQ(at(K::MenuEntry, "mnuRefAdd", P::Enabled), false);
    EXPECT_EQ(at(K::ToolbarButton, "refadd", P::Enabled), false);
    EXPECT_EQ(at(K::ToolbarButton, "favadd", P::Enabled), true);
    EXPECT_EQ(at(K::Menu, "mnuGoToPage", P::Enabled), true);
    // A shortcut shows Run without a button.
    context.propertiesEnabled = true;
    const auto shortcut = controlsOf(react(kShortcut, context));
    EXPECT_TRUE(shortcut.at({K::MenuEntry, "mnuFileRun", P::Enabled}));
    EXPECT_TRUE(shortcut.at({K::PopupEntry, "mnuResultClickRun", P::Visible}));
    EXPECT_TRUE(shortcut.at({K::ToolbarButton, "change", P::Enabled}));
    EXPECT_EQ(shortcut.count({K::PopupEntry, "mnuResultClickCopy", P::Enabled}), 0U);
}

TEST(SelectionDoubleClick, LaterStepsOverrideEarlierOnes)
{
    EXPECT_EQ(actionFor(kOpened, settingsWith("Copy", false, false, false, false)), "Copy");
    EXPECT_EQ(actionFor(kOpened, settingsWith("Prop", true, false, true, true)), "Prop");
    EXPECT_EQ(actionFor(kFileAnimation, settingsWith("None", true, false, false, false)), "Play");
    EXPECT_EQ(actionFor(kFileAnimation, settingsWith("None", true, true, false, false)), "Ref");
    EXPECT_EQ(actionFor(kCatalogueAnimation, settingsWith("Zoom", true, true, false, false)), "Play");
    EXPECT_EQ(actionFor(kCatalogueAnimation, settingsWith("Zoom", false, true, false, false)), "Zoom");
    EXPECT_EQ(actionFor(kShortcut, settingsWith("None", false, false, true, false)), "Run");
    EXPECT_EQ(actionFor(kShortcut, settingsWith("None", false, false, true, true)), "Change");
    EXPECT_EQ(actionFor(kAnimatedCursor, settingsWith("None", true, true, false, true)), "Change");
    EXPECT_EQ(actionFor(kAnimatedCursor, settingsWith("None", true, true, false, false)), "Ref");
    EXPECT_EQ(actionFor(kReference, settingsWith("Save", true, true, true, true)), "Save");
    EXPECT_EQ(actionFor(kCatalogue, settingsWith("Whatever", false, false, false, true)), "Whatever");
}

TEST(SelectionDoubleClick, RunsTheActionsCommandAndMakesItsEntryThePopupDefault)
{
    // Zoom runs the popup's own entry; the others run their menu entry.
    const std::tuple<const char*, const char*, const char*> expected[] = {
        {"Copy", "mnuEditCopy", "mnuResultClickCopy"}, {"Zoom", "mnuResultClickZoom", "mnuResultClickZoom"},
        {"Ref", "mnuRefAdd", "mnuResultClickAddRef"},  {"Prop", "mnuFileProperties", "mnuResultClickProperties"},
        {"EditWith", "mnuFileEditWith", "mnuResultClickEditWith"},
    };
    for (const auto& [action, command, entry] : expected) {
        const DoubleClickDispatch dispatch = doubleClickDispatch(QString::fromLatin1(action), "Glyphary");
        EXPECT_EQ(dispatch.command, QString::fromLatin1(command)) << action;
        EXPECT_FALSE(dispatch.message) << action;
        EXPECT_EQ(QString::fromLatin1(defaultPopupEntry(QString::fromLatin1(action))), QString::fromLatin1(entry)) << action;
    }
    for (const char* other : {"", "copy", "Delete", "none"}) {
        const DoubleClickDispatch dispatch = doubleClickDispatch(QString::fromLatin1(other), "Glyphary");
        EXPECT_TRUE(dispatch.command.isEmpty()) << other;
        EXPECT_FALSE(dispatch.message) << other;
    }
    EXPECT_EQ(defaultPopupEntry(u"None"), nullptr);
    EXPECT_EQ(defaultPopupEntry(u"Zoom2"), nullptr);
    EXPECT_EQ(defaultPopupEntry(actionFor(kShortcut, settingsWith("None", false, false, true, false))),
              std::string_view("mnuResultClickRun"));
    // None explains where to choose an action.
    const DoubleClickDispatch none = doubleClickDispatch(actionFor(kCatalogue, {}), "Glyphary");
    EXPECT_TRUE(none.command.isEmpty());
    ASSERT_TRUE(none.message);
    EXPECT_EQ(none.message->text, "You have not specified a user defined double click action.\n\n"
                                  "Select View, Options, Double Click tab to select a double click action.");
    EXPECT_EQ(none.message->title, "Glyphary");
    EXPECT_EQ(none.message->flags, platform::MB_ICONINFORMATION);
}

TEST(SelectionDispatch, AcceptsOnlyDraggedFiles)
{
    const auto withUrls = [](const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        return acceptsFileDrag(&data);
    };
    EXPECT_TRUE(withUrls({QUrl::fromLocalFile("/tmp/a.lnk"), QUrl::fromLocalFile("/tmp/b.lnk")}));
    EXPECT_FALSE(withUrls({QUrl("https://example.org/a.ico")}));
    EXPECT_FALSE(withUrls({}));
    QMimeData text;
    text.setText("C:\\a.lnk");
    EXPECT_FALSE(acceptsFileDrag(&text));
    EXPECT_FALSE(acceptsFileDrag(nullptr));
}

TEST(SelectionDispatch, ButtonsAndTheDeleteKeyRunTheirCommands)
{
    const ButtonContext context;
    // A few of the plain buttons, and keys that run nothing.
    const std::map<QString, QString> expected{{"changefolder", "mnuToolsChangeFolder"}, {"refedit", "mnuRefKey"},
        {"zoom10", "mnuToolsZoom10"}, {"abort", ""}, {"nosuchbutton", ""}};
    for (const auto& [key, command] : expected)
        EXPECT_EQ(buttonCommand(key, context), command) << key.toStdString();
    // The view and zoom buttons follow their state.
    const std::tuple<const char16_t*, ButtonContext, const char*> stateful[] = {
        {u"view", {4, 0}, "mnuViewList"}, {u"view", {4, 2}, "mnuViewDetails"}, {u"view", {4, 3}, "mnuViewLargeIcons"},
        {u"zoom", {0, 0}, "mnuToolsZoom2"}, {u"zoom", {3, 0}, "mnuToolsZoom5"}, {u"zoom", {-1, 0}, "mnuToolsZoom10"}};
    for (const auto& [key, state, command] : stateful)
        EXPECT_EQ(buttonCommand(key, state), command) << command;
    // The Delete key deletes references and favorites only.
    const std::pair<const SelectedRow*, const char*> deletes[] = {
        {&kReference, "mnuRefDelete"}, {&kFavorite, "mnuFavoriteDel"}, {&kOpened, ""}, {&kCatalogue, ""}, {&kShortcut, ""}};
    for (const auto& [row, deleteCommand] : deletes)
        EXPECT_EQ(deleteKeyCommand(kDeleteKeyCode, row->origin), deleteCommand) << row->origin.toStdString();
    EXPECT_EQ(deleteKeyCommand(45, kReference.origin), "");
}

// Wide and narrow letters, so that cutting by characters would be wrong.
int pixelWidth(QStringView text)
{
    int width = 0;
    for (QChar c : text)
        width += c == u'W' || c == u'M' ? 12 : 6;
    return width;
}

TEST(SelectionMessage, LongPathsCutTheFolderNeverTheFileName)
{
    const QString deep = "C:\\Program Files\\Very Deep\\Folder\\Of Icons\\name.ico";
    const QString longName = "C:\\Deep\\Folder\\a very long icon file name.ico";
    // "C:\ab" and the high surrogate alone would fit 18 characters.
    const QString surrogates = QString("C:\\ab") + QChar(0xD83D) + QChar(0xDE00) + "cdefgh\\name.ico";
    const struct {
        QString path;
        int width;
        QString shown;
    } cases[] = {
        {"C:\\Icons\\x.ico", 14, "C:\\Icons\\x.ico"},
        {deep, 20, "C:\\Progr...\\name.ico"},
        {deep, static_cast<int>(deep.size()) - 1, "C:\\Program Files\\Very Deep\\Folder\\Of I...\\name.ico"},
        {longName, 10, "...\\a very long icon file name.ico"},
        {longName, 0, "...\\a very long icon file name.ico"},
        {"averyveryverylongname.ico", 5, "averyveryverylongname.ico"},
        {"", 5, ""},
        {surrogates, 18, "C:\\ab...\\name.ico"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(pathForPanel(c.path, c.width, characterCount), c.shown) << c.path.toStdString() << " in " << c.width;
    // Cut by width, not by characters.
    const QString shown = pathForPanel("C:\\WWWW\\MMMM\\WWWW\\name.ico", 120, pixelWidth);
    EXPECT_EQ(shown, "C:\\WW...\\name.ico");
    EXPECT_LE(pixelWidth(shown), 120);
}

TEST(SelectionMessage, ReactionShowsTheLongPathOfFileItemsFromTheDisk)
{
    const MessagePanel panel{[](const QString& path) { return path == "c:\\icons\\x.ico" ? QString("C:\\Icons\\X.ico") : QString(); },
                             characterCount, 200};
    SelectionContext context;
    EXPECT_EQ(selectionReaction(SelectedRow{"x", "16 Color Icon", "File", "c:\\icons\\x.ico;0;x;0open"}, context, panel).message,
              "C:\\Icons\\X.ico");
    // A file that is gone shows no path.
    EXPECT_EQ(selectionReaction(SelectedRow{"y", "16 Color Icon", "File", "c:\\icons\\y.ico;0;x;0open"}, context, panel).message, "");
    // Network paths are not looked up.
    EXPECT_EQ(selectionReaction(SelectedRow{"z", "16 Color Icon", "File", "\\\\server\\share\\z.ico;0;x;0open"}, context, panel).message,
              "\\\\server\\share\\z.ico");
    // Catalogue icons leave the panel alone; an item without fields clears it.
    EXPECT_FALSE(selectionReaction(kCatalogue, context, panel).message);
    EXPECT_EQ(selectionReaction(SelectedRow{"q", "", "File", "garbage"}, context, panel).message, "");
    // Favorites too, cut to the panel's width; the long form from the disk is the Windows paths' test.
    const MessagePanel narrow{panel.longName, characterCount, 10};
    EXPECT_EQ(selectionReaction(SelectedRow{"x", "16 Color Icon", "File Favorite", "c:\\icons\\x.ico;0;x;0open"}, context,
                                narrow).message, "C...\\X.ico");
}

} // namespace
