// glyphary-catalogue list --node on a new root: every "Your Icons" node lists icons that the
// default Windows installation really holds.

#include "core/ResultItem.h"
#include "platform/IconFunctions.h"
#include "platform/WindowsPaths.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace glyphary {
namespace {

struct Listing {
    int exitCode = -1;
    QStringList items;
    QStringList names;
    QString messages;
};

class ListNodeTest : public ::testing::Test {
protected:
    Listing list(const QString& key, const QString& os = QStringLiteral("98"))
    {
        QProcess process;
        process.start(tool, {QStringLiteral("list"), QStringLiteral("--node"), key, QStringLiteral("--root"), root(), QStringLiteral("--os"), os});
        EXPECT_TRUE(process.waitForFinished(30000));
        Listing listing;
        listing.exitCode = process.exitCode();
        for (const QString& line : QString::fromUtf8(process.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts)) {
            listing.items << line.section(u'\t', 0, 0);
            listing.names << line.section(u'\t', 2, 2);
        }
        listing.messages = QString::fromUtf8(process.readAllStandardError());
        return listing;
    }
    QString root() const { return dir.filePath(QStringLiteral("root")); }

    const QString tool = QStringLiteral(GLYPHARY_TEST_BIN_DIR "/glyphary-catalogue");
    QTemporaryDir dir;
};

TEST_F(ListNodeTest, EveryYourIconsNodeOfANewRootListsIconsItsFilesHold)
{
    const QStringList keys{"SysShortDesk", "SysShortStart", "SysCurCurrent", "Glyphary Standardctheme", "Glyphary Animatedctheme",
                           "SysAso", "SysDesktop", "SysStart", "SysDrives", "SysFolders", "SysFiles"};
    for (const QString& key : keys) {
        const Listing listing = list(key);
        ASSERT_EQ(listing.exitCode, 0) << key.toStdString() << listing.messages.toStdString();
        ASSERT_FALSE(listing.items.isEmpty()) << key.toStdString();
        platform::WindowsPaths paths(root());
        platform::IconFunctions icons(paths);
        for (qsizetype i = 0; i < listing.items.size(); ++i) {
            const QString& item = listing.items[i];
            EXPECT_FALSE(listing.names[i].isEmpty()) << item.toStdString();
            const QString file = item.section(u';', 0, 0);
            if (file == u"default")
                continue;
            const int index = item.section(u';', 1, 1).toInt();
            // Frames of an animation are steps of one file, whose icon is its first frame.
            const bool frame = typeCodeOf(item) == u'g' || typeCodeOf(item) == u'a';
            EXPECT_EQ(icons.ExtractIconA(file, frame ? 0 : index).status, 1) << key.toStdString() << ": " << item.toStdString();
        }
    }
}

TEST_F(ListNodeTest, AnUnknownKeyIsRefusedAndAnotherVersionHasNoSystemIcons)
{
    const Listing unknown = list(QStringLiteral("NoSuchNode"));
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_TRUE(unknown.messages.contains(QStringLiteral("the navigation tree has no node NoSuchNode")));

    const Listing other = list(QStringLiteral("SysFiles"), QStringLiteral("2.5.0"));
    EXPECT_EQ(other.exitCode, 0) << other.messages.toStdString();
    EXPECT_TRUE(other.items.isEmpty());
}

} // namespace
} // namespace glyphary
