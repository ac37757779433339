#include "platform/DosAttributes.h"
#include "platform/ProfileFile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace glyphary::platform;

namespace {

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void put(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

TEST(ProfileFile, CreatesTheFileKeepsOtherContentAndRewritesLinksAndReadOnlyFiles)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath("desktop.ini");
    EXPECT_TRUE(writeProfileValue(ini, "s", "k", std::nullopt).ok);
    EXPECT_FALSE(QFileInfo::exists(ini)) << "removing from a missing file creates nothing";
    ASSERT_TRUE(writeProfileValue(ini, ".ShellClassInfo", "IconFile", "C:\\1.ico").ok);
    EXPECT_EQ(contentOf(ini), QByteArray("[.ShellClassInfo]\r\nIconFile=C:\\1.ico\r\n"));

    put(ini, "; mine\n[Other]\nx=1\n[.ShellClassInfo]\nIconFile=old\nInfoTip=tip\n");
    ASSERT_TRUE(writeProfileValue(ini, ".shellclassinfo", "iconfile", "new").ok);
    EXPECT_EQ(contentOf(ini), QByteArray("; mine\n[Other]\nx=1\n[.ShellClassInfo]\nIconFile=new\nInfoTip=tip\n"));
    EXPECT_EQ(readProfileValue(ini, ".ShellClassInfo", "InfoTip"), "tip");

    put(ini, "[s]\nk=1\n");
    QFile::setPermissions(ini, QFileDevice::ReadOwner);
    ASSERT_TRUE(writeProfileValue(ini, "s", "k", "2").ok);
    EXPECT_EQ(contentOf(ini), QByteArray("[s]\nk=2\n"));

    // A symbolic link becomes a file of its own; its target stays.
    QFile::remove(ini);
    const QString target = dir.filePath("elsewhere.txt");
    put(target, "[s]\nk=secret\n");
    ASSERT_TRUE(QFile::link(target, ini));
    ASSERT_TRUE(writeProfileValue(ini, "s", "k", "v").ok);
    EXPECT_FALSE(QFileInfo(ini).isSymLink());
    EXPECT_EQ(contentOf(ini), QByteArray("[s]\r\nk=v\r\n"));
    EXPECT_EQ(contentOf(target), QByteArray("[s]\nk=secret\n"));
}

TEST(DosAttributes, RoundTrip)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath("f");
    ASSERT_TRUE(QDir().mkpath(folder));
    if (!setDosAttributes(folder, kDosReadOnly | kDosHidden))
        GTEST_SKIP() << "the temporary file system refuses extended attributes";
    EXPECT_EQ(dosAttributes(folder), kDosReadOnly | kDosHidden);
    ASSERT_TRUE(setDosAttributes(folder, kDosSystem));
    EXPECT_EQ(dosAttributes(folder), kDosSystem);
    ASSERT_TRUE(setDosAttributes(folder, 0));
    EXPECT_EQ(dosAttributes(folder), 0u);
    EXPECT_TRUE(setDosAttributes(folder, 0)); // nothing to remove is no failure
}

} // namespace
