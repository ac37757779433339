// Apply of the Options window: the file associations by the table, Send To and the desktop icon,
// every setting written, pages and the favorites tree, and the load that reads them back.

#include "options/FileAssociations.h"
#include "options/OptionsApply.h"
#include "OptionsFixture.h"
#include "platform/ShortcutFile.h"

#include <QFile>

using namespace glyphary;
using namespace glyphary::platform;
using namespace Qt::StringLiterals;
using glyphary::testing::kProgramFolder;
using glyphary::testing::OptionsFixture;

namespace {

const QString kCommand = QStringLiteral("\"C:\\Program Files\\Glyphary\\Glyphary.exe\" \"%1\"");
const QString kProgramIcon = kProgramFolder + QStringLiteral("glyphary.exe,0");

class OptionsApplyTest : public OptionsFixture {
protected:
    void applyWith(options::Association which, bool checked)
    {
        controller().load();
        controller().values.association(which) = checked;
        controller().apply();
    }
    // The default values of keys under HKEY_CLASSES_ROOT as the registry reads them back.
    void expectClasses(std::initializer_list<std::pair<const char*, QString>> defaults)
    {
        for (const auto& [key, expected] : defaults)
            EXPECT_EQ(classes(key), expected) << key;
    }
};

class OptionsApplyNtTest : public OptionsFixture {
protected:
    OptionsApplyNtTest() : OptionsFixture(QStringLiteral("NT4")) {}
};

TEST_F(OptionsApplyTest, CheckedAssociationsWriteTheWholeClassAndUncheckedOnesOnlyItsIcon)
{
    applyWith(options::Association::ICO, true);
    EXPECT_EQ(classes("icofile", "EditFlags"), u"0000"_s);
    expectClasses({{".ico", u"icofile"_s}, {"icofile", u"Icon File"_s}, {"icofile\\DefaultIcon", u"%1"_s},
                   {"icofile\\Shell", QString()}, {"icofile\\Shell\\Open", QString()},
                   {"icofile\\Shell\\Open\\command", kCommand}});
    EXPECT_EQ(stored("AsoICO"), u"True"_s);
    applyWith(options::Association::ICO, false);
    expectClasses({{".ico", u"icofile"_s}, {"icofile\\DefaultIcon", u"%1"_s}, {"icofile\\Shell", u"<no key>"_s}});
    EXPECT_EQ(stored("AsoICO"), u"False"_s);
    applyWith(options::Association::DLL, true);
    expectClasses({{".dll", u"dllfile"_s}, {"dllfile", u"<none>"_s}, {"dllfile\\DefaultIcon", kProgramIcon},
                   {"dllfile\\Shell\\Open\\command", kCommand}});
    applyWith(options::Association::DLL, false);
    // Only the icon goes back.
    expectClasses({{"dllfile\\DefaultIcon", u"C:\\WINDOWS\\SYSTEM\\shell32.dll,-154"_s},
                   {"dllfile\\Shell\\Open\\command", kCommand}});
    applyWith(options::Association::ICL, true);
    expectClasses({{".icl", u"iclfile"_s}, {"iclfile", u"Icon Library"_s}, {"iclfile\\DefaultIcon", kProgramIcon},
                   {"iclfile\\Shell\\Open\\command", kCommand}});
}

TEST_F(OptionsApplyTest, AnUncheckedBoxWritesItsIconWhetherOrNotItWasCheckedAndACheckReplacesTheClass)
{
    for (const auto& def : options::kAssociations) {
        if (def.which == options::Association::DLL)
            continue;
        applyWith(def.which, false);
        const std::string icon = std::string(def.classKey) + "\\DefaultIcon";
        EXPECT_EQ(classes(icon.c_str()), QStringLiteral("%1")) << def.extension;
        EXPECT_EQ(classes(def.extension), QStringLiteral("<no key>")) << def.extension;
    }
    // A check deletes the class first; a key that was someone else's is rewritten as ours.
    registry().setValue(HKEY_CLASSES_ROOT, "anifile\\Shell\\Play\\command", "", REG_SZ, regString("player %1"));
    registry().setValue(HKEY_CLASSES_ROOT, ".ani", "Content Type", REG_SZ, regString("x"));
    applyWith(options::Association::ANI, true);
    EXPECT_EQ(classes(".ani", "Content Type"), u"<none>"_s);
    expectClasses({{"anifile\\Shell\\Play\\command", u"<no key>"_s}, {"anifile", u"Animated Cursor"_s}});
    applyWith(options::Association::CUR, true);
    expectClasses({{"curfile", u"Cursor File"_s}, {"curfile\\DefaultIcon", u"%1"_s}});
}

TEST_F(OptionsApplyNtTest, OnNtTheClassIsRewrittenInPlaceAndUncheckingStillRemovesTheOpenCommand)
{
    controller().load();
    controller().values.association(options::Association::ICO) = true;
    controller().apply();
    controller().apply(); // NT refuses to delete the class with subkeys: rewritten in place
    EXPECT_EQ(classes(".ico"), QStringLiteral("icofile"));
    EXPECT_EQ(classes("icofile\\Shell\\Open\\command"), kCommand);
    controller().values.association(options::Association::ICO) = false;
    controller().apply();
    EXPECT_EQ(classes("icofile\\Shell"), QStringLiteral("<no key>"));
    EXPECT_EQ(classes("icofile\\DefaultIcon"), QStringLiteral("%1"));
}

TEST_F(OptionsApplyTest, ARegistryThatCannotBeWrittenIsReportedOnceAndTheSettingsStillLand)
{
    controller().load();
    QFile hive(root.rootPath() + QStringLiteral("/system.reg"));
    ASSERT_TRUE(hive.open(QIODevice::ReadWrite | QIODevice::Append));
    hive.write("\n[Software\\\\Broken] 0\n\"cut=\n");
    hive.seek(0);
    const QByteArray garbled = hive.readAll();
    hive.close();
    controller().values.associations.fill(true);
    controller().apply();
    EXPECT_EQ(promptsWith(options::kAssociationsFailedText), 1);
    EXPECT_LE(dialogs().prompts.size(), 2u); // and at most the registry's own word on the file
    EXPECT_EQ(stored("AsoDLL"), QStringLiteral("True"));
    ASSERT_TRUE(hive.open(QIODevice::ReadOnly));
    EXPECT_EQ(hive.readAll(), garbled);
}

TEST_F(OptionsApplyTest, SendToAndDesktopShortcutsPointAtTheProgram)
{
    const QString program = kProgramFolder + QStringLiteral("Glyphary.exe");
    const QString sendTo = QStringLiteral("C:\\WINDOWS\\Sendto\\Glyphary.lnk");
    controller().load();
    EXPECT_FALSE(controller().values.sendTo);
    controller().values.sendTo = true;
    controller().apply();
    const auto expectProgram = [&](const QString& lnk) {
        const auto link = readShortcut(root.platform().paths(), lnk);
        ASSERT_TRUE(link) << lnk.toStdString();
        EXPECT_EQ(link->ExeFile, program);
        EXPECT_EQ(link->IconFile, program);
    };
    expectProgram(sendTo);
    controller().load();
    EXPECT_TRUE(controller().values.sendTo);
    controller().values.sendTo = false;
    controller().apply();
    EXPECT_FALSE(QFile::exists(root.host(sendTo)));
    controller().apply(); // a missing shortcut is no error
    EXPECT_TRUE(dialogs().prompts.empty());
    ASSERT_TRUE(controller().addDesktopIcon());
    expectProgram(u"C:\\WINDOWS\\Desktop\\Glyphary.lnk"_s);
}

TEST_F(OptionsApplyTest, ApplyWritesEverySettingAndTheSessionSeesItAtOnce)
{
    controller().load();
    options::OptionsValues& v = controller().values;
    v.associations = {true, false, true, false, true};
    v.action = QStringLiteral("Zoom");
    v.zoomLevel = 1;
    v.playFirst = true;
    v.referenceFirst = false;
    v.runFirst = true;
    v.changeFirst = true;
    v.searchFavorites = true;
    v.useMask = true;
    v.maskColor = 0x00336699;
    v.noRestartReminders = true;
    v.noRebuildReminders = false;
    v.editorFolder = QStringLiteral("C:\\Tools\\");
    v.editorFile = QStringLiteral("edit.exe");
    controller().apply();
    const std::pair<const char*, const char*> expected[] = {
        {"AsoANI", "True"}, {"AsoCUR", "False"}, {"AsoDLL", "True"}, {"AsoICL", "False"}, {"AsoICO", "True"},
        {"DCAction", "Zoom"}, {"DCZoom", "1"}, {"DCPLay", "True"}, {"DCRef", "False"}, {"DCRun", "True"},
        {"DCChange", "True"}, {"SearchFav", "True"}, {"UseMask", "True"}, {"MaskColor", "3368601"},
        {"SysCursorRestart", "1"}, {"SysFileTypeRestart", "1"}, {"SysCache", "0"}, {"ShortcutCache", "0"},
        {"FolderCache", "0"}, {"ExtEditFile", "edit.exe"}, {"ExtEditFolder", "C:\\Tools\\"},
    };
    for (const auto& [name, value] : expected)
        EXPECT_EQ(stored(name), QLatin1StringView(value)) << name;
    EXPECT_TRUE(std::holds_alternative<qint32>(settings.read(setting::DCZoom)));
    EXPECT_TRUE(std::holds_alternative<qint32>(settings.read(setting::SysCache)));
    const MainWindowSettings& loaded = session.loaded();
    EXPECT_EQ(loaded.doubleClickAction, u"Zoom"_s);
    EXPECT_EQ(loaded.doubleClickZoom, 1);
    EXPECT_TRUE(loaded.doubleClickRun);
    EXPECT_TRUE(loaded.useMask);
    EXPECT_EQ(loaded.maskColor, QColor(0x99, 0x66, 0x33));
    EXPECT_TRUE(settings.noticeWanted(QStringLiteral("SysCache")));
    EXPECT_FALSE(settings.noticeWanted(QStringLiteral("SysCursorRestart")));
}

TEST_F(OptionsApplyTest, LoadingSetsEveryValueFromTheStoredSettings)
{
    const std::pair<const SettingDef*, SettingValue> storedBefore[] = {
        {&setting::AsoCUR, u"True"_s}, {&setting::AsoICL, qint32(1)}, {&setting::DCAction, u"Copy"_s},
        {&setting::DCZoom, qint32(2)}, {&setting::DCPlay, u"True"_s}, {&setting::DCRef, u"True"_s},
        {&setting::DCChange, qint32(-1)}, {&setting::SearchFav, u"True"_s}, {&setting::UseMask, u"True"_s},
        {&setting::MaskColor, u"-2147483636"_s}, // 0x8000000C, Application Workspace
        {&setting::ExtEditFolder, u"C:\\Tools\\"_s}, {&setting::ExtEditFile, u"edit.exe"_s},
        {&setting::FavDir, u"D:\\Mine"_s}};
    for (const auto& [def, value] : storedBefore)
        store(*def, value);
    for (const SettingDef* flag : {&setting::SysCache, &setting::ShortcutCache, &setting::FolderCache,
                                   &setting::SysCursorRestart})
        store(*flag, qint32(1));
    window.shown.hotTracking = true;
    session.loadSettings(MainWindowDesign{});
    controller().load();
    const options::OptionsValues& v = controller().values;
    EXPECT_EQ(v.iconsPerPage, QStringLiteral("200"));
    EXPECT_TRUE(v.hotTracking);
    EXPECT_TRUE(v.noRebuildReminders);
    EXPECT_FALSE(v.noRestartReminders); // one of the two still reminds
    EXPECT_TRUE(v.useMask);
    EXPECT_EQ(v.systemColorEntry, 6);
    EXPECT_EQ(controller().maskSample(), QColor(0x80, 0x80, 0x80));
    EXPECT_EQ(v.associations, (std::array<bool, 5>{false, true, false, true, false}));
    EXPECT_EQ(v.action, QStringLiteral("Copy"));
    EXPECT_EQ(v.zoomLevel, 2);
    const std::array<bool, 5> firsts{v.playFirst, v.referenceFirst, v.runFirst, v.changeFirst, v.searchFavorites};
    EXPECT_EQ(firsts, (std::array<bool, 5>{true, true, false, true, true})); // play, reference, run, change, search

    EXPECT_EQ(controller().editorText(), QStringLiteral("C:\\Tools\\edit.exe"));
    EXPECT_EQ(v.favoritesFolder, QStringLiteral("D:\\Mine"));
    // An empty registry gives the defaults; a zoom level out of range is 10:1.
    store(setting::DCZoom, qint32(9));
    session.loadSettings(MainWindowDesign{});
    controller().load();
    EXPECT_EQ(controller().values.zoomLevel, 4);
}

TEST_F(OptionsApplyTest, ANewFavoritesFolderRebuildsTheTreeAndAnUnchangedOneDoesNot)
{
    controller().load();
    controller().apply();
    controller().apply();
    EXPECT_EQ(navigation.builds, 0);
    controller().defaultFavorites();
    EXPECT_EQ(controller().values.favoritesFolder, kProgramFolder + QStringLiteral("Favorites"));
    dialogs().folderAnswers.push_back(QStringLiteral("D:\\Icons\\Mine"));
    controller().browseFavorites();
    ASSERT_EQ(dialogs().prompts.back().kind, QStringLiteral("browseForFolder"));
    EXPECT_EQ(dialogs().prompts.back().text,
              QStringLiteral("Select a valid Folder. Do not select system objects like Printers, Control Panel etc."));
    dialogs().folderAnswers.push_back(std::nullopt);
    controller().browseFavorites();
    EXPECT_EQ(controller().values.favoritesFolder, QStringLiteral("D:\\Icons\\Mine"));
    controller().apply();
    EXPECT_EQ(navigation.builds, 1);
    EXPECT_EQ(navigation.favorites.back(), QStringLiteral("D:\\Icons\\Mine"));
    EXPECT_EQ(stored("FavDir"), QStringLiteral("D:\\Icons\\Mine"));
    EXPECT_EQ(session.loaded().favoritesRoot, QStringLiteral("D:\\Icons\\Mine"));
}

TEST_F(OptionsApplyTest, AnotherPageSizeRepaginatesAndHotTrackingReachesTheList)
{
    for (int i = 0; i < 250; ++i)
        session.cmbResult.add(QStringLiteral("x%1").arg(i), i);
    session.pages().startListing();
    ASSERT_EQ(session.pages().pageCount(), 2);
    controller().load();
    controller().values.iconsPerPage = QStringLiteral("100");
    controller().values.hotTracking = true;
    controller().apply();
    EXPECT_EQ(session.pages().pageCount(), 3);
    EXPECT_EQ(window.toPageEntries, 3);
    EXPECT_EQ(stored("IconsPerPage"), QStringLiteral("100"));
    EXPECT_TRUE(window.shown.hotTracking);
    // Not a number: the page size stays.
    controller().values.iconsPerPage = QStringLiteral("lots");
    controller().apply();
    EXPECT_EQ(session.pages().iconsPerPage(), 200);
}

TEST_F(OptionsApplyTest, MaskColoursStoreTheSystemFormOrTheColourItself)
{
    EXPECT_EQ(options::systemColorTexts().size(), 10);
    EXPECT_EQ(options::systemColorTexts().at(9), QStringLiteral("Info Background"));
    window.shown.backColor = QColor(1, 2, 3);
    controller().load();
    controller().chooseSystemColor(1);
    EXPECT_EQ(static_cast<quint32>(controller().values.maskColor), 0x80000001u);
    EXPECT_TRUE(controller().values.useMask);
    EXPECT_EQ(controller().maskSample(), QColor(0, 0x80, 0x80));
    controller().apply();
    EXPECT_EQ(stored("MaskColor"), QStringLiteral("-2147483647"));
    controller().load();
    EXPECT_EQ(controller().values.systemColorEntry, 1);
    dialogs().colorAnswers.push_back(QColor(0x10, 0x20, 0x30));
    controller().chooseCustomColor();
    EXPECT_EQ(controller().values.systemColorEntry, 0);
    EXPECT_EQ(controller().values.maskColor, 0x302010);
    dialogs().colorAnswers.push_back(std::nullopt); // cancelled: the colour stays
    controller().chooseCustomColor();
    EXPECT_EQ(controller().values.maskColor, 0x302010);
    controller().useBackground(true);
    EXPECT_FALSE(controller().values.useMask);
    EXPECT_EQ(controller().maskSample(), QColor(1, 2, 3));
    controller().chooseSystemColor(0);
    EXPECT_EQ(controller().values.systemColorEntry, 0);
    EXPECT_EQ(controller().maskSample(), QColor(1, 2, 3));
}

TEST_F(OptionsApplyTest, EditWithNeedsAUsableEditor)
{
    const int question = MB_YESNO | MB_ICONEXCLAMATION;
    controller().load();
    controller().values.editorFolder = QStringLiteral("C:\\Nowhere\\");
    controller().values.editorFile = QStringLiteral("gone.exe");
    dialogs().messageBoxAnswers.push_back(IDNO);
    controller().chooseAction(QStringLiteral("EditWith"));
    ASSERT_EQ(dialogs().prompts.size(), 1u);
    EXPECT_EQ(dialogs().prompts[0].title, QStringLiteral("Browse for External Icon Editor"));
    EXPECT_EQ(dialogs().prompts[0].text, QStringLiteral("The current selected External Icon Editor is not valid.\r\n"
                                                        "Do you want to select another External Icon Editor?"));
    EXPECT_EQ(dialogs().prompts[0].flags, question);
    EXPECT_EQ(controller().values.action, QStringLiteral("None"));
    EXPECT_EQ(controller().editorText(), QString());
    // Yes browses; a cancelled browse is a No.
    dialogs().messageBoxAnswers.push_back(IDYES);
    dialogs().fileAnswers.push_back(std::nullopt);
    controller().chooseAction(QStringLiteral("EditWith"));
    EXPECT_EQ(controller().values.action, QStringLiteral("None"));
    ASSERT_FALSE(dialogs().fileRequests.empty());
    EXPECT_EQ(dialogs().fileRequests.back().title, QStringLiteral("Select External Icon Editor"));
    EXPECT_EQ(dialogs().fileRequests.back().filter, QStringLiteral("Applications (*.exe)|*.exe"));
    EXPECT_EQ(dialogs().fileRequests.back().defaultExtension, QStringLiteral("exe"));
    // Yes, a missing file asks again, then a real one; the reminder follows once.
    root.writeFile(QStringLiteral("C:\\Tools\\paint.exe"), QByteArray("MZ"));
    dialogs().messageBoxAnswers.insert(dialogs().messageBoxAnswers.end(), {IDYES, IDYES});
    dialogs().fileAnswers.push_back(FileDialogResult{{QStringLiteral("C:\\Tools\\none.exe")}, 1});
    dialogs().fileAnswers.push_back(FileDialogResult{{QStringLiteral("C:\\Tools\\paint.exe")}, 1});
    const std::size_t before = dialogs().prompts.size();
    controller().chooseAction(QStringLiteral("EditWith"));
    EXPECT_EQ(controller().values.action, QStringLiteral("EditWith"));
    EXPECT_EQ(controller().values.editorFolder, QStringLiteral("C:\\Tools\\"));
    EXPECT_EQ(controller().values.editorFile, QStringLiteral("paint.exe"));
    EXPECT_EQ(promptsWith(options::kEditorQuestion), 4);
    EXPECT_EQ(dialogs().prompts.size() - before, 4u); // two questions, two browses; no reminder here
    dialogs().fileAnswers.push_back(FileDialogResult{{QStringLiteral("C:\\Tools\\paint.exe")}, 1});
    controller().browseEditor();
    ASSERT_EQ(dialogs().messages.size(), 1u);
    EXPECT_EQ(dialogs().messages[0].title, QStringLiteral("Edit With External Editor"));
    EXPECT_EQ(dialogs().messages[0].flagName, QStringLiteral("ExtEditMessage"));
    EXPECT_EQ(dialogs().messages[0].secondButton, QString());
    EXPECT_EQ(dialogs().messages[0].text,
              QStringLiteral("Some Icon Editors do not support Hi-color icons or even 256 Color Icons. This may cause "
                             "errors while opening these Icon types with the selected Icon Editor."));
    store(setting::ExtEditMessage, qint32(1));
    dialogs().fileAnswers.push_back(FileDialogResult{{QStringLiteral("C:\\Tools\\paint.exe")}, 1});
    controller().browseEditor();
    EXPECT_EQ(dialogs().messages.size(), 1u);
    controller().chooseZoom(3);
    EXPECT_EQ(controller().values.action, QStringLiteral("Zoom"));
    EXPECT_EQ(controller().values.zoomLevel, 3);
}

} // namespace
