#include "sources/OpenAndScan.h"

#include "core/FolderWalker.h"
#include "core/SettingsTable.h"
#include "sources/FileIconReader.h"
#include "sources/ScanWindow.h"
#include "sources/frmScan.h"
#include "support/GuiApplication.h"
#include "support/ItemTexts.h"
#include "support/PeBuilder.h"
#include "support/SessionFixture.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace glyphary;
using namespace Qt::StringLiterals;
using glyphary::testing::dibImage;
using glyphary::testing::texts;

namespace {

// Keeps every text the message panel showed: a page fill clears it at the end.
struct MessageHistory : glyphary::testing::FakeMainWindow {
    QStringList messages;
    void setPanelText(StatusPanel panel, const QString& value) override
    {
        if (panel == StatusPanel::Message)
            messages << value;
        FakeMainWindow::setPanelText(panel, value);
    }
};

class OpenAndScanTest : public ::testing::Test, protected glyphary::testing::SessionParts<MessageHistory>, private FileIconReaderHost {
protected:
    // A classic 766-byte icon: one result item.
    QString icon(const QString& path)
    {
        root.writeFile(path, glyphary::testing::icoFile({dibImage(4)}));
        return path;
    }
    void other(const QString& path) { root.writeFile(path, QByteArray("not an icon")); }
    QString host(const QString& path) const { return root.host(path); }
    WalkCounts walk(const QString& folder, ItemList& files, Flag abort = kFalse)
    {
        return walkFolder(context.platform.paths(), folder, FolderWalk{}, abort, files);
    }

