// glyphary-change and glyphary-catalogue on a new root: every kind set and set back, as the change
// window does it; every "Your Icons" node lists icons the default Windows installation really holds.

#include "core/ResultItem.h"
#include "platform/IconFunctions.h"
#include "platform/WindowsPaths.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace glyphary {
namespace {

struct ToolRun {
    int exitCode = -1;
    QString output;
    QString messages;
};

class RootToolsTest : public ::testing::Test {
protected:
    ToolRun run(const char* tool, const QStringList& args)
    {
        QDir().mkpath(root());
        QProcess process;
        process.start(QStringLiteral(GLYPHARY_TEST_BIN_DIR "/") + QString::fromLatin1(tool), args);
        EXPECT_TRUE(process.waitForFinished(30000));
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }
    ToolRun change(const QStringList& args) { return run("glyphary-change", QStringList{QStringLiteral("--root"), root()} + args); }
    ToolRun listNode(const QString& key, const QString& os = QStringLiteral("98"))
    {
        return run("glyphary-catalogue", {QStringLiteral("list"), QStringLiteral("--node"), key, QStringLiteral("--root"), root(),
                                          QStringLiteral("--os"), os});
    }
    // The icon the target uses now, as list prints it.
    QString location(const QString& kind, const QString& name)
    {
        for (const QString& line : change({QStringLiteral("list")}).output.split(u'\n')) {
            const QStringList fields = line.split(u'\t');
            if (fields.size() == 3 && fields[0] == kind && fields[1] == name)
                return fields[2];
        }
        return QStringLiteral("<not listed>");
    }
    QString root() const { return dir.filePath(QStringLiteral("root")); }

