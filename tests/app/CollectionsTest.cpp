// The user's collections in a whole session (catalogue, readers, export and results installed):
// the keyword search's order, favorites folders and their commands, references and custom
// keywords through frmAdd and frmKey (their files' save and load are the catalogue's tests).
#include "catalogue/CatalogueFiles.h"
#include "catalogue/Install.h"
#include "core/MainSession.h"
#include "core/SettingsTable.h"
#include "export/Install.h"
#include "platform/IconFunctions.h"
#include "platform/ProgramLauncher.h"
#include "platform/Win32Types.h"
#include "results/Install.h"
#include "results/frmAdd.h"
#include "results/frmKey.h"
#include "sources/FileIconReader.h"
#include "sources/Install.h"
#include "support/FakeMainWindow.h"
#include "support/GuiApplication.h"
#include "support/IconBytes.h"
#include "support/ItemTexts.h"
#include "support/TempRoot.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

using namespace glyphary;
using namespace glyphary::testing;

namespace {

const QString kProgram = QStringLiteral("C:\\Glyphary\\");
const QString kFav = QStringLiteral("C:\\Fav");
// Keyword numbers: 0 star, 1 moon. References 0 to 2.
const QByteArray kIndex = "star;abc:1:01;abc:2:02\r\nmoon;def:1:01\r\n";
const QByteArray kReferences = "star;C:\\r1.ico;0;x;1user\r\nstar;C:\\r2.ico;0;x;2user\r\nmoon;C:\\r3.ico;0;x;1user\r\n";

QString fav(const char* below) { return kFav + u'\\' + QLatin1StringView(below); }

struct Reader : FileIconReaderHost {
    explicit Reader(const platform::WindowsPaths& p) : paths(p), icons(p) {}
    void showCount(const QString&) override {}
    void doEvents() override {}
    const platform::WindowsPaths& paths;
    platform::IconFunctions icons;
};

struct DesktopLauncher : platform::ProgramLauncher {
    explicit DesktopLauncher(QStringList* o) : opened(o) {}
    bool start(const QString&, const QStringList&, const QStringList&) override { return true; }
    bool openWithDesktop(const QString& hostPath) override { opened->append(hostPath); return true; }
    QString findProgram(const QString&) const override { return {}; }
    QStringList* opened;
};

class CollectionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ensureGuiApplication();
        settings.write(setting::FavDir, kFav);
        settings.write(setting::SearchFav, QStringLiteral("True"));
    }

    void start(const QByteArray& customKeywords = {})
    {
        context.ProgramFolder = kProgram;
        root.writeFile(kProgram + QStringLiteral("Icondata.dat"), kIndex);
        root.writeFile(kProgram + QStringLiteral("Iconuser.dat"), kReferences);
        if (!customKeywords.isNull())
            root.writeFile(kProgram + QStringLiteral("Keyuser.dat"), customKeywords);
        LoadCatalogue(context);
        session = std::make_unique<MainSession>(context, settings, window);
        sources::install(*session);
        session->setFileIconLister([this](const QString& file, ItemList& results) {
            FileIconReader(reader.paths, reader.icons, results, reader).ReadFileIcons(file);
        });
        collections = &results::install(*session);
        collections->favorites.setLauncher(std::make_unique<DesktopLauncher>(&opened));
        catalogue::install(*session);
        exporting::install(*session);
        session->loadSettings(MainWindowDesign{});
        session->rebuildNavigationTree();
    }

    void writeIcon(const QString& windowsPath)
    {
        root.writeFile(windowsPath, test::iconFile(1, {{32, 32, 2, 1, 1, test::monochromeDib(32, 32)}}));
    }
    bool exists(const QString& windowsPath) const { return QFileInfo::exists(root.host(windowsPath)); }
    void dir(const char* below) { QDir().mkpath(root.host(fav(below))); }
    QStringList favFolders() const { return QDir(root.host(kFav)).entryList(QDir::Dirs | QDir::NoDotAndDotDot); }
    Navigation& navigation() { return *session->navigation(); }
    ScriptedDialogs& dialogs() { return root.dialogs(); }
    const Prompt& lastPrompt() { return dialogs().prompts.back(); }
    void click(const QString& key)
    {
        navigation().click(key);
        ASSERT_TRUE(window.commandEnabled(Command::FavoriteGroupAdd)) << key.toStdString();
    }
    void addFolder(const char* name)
    {
        dialogs().inputAnswers.push_back(QString::fromLatin1(name));
        session->run(Command::FavoriteGroupAdd);
    }
    // The row of the listing at `index`, selected as the window would hand it over.
    void selectItem(int index, const char* name, const char* type, const char* origin = "File Favorite")
    {
        QImage image(32, 32, QImage::Format_ARGB32);
        image.fill(qRgb(200, 20, 20));
        window.row = SelectedRow{QString::fromLatin1(name), QString::fromLatin1(type), QString::fromLatin1(origin),
                                 session->cmbResult.text(index), image};
        session->selectionChanged();
    }

    TempRoot root;
    AppContext context{root.platform()};
    Settings settings{root.platform().registry()};
    FakeMainWindow window;
    Reader reader{root.platform().paths()};
    std::unique_ptr<MainSession> session;
    results::Collections* collections = nullptr;
    QStringList opened;
};