    platform::IconFunctions icons{context.platform.paths()};
    FileIconReader reader{context.platform.paths(), icons, session.cmbResult, *this};
    OpenAndScan open{session, reader};

private:
    void showCount(const QString&) override {}
    void doEvents() override {}
};

TEST_F(OpenAndScanTest, ChosenFilesAreListedAndTheirFolderKeptAndCancelLeavesNoResults)
{
    icon(QStringLiteral("C:\\Icons\\star.ico"));
    root.dialogs().fileAnswers.push_back(platform::FileDialogResult{{QStringLiteral("C:\\Icons\\star.ico")}, 1});
    open.openByFile();
    ASSERT_EQ(root.dialogs().fileRequests.size(), 1u);
    const platform::FileDialogRequest& request = root.dialogs().fileRequests[0];
    EXPECT_EQ(request.title, QStringLiteral("Open by File"));
    EXPECT_EQ(request.flags, 0x280204);
    EXPECT_EQ(request.filter, kOpenFilter);
    EXPECT_EQ(texts(session.lstFiles), QStringList{QStringLiteral("C:\\Icons\\star.ico")});
    EXPECT_EQ(settings.readText(setting::ScanDirectory), QStringLiteral("C:\\Icons"));
    EXPECT_EQ(session.cmbResult.count(), 1);
    EXPECT_EQ(window.text(StatusPanel::Count), QStringLiteral("1 Icon(s)"));
    EXPECT_EQ(window.keywordBarEntry, -1);
    // Several files are the folder, then each name.
    const QStringList chosen{icon(QStringLiteral("C:\\Set\\a.ico")), icon(QStringLiteral("C:\\Set\\b.ico")),
                             icon(QStringLiteral("C:\\Set\\c.ico"))};
    EXPECT_EQ(dialogFileName(chosen), QStringLiteral("C:\\Set") + QChar(u'\0') + QStringLiteral("a.ico") + QChar(u'\0')
                                          + QStringLiteral("b.ico") + QChar(u'\0') + QStringLiteral("c.ico"));
    root.dialogs().fileAnswers.push_back(platform::FileDialogResult{chosen, 1});
    open.openByFile();
    EXPECT_EQ(root.dialogs().fileRequests[1].initialFolder, QStringLiteral("C:\\Icons"));
    EXPECT_EQ(texts(session.lstFiles), chosen);
    EXPECT_EQ(settings.readText(setting::ScanDirectory), QStringLiteral("C:\\Set"));
    EXPECT_EQ(session.cmbResult.count(), 3);
    open.openByFile(); // cancelled
    EXPECT_EQ(session.cmbResult.count(), 0);
    EXPECT_EQ(settings.readText(setting::ScanDirectory), QStringLiteral("C:\\Set"));
}

TEST_F(OpenAndScanTest, TheFilterKeepsTheCheckedTypesOrAllSixWhateverTheCase)
{
    const QStringList paths{QStringLiteral("a.ANI"), QStringLiteral("b.cur"), QStringLiteral("c.Dll"), QStringLiteral("d.exe"),
                            QStringLiteral("e.icl"), QStringLiteral("F.ICO"), QStringLiteral("g.png"), QStringLiteral("ico")};
    ItemList files;
    for (const QString& path : paths)
        files.add(path, 0);
    ItemList all = files;
    filterFiles(all, ScanFilter{});
    EXPECT_EQ(texts(all), paths.first(6));
    ScanFilter allWithBoxes{true, {}};
    allWithBoxes.types[static_cast<int>(IconFileType::Exe)] = true;
    EXPECT_TRUE(allWithBoxes.accepts(u"x.ani"));
    for (int type = 0; type < kIconFileTypes; ++type) {
        ScanFilter one{false, {}};
        one.types[static_cast<std::size_t>(type)] = true;
        ItemList kept = files;
        filterFiles(kept, one);
        EXPECT_EQ(texts(kept), QStringList{paths[type]}) << type;
    }
    ItemList none = files;
    filterFiles(none, ScanFilter{false, {}});
    EXPECT_EQ(none.count(), 0);
}

TEST_F(OpenAndScanTest, AScanWithAndWithoutSubfoldersCountsWhatItChecked)
{
    icon(QStringLiteral("C:\\Tree\\top.ico"));
    other(QStringLiteral("C:\\Tree\\readme.txt"));
    icon(QStringLiteral("C:\\Tree\\Sub\\deep.ico"));
    ScanRequest request{QStringLiteral("C:\\Tree"), ScanFilter{}, false};
    open.scan(request);
    EXPECT_EQ(texts(session.lstFiles), QStringList{QStringLiteral("C:\\Tree\\top.ico")});
    EXPECT_TRUE(window.messages.contains(QStringLiteral("Searching for icon libraries, please wait...")));
    EXPECT_TRUE(window.messages.contains(QStringLiteral("2 files checked, 1 files matched your filter.")));
    request.subfolders = true;
    open.scan(request);
    EXPECT_EQ(texts(session.lstFiles), (QStringList{QStringLiteral("C:\\Tree\\top.ico"), QStringLiteral("C:\\Tree\\Sub\\deep.ico")}));
    EXPECT_TRUE(window.messages.contains(QStringLiteral("3 files checked, 2 files matched your filter.")));
    EXPECT_EQ(session.cmbResult.count(), 2);
}

TEST_F(OpenAndScanTest, PathsFromOutsideWalkFoldersAndSkipWhatIsNoPath)
{
    icon(QStringLiteral("C:\\Folder\\one.ico"));
    icon(QStringLiteral("C:\\Folder\\Inner\\two.ico"));
    icon(QStringLiteral("C:\\Loose\\Three.ICO"));
    icon(QStringLiteral("C:\\Loose\\four.ico"));
    open.openPaths(QStringLiteral("C:\\Folder||.|..|\"C:\\Loose\\Three.ICO\"|C:\\Loose\\four.ico|C:\\Gone\\x.ico"), u'|');
    EXPECT_EQ(texts(session.lstFiles),
              (QStringList{QStringLiteral("C:\\Folder\\one.ico"), QStringLiteral("C:\\Folder\\Inner\\two.ico"),
                           QStringLiteral("c:\\loose\\three.ico"), QStringLiteral("c:\\loose\\four.ico")}));
    // The lower-cased paths still name their files.
    EXPECT_EQ(session.cmbResult.count(), 4);
    EXPECT_EQ(window.text(StatusPanel::Count), QStringLiteral("4 Icon(s)"));
}

TEST_F(OpenAndScanTest, TheWalkerEndsOnLinkLoopsAndSkipsWhatItCannotRead)
{
    icon(QStringLiteral("C:\\Loop\\a.ico"));
    QDir().mkpath(host(QStringLiteral("C:\\Loop\\Sub")));
    ASSERT_EQ(::symlink("..", (host(QStringLiteral("C:\\Loop\\Sub")) + QStringLiteral("/up")).toLocal8Bit().constData()), 0);
    ASSERT_EQ(::symlink("/nonexistent/target", (host(QStringLiteral("C:\\Loop")) + QStringLiteral("/dangling")).toLocal8Bit().constData()), 0);
    ItemList files;
    const WalkCounts counts = walk(u"C:\\Loop"_s, files);
    EXPECT_EQ(texts(files), QStringList{u"C:\\Loop\\a.ico"_s});
    EXPECT_EQ(counts.folders, 2);
    EXPECT_EQ(counts.files, 1);
    ItemList none;
    EXPECT_EQ(walk(u"C:\\Missing"_s, none).folders, 0);
    EXPECT_EQ(walk(u"C:\\Loop"_s, none, kTrue).files, 0); // aborted
    EXPECT_EQ(none.count(), 0);
}

TEST_F(OpenAndScanTest, AnUnreadableFolderIsSkipped)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads every folder";
    icon(QStringLiteral("C:\\Locked\\Closed\\hidden.ico"));
    icon(QStringLiteral("C:\\Locked\\open.ico"));
    QFile::setPermissions(host(QStringLiteral("C:\\Locked\\Closed")), QFileDevice::Permissions());
    ItemList files;
    walk(u"C:\\Locked"_s, files);
    QFile::setPermissions(host(QStringLiteral("C:\\Locked\\Closed")), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(texts(files), QStringList{QStringLiteral("C:\\Locked\\open.ico")});
}

TEST_F(OpenAndScanTest, TheScanWindowLoadsSavesAndRefusesAnEmptyFolder)
{
    ScanWindowState state = loadScanWindow(settings);
    EXPECT_TRUE(state.folder.isEmpty());
    EXPECT_FALSE(state.startEnabled());
    EXPECT_FALSE(state.position.has_value());
    state.all = true;
    state.types[static_cast<int>(IconFileType::Ico)] = true;
    state.subfolders = true;
    EXPECT_FALSE(state.typeBoxesEnabled());
    EXPECT_FALSE(startScan(settings, root.dialogs(), state).has_value());
    ASSERT_EQ(root.dialogs().prompts.size(), 1u);
    EXPECT_EQ(root.dialogs().prompts[0].text, QStringLiteral("Select a valid path!"));
    EXPECT_EQ(root.dialogs().prompts[0].flags, platform::MB_ICONEXCLAMATION);
    state.folder = QStringLiteral("C:\\Icons");
    const auto request = startScan(settings, root.dialogs(), state);
    ASSERT_TRUE(request.has_value());
    EXPECT_TRUE(request->subfolders);
    EXPECT_EQ(settings.readNumber(setting::ScanAll), 1);
    EXPECT_EQ(settings.readNumber(setting::ScanEXE), 0);
    EXPECT_EQ(settings.readNumber(setting::ScanICO), 1);
    saveScanWindowPosition(settings, QPoint(1500, 3000), false);
    saveScanWindowPosition(settings, QPoint(-32000, -32000), true); // closed minimised
    const ScanWindowState again = loadScanWindow(settings);
    EXPECT_EQ(again.folder, QStringLiteral("C:\\Icons"));
    EXPECT_TRUE(again.all);
    EXPECT_TRUE(again.subfolders);
    EXPECT_TRUE(again.startEnabled());
    EXPECT_EQ(again.position, QPoint(1500, 3000));
    EXPECT_EQ(twipsToPixels(*again.position, 15, 15), QPoint(100, 200));
    EXPECT_EQ(pixelsToTwips(QPoint(100, 200), 15, 0), QPoint(1500, 200));
}

TEST_F(OpenAndScanTest, TheScanWindowShowsItsControlsAndStartsTheScan)
{
    glyphary::testing::ensureGuiApplication();
    icon(QStringLiteral("C:\\Icons\\a.ico"));
    icon(QStringLiteral("C:\\Icons\\sub\\b.ico"));
    other(QStringLiteral("C:\\Icons\\c.txt"));
    frmScan scan(context, settings, open);
    EXPECT_EQ(scan.windowTitle(), QStringLiteral("Open by Folder"));
    EXPECT_TRUE(scan.isModal());
    EXPECT_EQ(scan.cmdBrowse->toolTip(), QStringLiteral("Browse for Folder to Scan"));
    const std::pair<QAbstractButton*, const char*> captions[] = {
        {scan.cmdBrowse, "Browse"}, {scan.chkALL, "All Libraries"}, {scan.chkICL, "Icon Libraries (*.icl)"},
        {scan.chkEXE, "Executables (*.exe)"}, {scan.chkDLL, "Dynamic Link Libraries (*.dll)"},
        {scan.chkANI, "Animated Icons (*.ani)"}, {scan.chkCUR, "Cursors (*.cur)"}, {scan.chkICO, "Icons (*.ico)"},
        {scan.chkScanSubDir, "Scan Subfolders"}, {scan.cmdStart, "Start"}, {scan.cmdCancel, "Cancel"}};
    for (const auto& [control, caption] : captions)
        EXPECT_EQ(control->text(), QString::fromLatin1(caption));
    EXPECT_FALSE(scan.cmdStart->isEnabled()) << "no folder yet";
    scan.chkALL->setChecked(true);
    for (QCheckBox* type : {scan.chkICL, scan.chkEXE, scan.chkDLL, scan.chkANI, scan.chkCUR, scan.chkICO})
        EXPECT_FALSE(type->isEnabled()) << type->objectName().toStdString();
    scan.chkALL->setChecked(false);
    EXPECT_TRUE(scan.chkICO->isEnabled());
    root.dialogs().folderAnswers.push_back(QStringLiteral("C:\\Icons"));
    scan.cmdBrowse->click();
    EXPECT_EQ(scan.txtDir->text(), QStringLiteral("C:\\Icons"));
    ASSERT_TRUE(scan.cmdStart->isEnabled());
    scan.chkICO->setChecked(true);
    scan.chkScanSubDir->setChecked(true);
    scan.cmdStart->click();
    EXPECT_EQ(scan.result(), QDialog::Accepted);
    EXPECT_EQ(texts(session.lstFiles), (QStringList{QStringLiteral("C:\\Icons\\a.ico"), QStringLiteral("C:\\Icons\\sub\\b.ico")}));
    EXPECT_EQ(session.cmbResult.count(), 2);
}

} // namespace