    QTemporaryDir dir;
};

TEST_F(RootToolsTest, ChangeSetsEveryKindAndSetsItBack)
{
    const struct {
        QString kind;
        QString name;
        QString source;
        QString changed;
        QString restored; // empty: as it was before
    } cases[] = {
        {"system", "My Computer", "C:\\windows\\explorer.exe,1", "C:\\WINDOWS\\Icons\\1.ico,0"},
        {"filetype", ".txt", "C:\\windows\\system\\shell32.dll,3", "C:\\WINDOWS\\Icons\\1.ico,0"},
        {"shortcut", "C:\\WINDOWS\\Desktop\\Notepad.lnk", "C:\\windows\\explorer.exe", "C:\\WINDOWS\\Icons\\1.ico,0",
            "C:\\windows\\notepad.exe,0"}, // its program's icon
        {"cursor", "Arrow", "C:\\windows\\Cursors\\help.cur", "C:\\WINDOWS\\Icons\\1.cur", "default"},
        {"cursor", "Wait", dir.filePath("root/drive_c/windows/Cursors/appstarting.ani"), "C:\\WINDOWS\\Icons\\1.ani", "default"},
    };
    for (const auto& c : cases) {
        const QString before = location(c.kind, c.name);
        ASSERT_NE(before, QStringLiteral("<not listed>")) << c.name.toStdString();
        const ToolRun set = change({QStringLiteral("set"), c.kind, c.name, c.source});
        ASSERT_EQ(set.exitCode, 0) << set.messages.toStdString();
        EXPECT_TRUE(set.output.startsWith(c.changed.section(u',', 0, 0) + u'\n')) << set.output.toStdString();
        EXPECT_EQ(location(c.kind, c.name), c.changed);

        const ToolRun back = change({QStringLiteral("default"), c.kind, c.name});
        ASSERT_EQ(back.exitCode, 0) << back.messages.toStdString();
        EXPECT_TRUE(back.output.contains(QStringLiteral("removed ") + c.changed.section(u',', 0, 0))) << back.output.toStdString();
        EXPECT_EQ(location(c.kind, c.name), c.restored.isEmpty() ? before : c.restored);
    }
    EXPECT_EQ(QDir(dir.filePath(QStringLiteral("root/drive_c/windows/icons"))).entryList(QDir::Files), QStringList());

    const ToolRun rebuilt = change({QStringLiteral("--rebuild"), QStringLiteral("set"), QStringLiteral("system"),
                                    QStringLiteral("My Computer"), QStringLiteral("C:\\windows\\explorer.exe,1")});
    EXPECT_EQ(rebuilt.exitCode, 0) << rebuilt.messages.toStdString();
    EXPECT_TRUE(rebuilt.output.endsWith(QStringLiteral("The icon cache was rebuilt.\n"))) << rebuilt.output.toStdString();
}

TEST_F(RootToolsTest, ChangeNamesWrongUsageAndWhatCannotBeFound)
{
    EXPECT_EQ(change({}).exitCode, 2);
    EXPECT_EQ(change({QStringLiteral("set"), QStringLiteral("system")}).exitCode, 2);
    EXPECT_EQ(change({QStringLiteral("default"), QStringLiteral("folder"), QStringLiteral("x")}).exitCode, 2);
    EXPECT_EQ(change({QStringLiteral("--hotspot"), QStringLiteral("40,1"), QStringLiteral("list")}).exitCode, 2);

    const ToolRun missing = change({QStringLiteral("default"), QStringLiteral("filetype"), QStringLiteral(".nothing")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.messages.startsWith(QStringLiteral("glyphary-change: no filetype target named \".nothing\" in ")));
    const ToolRun unreadable = change({QStringLiteral("set"), QStringLiteral("cursor"), QStringLiteral("Arrow"),
                                       QStringLiteral("C:\\windows\\notepad.exe,99")});
    EXPECT_EQ(unreadable.exitCode, 1);
    EXPECT_EQ(unreadable.messages, QStringLiteral("glyphary-change: C:\\windows\\notepad.exe holds no icon at index 99.\n"));
    EXPECT_EQ(location(QStringLiteral("cursor"), QStringLiteral("Arrow")), QStringLiteral("C:\\windows\\Cursors\\arrow.cur"));
}

TEST_F(RootToolsTest, EveryYourIconsNodeListsIconsItsFilesHold)
{
    const QStringList keys{"SysShortDesk", "SysShortStart", "SysCurCurrent", "Glyphary Standardctheme", "Glyphary Animatedctheme",
                           "SysAso", "SysDesktop", "SysStart", "SysDrives", "SysFolders", "SysFiles"};
    for (const QString& key : keys) {
        const ToolRun listing = listNode(key);
        ASSERT_EQ(listing.exitCode, 0) << key.toStdString() << listing.messages.toStdString();
        const QStringList lines = listing.output.split(u'\n', Qt::SkipEmptyParts);
        ASSERT_FALSE(lines.isEmpty()) << key.toStdString();
        platform::WindowsPaths paths(root());
        platform::IconFunctions icons(paths);
        for (const QString& line : lines) {
            const QString item = line.section(u'\t', 0, 0);
            EXPECT_FALSE(line.section(u'\t', 2, 2).isEmpty()) << item.toStdString();
            const QString file = item.section(u';', 0, 0);
            if (file == u"default")
                continue;
            // Frames of an animation are steps of one file, whose icon is its first frame.
            const bool frame = typeCodeOf(item) == u'g' || typeCodeOf(item) == u'a';
            const int index = frame ? 0 : item.section(u';', 1, 1).toInt();
            EXPECT_EQ(icons.ExtractIconA(file, index).status, 1) << key.toStdString() << ": " << item.toStdString();
        }
    }

    const ToolRun unknown = listNode(QStringLiteral("NoSuchNode"));
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_TRUE(unknown.messages.contains(QStringLiteral("the navigation tree has no node NoSuchNode")));
    const ToolRun other = listNode(QStringLiteral("SysFiles"), QStringLiteral("2.5.0"));
    EXPECT_EQ(other.exitCode, 0) << other.messages.toStdString();
    EXPECT_TRUE(other.output.trimmed().isEmpty());
}

} // namespace
} // namespace glyphary
