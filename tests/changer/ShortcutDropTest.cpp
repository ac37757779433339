// Files dropped on a result icon: shortcuts take the icon, other files get a new shortcut, each in
// its own numbered icon file.

#include "changer/ChangerFixture.h"
#include "platform/ShortcutFile.h"

using namespace glyphary;
using namespace glyphary::platform;
using glyphary::testing::ChangerFixture;

namespace {

const QString kDesktop = QStringLiteral("C:\\WINDOWS\\Desktop\\");
const QString kIcons = QStringLiteral("C:\\WINDOWS\\Icons\\");
const QString kProgram = QStringLiteral("C:\\Tools\\Paint\\paint.exe");

class ShortcutDropTest : public ChangerFixture {
protected:
    ShortcutDropTest()
    {
        window.row = selectedBlue();
        root.writeFile(kProgram, QByteArray("MZ"));
    }
    static SelectedRow selectedBlue()
    {
        QImage picture(32, 32, QImage::Format_ARGB32);
        picture.fill(QColor(20, 90, 200));
        return {QStringLiteral("Blue"), QStringLiteral("16 Color Icon"), QStringLiteral("Book"), QStringLiteral("book|1"), picture};
    }

    QString shortcut(const QString& name, const QString& iconFile = QStringLiteral("C:\\WINDOWS\\SYSTEM\\shell.ico"))
    {
        const QString path = kDesktop + name + QStringLiteral(".lnk");
        EXPECT_TRUE(writeShortcut(root.platform().paths(), path, paintWithIcon(iconFile, 3)));
        return path;
    }
    static ShortcutFields paintWithIcon(const QString& iconFile, int index)
    {
        return {kProgram, QStringLiteral("C:\\Tools\\Paint"), QStringLiteral("/n"), iconFile, index, 7};
    }
    ShortcutFields fieldsOf(const QString& lnk) { return readShortcut(root.platform().paths(), lnk).value_or(ShortcutFields{}); }
    void drop(const QStringList& files)
    {
        session.setDroppedFiles(files);
        session.run(Command::DropOnResults);
    }
};

TEST_F(ShortcutDropTest, ThreeShortcutsDroppedAtOnceEachGetTheIconInTheirOwnFile)
{
    const QStringList dropped{shortcut(QStringLiteral("One")), shortcut(QStringLiteral("Two")), shortcut(QStringLiteral("Three"))};
    drop(dropped);

    // Everything but the icon stays as it was.
    for (int i = 0; i < dropped.size(); ++i)
        EXPECT_EQ(fieldsOf(dropped[i]), paintWithIcon(kIcons + QString::number(i + 1) + QStringLiteral(".ico"), 0));
    EXPECT_EQ(icons(), (QStringList{QStringLiteral("1.ico"), QStringLiteral("2.ico"), QStringLiteral("3.ico")}));
    const QByteArray first = root.readFile(kIcons + QStringLiteral("1.ico"));
    EXPECT_EQ(root.readFile(kIcons + QStringLiteral("3.ico")), first);
    ASSERT_GE(first.size(), 14);
    EXPECT_EQ(static_cast<unsigned char>(first[12]), 4u); // the selected icon's 16 colours
    EXPECT_EQ(context.SystemIconsNeedRebuild, kTrue);
    EXPECT_TRUE(reminders().isEmpty());
    EXPECT_TRUE(root.dialogs().prompts.empty());
    EXPECT_TRUE(session.droppedFiles().isEmpty());
}

TEST_F(ShortcutDropTest, AProgramGetsANewShortcutUnderTheNameTypedWithLnkAppended)
{
    root.dialogs().fileAnswers.push_back(FileDialogResult{{QStringLiteral("C:\\WINDOWS\\Start Menu\\My Paint")}, 1});
    drop({kProgram});

    ASSERT_EQ(root.dialogs().fileRequests.size(), 1u);
    const FileDialogRequest& request = root.dialogs().fileRequests.front();
    EXPECT_EQ(request.title, QStringLiteral("Create Shortcut"));
    EXPECT_EQ(request.filter, QStringLiteral("Shortcut (*.lnk)|*.lnk"));
    EXPECT_EQ(request.defaultExtension, QStringLiteral("lnk"));
    EXPECT_EQ(request.initialFolder, QStringLiteral("C:\\WINDOWS\\Start Menu"));
    const auto fields = readShortcut(root.platform().paths(), QStringLiteral("C:\\WINDOWS\\Start Menu\\My Paint.lnk"));
    ASSERT_TRUE(fields);
    EXPECT_EQ(*fields, (ShortcutFields{kProgram, QStringLiteral("C:\\Tools\\Paint"), QString(), kIcons + QStringLiteral("1.ico"), 0, 1}));
}

TEST_F(ShortcutDropTest, AShortcutAlreadyOnOurNumberIsReplacedInPlaceAndTheCacheReminderShown)
{
    root.writeFile(kIcons + QStringLiteral("1.ico"), QByteArray("ours before"));
    const QString lnk = shortcut(QStringLiteral("Mine"), QStringLiteral("c:\\windows\\icons\\1.ico"));
    drop({lnk});

    EXPECT_EQ(fieldsOf(lnk).IconFile, kIcons + QStringLiteral("1.ico"));
    EXPECT_EQ(icons(), QStringList{QStringLiteral("1.ico")});
    EXPECT_NE(root.readFile(kIcons + QStringLiteral("1.ico")), QByteArray("ours before"));
    EXPECT_EQ(reminders(), QStringList{QStringLiteral("ShortcutCache")});
    ASSERT_EQ(root.dialogs().messages.size(), 1u);
    EXPECT_EQ(root.dialogs().messages.front().title, QStringLiteral("Change Shortcut"));
}

TEST_F(ShortcutDropTest, FoldersVanishedPathsCancelledAndBrokenFilesAreSkippedOneByOne)
{
    // Nothing happens without a selected icon.
    const QString one = shortcut(QStringLiteral("One"));
    window.row.reset();
    drop({one});
    EXPECT_EQ(fieldsOf(one).IconFile, QStringLiteral("C:\\WINDOWS\\SYSTEM\\shell.ico"));
    EXPECT_TRUE(icons().isEmpty());

    window.row = selectedBlue();
    QDir().mkpath(root.host(QStringLiteral("C:\\Data")));
    root.writeFile(kDesktop + QStringLiteral("Broken.lnk"), QByteArray("not a shortcut"));
    const QString good = shortcut(QStringLiteral("Good"));
    root.dialogs().fileAnswers.push_back(std::nullopt); // the program's dialog is cancelled
    drop({QStringLiteral("C:\\Data"), kDesktop + QStringLiteral("Gone.lnk"), kProgram, kDesktop + QStringLiteral("Broken.lnk"),
          QStringLiteral("\\\\server\\share\\x.lnk"), good});

    EXPECT_EQ(fieldsOf(good).IconFile, kIcons + QStringLiteral("1.ico"));
    EXPECT_EQ(icons(), QStringList{QStringLiteral("1.ico")});
    EXPECT_EQ(root.readFile(kDesktop + QStringLiteral("Broken.lnk")), QByteArray("not a shortcut"));
    EXPECT_FALSE(exists(kDesktop + QStringLiteral("Gone.lnk")));
    EXPECT_EQ(root.dialogs().fileRequests.size(), 1u);
    // One report names the file that could not be read.
    ASSERT_EQ(root.dialogs().prompts.size(), 2u);
    EXPECT_EQ(root.dialogs().prompts.back().kind, QStringLiteral("messageBox"));
    EXPECT_EQ(root.dialogs().prompts.back().title, QStringLiteral("Change Shortcut"));
    EXPECT_EQ(root.dialogs().prompts.back().text, kDesktop + QStringLiteral("Broken.lnk is not a shortcut that can be read."));
}

TEST_F(ShortcutDropTest, HundredsOfShortcutsEachGetANumberAndAFullFolderStopsWithOneReport)
{
    QStringList dropped;
    for (int i = 0; i < 200; ++i)
        dropped << shortcut(QStringLiteral("S%1").arg(i));
    drop(dropped);
    EXPECT_EQ(icons().size(), 200);
    EXPECT_EQ(fieldsOf(dropped.back()).IconFile, kIcons + QStringLiteral("200.ico"));
    EXPECT_TRUE(root.dialogs().prompts.empty());
    takeNumbersFrom(201);
    const QString late = shortcut(QStringLiteral("Late"));
    const QString later = shortcut(QStringLiteral("Later"));
    drop({late, later});
    EXPECT_EQ(fieldsOf(late).IconFile, QStringLiteral("C:\\WINDOWS\\SYSTEM\\shell.ico"));
    EXPECT_EQ(fieldsOf(later).IconFile, QStringLiteral("C:\\WINDOWS\\SYSTEM\\shell.ico"));
    ASSERT_EQ(root.dialogs().prompts.size(), 1u);
    EXPECT_EQ(root.dialogs().prompts.front().title, QStringLiteral("Change Shortcut"));
}

} // namespace