TEST_F(CollectionsTest, AKeywordListsCatalogueIconsThenReferencesThenFavoriteImages)
{
    writeIcon(fav("star.ico"));
    writeIcon(fav("sub\\star.ico")); // a subfolder: not searched
    start("star\r\n");
    navigation().searchKeyword(0);
    const QStringList found = texts(session->cmbResult);
    ASSERT_EQ(found.size(), 5) << found.join(u' ').toStdString();
    EXPECT_EQ(found.mid(0, 4), QStringList({"abc:1:01book", "abc:2:02book", "C:\\r1.ico;0;x;1user", "C:\\r2.ico;0;x;2user"}));
    EXPECT_TRUE(found[4].startsWith(u"C:\\Fav\\star.ico;0;x;")) << found[4].toStdString();
    EXPECT_TRUE(found[4].endsWith(u"open"));
    EXPECT_EQ(itemData(session->cmbResult).at(0), 0);
    EXPECT_EQ(itemData(session->cmbResult).at(3), 1);
    EXPECT_EQ(QStringList({window.text(StatusPanel::Count), window.text(StatusPanel::Message)}), QStringList({"5 Icon(s)", ""}));
    EXPECT_EQ(context.FavoritesFlag, kTrue);
    // Without "SearchFav" the favorites folder is not looked at; a custom keyword of a catalogue
    // keyword's text is a second entry finding the same references.
    navigation().setFavorites(kFav, false);
    navigation().searchKeyword(0);
    EXPECT_EQ(session->cmbResult.count(), 4);
    EXPECT_EQ(context.FavoritesFlag, kFalse);
    ASSERT_EQ(texts(context.catalogueLists.cmbSearch), QStringList({"star", "moon", "star"}));
    navigation().searchKeyword(2);
    EXPECT_EQ(texts(session->cmbResult), QStringList({"C:\\r1.ico;0;x;1user", "C:\\r2.ico;0;x;2user"}));
}

TEST_F(CollectionsTest, AFavoritesFolderThatCannotBeMadeGivesNoNodesAndSaysSoOnce)
{
    root.writeFile(kFav, QByteArray("a file in the way"));
    start();
    session->run(Command::FavoriteRefresh);
    ASSERT_EQ(dialogs().prompts.size(), 1u);
    EXPECT_TRUE(dialogs().prompts[0].text.contains(u"cannot be created or read"));
    EXPECT_EQ(window.treeKeys.filter(QStringLiteral("favori\\")).size(), 0);
}

TEST_F(CollectionsTest, CreateFolderTakesGoodNamesRefusesBadOnesAndSelectsAnExistingOne)
{
    start();
    click(QStringLiteral("favori"));
    addFolder("a:b"); // the whole rule is a FavoritesFolder unit test
    EXPECT_EQ(lastPrompt().kind, "messageBox");
    EXPECT_EQ(lastPrompt().title, "Create Favorite Folder");
    EXPECT_TRUE(favFolders().isEmpty());
    const std::size_t promptsBefore = dialogs().prompts.size();
    addFolder(""); // an empty answer does nothing
    EXPECT_EQ(dialogs().prompts.size(), promptsBefore + 1);
    EXPECT_EQ(lastPrompt().kind, "inputBox");
    EXPECT_EQ(lastPrompt().text, "Give the Name of the Favorite Folder.");
    addFolder("Work");
    EXPECT_TRUE(QFileInfo(root.host(fav("Work"))).isDir());
    EXPECT_TRUE(window.treeKeys.contains(u"favori\\Work"));
    EXPECT_EQ(window.selectedNode, "favori\\Work");
    // The same name again from the root: selected, not doubled.
    click(QStringLiteral("favori"));
    addFolder("WORK");
    EXPECT_EQ(window.selectedNode, "favori\\Work");
    EXPECT_EQ(favFolders(), QStringList({"Work"}));
}

