#include "support/Files.h"
#include "support/IconBytes.h"
#include "support/PeBuilder.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace glyphary {
namespace {

using formats::ByteVector;
using formats::ResourceName;
using testing::dibImage;

// A library of `groups` icons; `program` clears the DLL flag, as a .scr or .exe has it.
ByteVector peFile(int groups, bool program = false)
{
    testing::ResourceBuilder builder;
    for (int id = 1; id <= groups; ++id)
        builder.iconGroup(ResourceName::byId(static_cast<std::uint16_t>(id)), {dibImage(4)});
    ByteVector bytes = builder.pe32();
    if (program)
        formats::setU16le(bytes, testing::pe_layout::kCoffHeader + 18, 0x0102);
    return bytes;
}

ByteVector neLibrary()
{
    testing::ResourceBuilder builder;
    builder.iconGroup(ResourceName::byId(1), {dibImage(4)});
    ByteVector bytes = builder.ne();
    formats::setU16le(bytes, testing::ne_layout::kNeHeader + 0x0C, 0x8000);
    return bytes;
}

class ListFoldersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        put(QStringLiteral("top.ico"), testing::icoFile({dibImage(4)}));
        put(QStringLiteral("Saver.SCR"), peFile(2, true));
        put(QStringLiteral("notes.txt"), ByteVector(100, 'x'));
        put(QStringLiteral("sub/panel.cpl"), peFile(3));
        put(QStringLiteral("sub/old.drv"), neLibrary());
        put(QStringLiteral("sub/deeper/empty.dll"), testing::ResourceBuilder().pe32());
    }

    void put(const QString& name, const ByteVector& bytes)
    {
        const QString path = dir.filePath(name);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(testing::asQByteArray(bytes));
    }

    // Exit code, then the first column (item) of each line, then the messages.
    std::tuple<int, QStringList, QString> list(const QStringList& arguments)
    {
        QProcess process;
        process.start(tool, QStringList{QStringLiteral("list")} + arguments);
        EXPECT_TRUE(process.waitForFinished(30000));
        QStringList items;
        for (const QString& line : QString::fromUtf8(process.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts))
            items.append(line.section(u'\t', 0, 0));
        return {process.exitCode(), items, QString::fromUtf8(process.readAllStandardError())};
    }

    // The Windows path the tool prints for a file of the temporary folder.
    QString windows(const QString& name) const { return QStringLiteral("Z:") + dir.filePath(name).replace(u'/', u'\\'); }

    const QString tool = QStringLiteral(GLYPHARY_TEST_BIN_DIR "/glyphary-icons");
    QTemporaryDir dir;
};

TEST_F(ListFoldersTest, AFolderListsItsFilesByContentAndWithSubfoldersUnderR)
{
    const auto [code, items, messages] = list({dir.path()});
    EXPECT_EQ(code, 0) << messages.toStdString();
    EXPECT_TRUE(messages.isEmpty()) << "files without icons pass quietly: " << messages.toStdString();
    EXPECT_EQ(items, (QStringList{windows(QStringLiteral("Saver.SCR;0;#1 of 2;eopen")),
                                  windows(QStringLiteral("Saver.SCR;1;#2 of 2;eopen")),
                                  windows(QStringLiteral("top.ico;0;x;0open"))}));

    const auto [recursedCode, recursed, recursedMessages] = list({QStringLiteral("-r"), dir.path()});
    EXPECT_EQ(recursedCode, 0) << recursedMessages.toStdString();
    EXPECT_EQ(recursed.mid(3), (QStringList{windows(QStringLiteral("sub/old.drv;0;#1 of 1;dopen")),
                                            windows(QStringLiteral("sub/panel.cpl;0;#1 of 3;dopen")),
                                            windows(QStringLiteral("sub/panel.cpl;1;#2 of 3;dopen")),
                                            windows(QStringLiteral("sub/panel.cpl;2;#3 of 3;dopen"))}));
}

TEST_F(ListFoldersTest, ANamedFileWithoutIconsIsReported)
{
    const auto [code, items, messages] = list({dir.filePath(QStringLiteral("notes.txt")),
                                               dir.filePath(QStringLiteral("sub/panel.cpl"))});
    EXPECT_EQ(code, 1);
    EXPECT_EQ(items.size(), 3);
    EXPECT_TRUE(messages.contains(QStringLiteral("notes.txt: no icon Glyphary can list"))) << messages.toStdString();
}

} // namespace
} // namespace glyphary
