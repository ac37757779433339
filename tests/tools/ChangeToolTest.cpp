// glyphary-change on a new root: every kind set and set back, as the change window does it.

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct ToolRun {
    int exitCode = -1;
    QString output;
    QString messages;
};

class ChangeToolTest : public ::testing::Test {
protected:
    ToolRun change(QStringList args)
    {
        args.prepend(dir.filePath(QStringLiteral("root")));
        args.prepend(QStringLiteral("--root"));
        QDir().mkpath(dir.filePath(QStringLiteral("root")));
        QProcess process;
        process.start(QStringLiteral(GLYPHARY_TEST_BIN_DIR "/glyphary-change"), args);
        EXPECT_TRUE(process.waitForFinished(30000));
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
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
    QTemporaryDir dir;
};

TEST_F(ChangeToolTest, EveryKindIsSetAndSetBack)
{
    struct Case {
        QString kind;
        QString name;
        QString source;
        QString changed;
    };
    const Case cases[] = {
        {"system", "My Computer", "C:\\windows\\explorer.exe,1", "C:\\WINDOWS\\Icons\\1.ico,0"},
        {"filetype", ".txt", "C:\\windows\\system\\shell32.dll,3", "C:\\WINDOWS\\Icons\\1.ico,0"},
        {"shortcut", "C:\\WINDOWS\\Desktop\\Notepad.lnk", "C:\\windows\\explorer.exe", "C:\\WINDOWS\\Icons\\1.ico,0"},
        {"cursor", "Arrow", "C:\\windows\\Cursors\\help.cur", "C:\\WINDOWS\\Icons\\1.cur"},
        {"cursor", "Wait", dir.filePath("root/drive_c/windows/Cursors/appstarting.ani"), "C:\\WINDOWS\\Icons\\1.ani"},
    };
    for (const Case& c : cases) {
        const QString before = location(c.kind, c.name);
        ASSERT_NE(before, QStringLiteral("<not listed>")) << c.name.toStdString();
        const ToolRun set = change({QStringLiteral("set"), c.kind, c.name, c.source});
        ASSERT_EQ(set.exitCode, 0) << set.messages.toStdString();
        EXPECT_TRUE(set.output.startsWith(c.changed.section(u',', 0, 0) + u'\n')) << set.output.toStdString();
        EXPECT_EQ(location(c.kind, c.name), c.changed);

        const ToolRun back = change({QStringLiteral("default"), c.kind, c.name});
        ASSERT_EQ(back.exitCode, 0) << back.messages.toStdString();
        EXPECT_TRUE(back.output.contains(QStringLiteral("removed ") + c.changed.section(u',', 0, 0))) << back.output.toStdString();
        const QString restored = location(c.kind, c.name);
        if (c.kind == u"cursor")
            EXPECT_EQ(restored, QStringLiteral("default"));
        else if (c.kind == u"shortcut")
            EXPECT_EQ(restored, QStringLiteral("C:\\windows\\notepad.exe,0")); // its program's icon
        else
            EXPECT_EQ(restored, before);
    }
    EXPECT_EQ(QDir(dir.filePath(QStringLiteral("root/drive_c/windows/icons"))).entryList(QDir::Files), QStringList());
}

TEST_F(ChangeToolTest, RebuildRunsAfterTheChange)
{
    const ToolRun run = change({QStringLiteral("--rebuild"), QStringLiteral("set"), QStringLiteral("system"), QStringLiteral("My Computer"),
                            QStringLiteral("C:\\windows\\explorer.exe,1")});
    EXPECT_EQ(run.exitCode, 0) << run.messages.toStdString();
    EXPECT_TRUE(run.output.endsWith(QStringLiteral("The icon cache was rebuilt.\n"))) << run.output.toStdString();
}

TEST_F(ChangeToolTest, WrongUsageAndWhatCannotBeFoundAreNamed)
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

} // namespace