TEST_F(CollectionsTest, RemoveFolderAsksFirstAndNeverRemovesTheRoot)
{
    writeIcon(fav("Old\\a.ico"));
    start();
    click(QStringLiteral("favori\\Old"));
    dialogs().messageBoxAnswers.push_back(platform::IDNO);
    session->run(Command::FavoriteGroupDel);
    EXPECT_EQ(lastPrompt().title, "Remove Favorite Folder");
    EXPECT_EQ(lastPrompt().text, results::removeFolderQuestion(QStringLiteral("Old")));
    EXPECT_EQ(lastPrompt().flags, platform::MB_YESNO | platform::MB_ICONQUESTION);
    EXPECT_TRUE(exists(fav("Old\\a.ico")));
    dialogs().messageBoxAnswers.push_back(platform::IDYES);
    session->run(Command::FavoriteGroupDel);
    EXPECT_FALSE(exists(fav("Old")));
    EXPECT_TRUE(window.treeKeys.filter(QStringLiteral("favori\\Old")).isEmpty());
}

TEST_F(CollectionsTest, RefreshShowsTheFoldersAsTheyAreNowAndAnEmptyList)
{
    dir("Gone");
    writeIcon(fav("A\\star.ico"));
    start();
    click(QStringLiteral("favori\\A"));
    EXPECT_EQ(session->cmbResult.count(), 1);
    QDir(root.host(fav("Gone"))).removeRecursively();
    dir("New\\Deeper");
    session->run(Command::FavoriteRefresh);
    EXPECT_EQ(window.treeKeys.filter(QStringLiteral("favori\\")),
              QStringList({"favori\\A", "favori\\New", "favori\\New\\Deeper"}));
    EXPECT_TRUE(session->cmbResult.isEmpty());
    EXPECT_EQ(window.text(StatusPanel::Count), "0 Icon(s)");
    EXPECT_FALSE(window.commandEnabled(Command::FavoriteGroupAdd));
}

TEST_F(CollectionsTest, AFavoriteDroppedOnAnotherFolderIsCopiedAndWithShiftMovedOnceSaved)
{
    writeIcon(fav("A\\star.ico"));
    dir("B");
    dir("C");
    start();
    click(QStringLiteral("favori\\A"));
    ASSERT_EQ(session->cmbResult.count(), 1);
    selectItem(0, "star", "16 Color Icon");
    navigation().drop(QStringLiteral("favori\\B"), true, false);
    EXPECT_TRUE(exists(fav("B\\star.ico")));
    EXPECT_TRUE(exists(fav("A\\star.ico")));
    // Shift onto a folder where the name is taken, and Cancel: nothing saved, nothing deleted.
    dialogs().messageBoxAnswers.push_back(platform::IDCANCEL);
    navigation().drop(QStringLiteral("favori\\B"), true, true);
    EXPECT_TRUE(exists(fav("A\\star.ico")));
    navigation().drop(QStringLiteral("favori\\C"), true, true);
    EXPECT_TRUE(exists(fav("C\\star.ico")));
    EXPECT_FALSE(exists(fav("A\\star.ico")));
    EXPECT_TRUE(session->cmbResult.isEmpty()) << "the listing of A was shown again without it";
}

TEST_F(CollectionsTest, DeleteFavoriteListsAgainAndGoesOnWhenTheFileIsAlreadyGone)
{
    writeIcon(fav("moon.ico"));
    writeIcon(fav("A\\star.ico"));
    writeIcon(fav("A\\moon.ico"));
    start();
    navigation().searchKeyword(1);
    ASSERT_EQ(session->cmbResult.count(), 3);
    selectItem(2, "moon", "16 Color Icon");
    session->run(Command::DeleteFavorite);
    EXPECT_FALSE(exists(fav("moon.ico")));
    EXPECT_EQ(texts(session->cmbResult), QStringList({"def:1:01book", "C:\\r3.ico;0;x;1user"}));
    click(QStringLiteral("favori\\A"));
    ASSERT_EQ(session->cmbResult.count(), 2);
    selectItem(0, "moon", "16 Color Icon");
    session->run(Command::DeleteFavorite);
    EXPECT_FALSE(exists(fav("A\\moon.ico")));
    ASSERT_EQ(session->cmbResult.count(), 1);
    selectItem(0, "star", "16 Color Icon");
    QFile::remove(root.host(fav("A\\star.ico")));
    session->run(Command::DeleteFavorite);
    EXPECT_TRUE(session->cmbResult.isEmpty());
    EXPECT_TRUE(dialogs().prompts.empty());
}

TEST_F(CollectionsTest, AddToFavoritesSavesIntoTheSelectedFolderAndPlainSaveAsStaysPlain)
{
    writeIcon(fav("A\\star.ico"));
    start();
    click(QStringLiteral("favori\\A"));
    selectItem(0, "star", "16 Color Icon");
    dialogs().fileAnswers.push_back(platform::FileDialogResult{{fav("A\\copy")}, 1});
    session->run(Command::AddFavorite);
    ASSERT_FALSE(dialogs().fileRequests.empty());
    EXPECT_EQ(dialogs().fileRequests.back().title, "Add to Favorites");
    EXPECT_EQ(dialogs().fileRequests.back().initialFolder, fav("A"));
    EXPECT_TRUE(exists(fav("A\\copy.ico")));
    EXPECT_EQ(context.FavoritesFlag, kTrue) << "the favorites listing is still shown";
    dialogs().fileAnswers.push_back(std::nullopt);
    session->run(Command::SaveAs);
    EXPECT_NE(dialogs().fileRequests.back().title, "Add to Favorites");
}

TEST_F(CollectionsTest, OrganizeFavoritesExplainsFirstUnlessToldNotTo)
{
    start();
    dialogs().messageAnswers.push_back(false);
    session->run(Command::FavoriteOrganize);
    ASSERT_EQ(dialogs().messages.size(), 1u);
    const auto& notice = dialogs().messages[0];
    EXPECT_EQ(QStringList({notice.flagName, notice.title, notice.secondButton, notice.text}),
              QStringList({"OrganizeFav", "Organize Favorites", "Organize Favorites Now", results::kOrganizeText}));
    EXPECT_TRUE(opened.isEmpty());
    dialogs().messageAnswers.push_back(true);
    session->run(Command::FavoriteOrganize);
    EXPECT_EQ(opened, QStringList({root.host(kFav)}));
    settings.write(setting::OrganizeFav, qint32(1));
    session->run(Command::FavoriteOrganize);
    EXPECT_EQ(dialogs().messages.size(), 2u);
    EXPECT_EQ(opened.size(), 2);
}

// Which types go with which item is a Selection unit test; here the dialog shows what it is given.
TEST_F(CollectionsTest, TheReferenceDialogShowsTheOfferedTypes)
{
    start();
    frmAdd dialog(*session, *collections);
    const struct {
        const char* type;
        unsigned enabled;
        int preselected;
    } rows[] = {{"256 Color Icon", 0b000000010, 1}, {"Icon Library", 0b111000111, 2}, {"Shortcut Icon", 0, -1}};
    session->cmbResult.add(QStringLiteral("C:\\x.ico;0;x;1open"));
    for (const auto& row : rows) {
        selectItem(0, "x", row.type, "File");
        dialog.prepare(session->selection().referenceTypes);
        for (std::size_t k = 0; k < 9; ++k) {
            EXPECT_EQ(dialog.optType[k]->isEnabled(), ((row.enabled >> k) & 1u) != 0) << row.type << " " << k;
            EXPECT_EQ(dialog.optType[k]->isChecked(), int(k) == row.preselected) << row.type << " " << k;
        }
        EXPECT_EQ(dialog.chosenType(), row.preselected) << row.type;
    }
}

// What adding and deleting does to the reference and keyword lists is the results tests'; here the
// dialogs, commands and listings reach it.
TEST_F(CollectionsTest, AddReferenceFilesTheIconNewestFirstAndRefusesTheSameOneTwice)
{
    start();
    session->cmbResult.add(QStringLiteral("C:\\x.ico;0;x;1open"));
    selectItem(0, "x", "256 Color Icon", "File");
    frmAdd dialog(*session, *collections);
    dialog.prepare(session->selection().referenceTypes);
    EXPECT_FALSE(dialog.cmdAdd->isEnabled());
    ASSERT_EQ(dialog.cmbSearch->count(), 2);
    dialog.cmbSearch->setCurrentIndex(1);
    emit dialog.cmbSearch->activated(1);
    EXPECT_TRUE(dialog.cmdAdd->isEnabled());
    dialog.cmdAdd->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.cmdAdd->isEnabled());
    const CatalogueLists& lists = context.catalogueLists;
    ASSERT_EQ(lists.cmbUser.count(), 4);
    EXPECT_EQ(lists.cmbUser.text(0), "C:\\x.ico;0;x;1user");
    EXPECT_EQ(lists.lstUser.text(0), "moon");
    EXPECT_EQ(context.ReferencesChanged, kTrue);
    // The keyword stays chosen; the same icon, type and keyword is refused.
    dialog.prepare(session->selection().referenceTypes);
    EXPECT_EQ(dialog.cmbSearch->currentText(), "moon");
    emit dialog.cmbSearch->activated(1);
    dialog.cmdAdd->click();
    EXPECT_EQ(lastPrompt().title, "Error saving reference");
    EXPECT_EQ(lastPrompt().text, "This reference already excists.");
    EXPECT_EQ(lastPrompt().flags, platform::MB_ICONEXCLAMATION);
    EXPECT_TRUE(dialog.cmdAdd->isEnabled());
    EXPECT_EQ(lists.cmbUser.count(), 4);
    navigation().setFavorites(kFav, false);
    navigation().searchKeyword(1);
    EXPECT_EQ(texts(session->cmbResult), QStringList({"def:1:01book", "C:\\x.ico;0;x;1user", "C:\\r3.ico;0;x;1user"}));
}

TEST_F(CollectionsTest, DeleteReferenceTakesOnlyTheReferenceAndAnEmptiedListingSaysZero)
{
    start();
    navigation().click(QStringLiteral("Reference256"));
    ASSERT_EQ(session->cmbResult.count(), 2);
    selectItem(0, "star", "256 Color Icon", "Reference");
    session->run(Command::DeleteReference);
    EXPECT_EQ(texts(session->cmbResult), QStringList({"C:\\r3.ico;0;x;1user"}));
    EXPECT_EQ(window.text(StatusPanel::Count), "1 icon(s)");
    navigation().click(QStringLiteral("ReferenceHi"));
    ASSERT_EQ(session->cmbResult.count(), 1);
    selectItem(0, "star", "Hi-Color Icon", "Reference");
    session->run(Command::DeleteReference);
    EXPECT_TRUE(session->cmbResult.isEmpty());
    EXPECT_EQ(window.text(StatusPanel::Count), "0 Icon(s)");
    EXPECT_EQ(context.ReferencesChanged, kTrue);
}

TEST_F(CollectionsTest, TheKeywordEditorAddsRefusesAndDeletesKeepingEveryListInStep)
{
    start("mine\r\n");
    frmKey editor(*session, *collections);
    EXPECT_EQ(editor.windowTitle(), "Edit Custom Keywords");
    ASSERT_EQ(editor.lstKey->count(), 1);
    EXPECT_FALSE(editor.cmdAdd->isEnabled());
    editor.txtKey->setText(QStringLiteral("sun"));
    EXPECT_TRUE(editor.cmdAdd->isEnabled());
    const int shownBefore = window.keywordBarShown;
    editor.cmdAdd->click();
    EXPECT_EQ(editor.lstKey->count(), 2);
    EXPECT_EQ(editor.lstKey->currentRow(), 1);
    EXPECT_EQ(window.keywordBarShown, shownBefore + 1);
    EXPECT_EQ(texts(context.catalogueLists.cmbSearch), QStringList({"star", "moon", "mine", "sun"}));
    editor.txtKey->setText(QStringLiteral("star"));
    ASSERT_TRUE(editor.cmdAdd->isEnabled());
    editor.cmdAdd->click();
    EXPECT_EQ(lastPrompt().text, "This Keyword is already present in\nthe Glyphary Keyword list.");
    EXPECT_EQ(lastPrompt().title, "Glyphary");
    EXPECT_EQ(lastPrompt().flags, platform::MB_ICONINFORMATION);
    editor.txtKey->setText(QStringLiteral("mine"));
    ASSERT_TRUE(editor.cmdDelete->isEnabled());
    editor.cmdDelete->click();
    EXPECT_EQ(editor.txtKey->text(), "");
    EXPECT_EQ(editor.lstKey->count(), 1);
    emit editor.lstKey->itemClicked(editor.lstKey->item(0));
    EXPECT_EQ(editor.txtKey->text(), "sun") << "a click in the list takes its text over";
}

} // namespace
