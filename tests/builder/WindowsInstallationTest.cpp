#include "builder/WindowsInstallation.h"

#include "platform/IconFunctions.h"
#include "platform/RootSeeds.h"
#include "platform/ShortcutFile.h"
#include "sources/ResultDrawing.h"
#include "sources/SystemIconTable.h"
#include "support/RegistryValues.h"
#include "support/TempRoot.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace glyphary;
using namespace glyphary::platform;
using glyphary::testing::TempRoot;

namespace {

constexpr QRgb kFolderColour = 0xFF336699;

// The installation built once, from a theme that has only a folder picture.
class WindowsInstallationTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        folder_ = new QTemporaryDir;
        for (const int side : {16, 32}) {
            const QString places = folder_->path() + QStringLiteral("/theme/%1x%1/places").arg(side);
            QDir().mkpath(places);
            QImage folder(side, side, QImage::Format_ARGB32);
            folder.fill(kFolderColour);
            folder.save(places + QStringLiteral("/folder.png"));
        }
        const InstallationArtwork artwork(folder_->path() + QStringLiteral("/theme"));
        QString error;
        ASSERT_TRUE(writeInstallationTemplate(defaultWindowsInstallation(artwork), templatePath(), &error)) << qPrintable(error);
    }
    static void TearDownTestSuite() { delete folder_; }
    static QString templatePath() { return folder_->path() + QStringLiteral("/Windows"); }

    InstallationOutcome seed(TempRoot& into) { return seedInstallation(into.platform().paths(), into.platform().registry(), templatePath()); }

    QString stringValue(HKEY root, const std::string& key, const std::string& name)
    {
        return glyphary::testing::stringValue(this->root.platform().registry(), root, key, name);
    }

    // ExtractIconA at `index` gives a picture.
    ::testing::AssertionResult hasIcon(const QString& file, int index)
    {
        const ExtractResult result = icons.ExtractIconA(file, index);
        if (result.status == 1 && !result.icon.isNull())
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << qPrintable(file) << "," << index << " gives " << result.status;
    }

    // Every file of the root and the hive texts.
    std::map<QString, QByteArray> snapshot()
    {
        std::map<QString, QByteArray> files;
        QDirIterator walk(root.rootPath(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (walk.hasNext()) {
            QFile file(walk.next());
            file.open(QIODevice::ReadOnly);
            files[walk.filePath()] = file.readAll();
        }
        return files;
    }

    TempRoot root;
    IconFunctions icons{root.platform().paths()};

private:
    static inline QTemporaryDir* folder_ = nullptr;
};

TEST_F(WindowsInstallationTest, EverySystemIconRowNamesAnIconThatExists)
{
    ASSERT_EQ(seed(root), InstallationOutcome::Seeded);
    int highestShell32Index = 0;
    for (const auto variant : {sources::SystemIconVariant::A, sources::SystemIconVariant::B})
        for (const auto group : {SystemIconGroup::Desktop, SystemIconGroup::Start, SystemIconGroup::Drives,
                                 SystemIconGroup::Folders, SystemIconGroup::Files})
            for (const QString& row : sources::systemIconRows(group, variant)) {
                const QString location = splitSystemIconRow(row).defaultIcon;
                const QString file = location.section(u',', 0, 0);
                const int index = location.section(u',', 1).toInt();
                EXPECT_TRUE(hasIcon(file, index)) << qPrintable(row);
                if (file.endsWith(QStringLiteral("shell32.dll")))
                    highestShell32Index = std::max(highestShell32Index, index);
            }
    // The gaps are filled so that indexes line up; the theme's picture is used where it has one.
    EXPECT_EQ(icons.ExtractIconA(QStringLiteral("c:\\windows\\system\\shell32.dll"), -1).status, highestShell32Index + 1);
    EXPECT_EQ(icons.ExtractIconA(QStringLiteral("c:\\windows\\system\\shell32.dll"), 3).icon.image.pixel(16, 16), kFolderColour);
    EXPECT_TRUE(hasIcon(QStringLiteral("c:\\windows\\system\\shdocvw.dll"), 32));
}

TEST_F(WindowsInstallationTest, ShortcutsCursorsSchemesAndFileTypesNameRealIcons)
{
    ASSERT_EQ(seed(root), InstallationOutcome::Seeded);
    for (const QString& folder : {QStringLiteral("C:\\windows\\Desktop"), QStringLiteral("C:\\windows\\Start Menu")}) {
        int shortcuts = 0;
        QDirIterator walk(root.host(folder), {QStringLiteral("*.lnk")}, QDir::Files, QDirIterator::Subdirectories);
        while (walk.hasNext()) {
            const auto fields = readShortcut(root.platform().paths(), root.platform().paths().toWindows(walk.next()));
            ASSERT_TRUE(fields.has_value()) << qPrintable(walk.filePath());
            EXPECT_TRUE(hasIcon(fields->IconFile.isEmpty() ? fields->ExeFile : fields->IconFile, fields->IconIdx));
            ++shortcuts;
        }
        EXPECT_GE(shortcuts, 3) << qPrintable(folder);
    }

    for (int position = 1; const CursorRole* role = cursorRoleAt(position); ++position) {
        const QString path = QString::fromLatin1(role->registryPath);
        const QString file = stringValue(HKEY_CURRENT_USER, "Control Panel\\Cursors", path.section(u'\\', -1).toStdString());
        EXPECT_TRUE(hasIcon(file, 0)) << role->registryPath;
    }
    EXPECT_EQ(icons.LoadImageA(stringValue(HKEY_CURRENT_USER, "Control Panel\\Cursors", "AppStarting"), IMAGE_CURSOR, 0, 0,
                               LR_LOADFROMFILE).frameCount(), 8);
    for (const char* scheme : {"Glyphary Standard", "Glyphary Animated"}) {
        const QStringList entries = stringValue(HKEY_CURRENT_USER, "Control Panel\\Cursors\\Schemes", scheme).split(u',');
        ASSERT_EQ(entries.size(), 14) << scheme;
        for (const QString& entry : entries) {
            if (!entry.isEmpty()) {
                EXPECT_TRUE(hasIcon(entry, 0)) << qPrintable(entry);
            }
        }
    }
    EXPECT_TRUE(stringValue(HKEY_CURRENT_USER, "Control Panel\\Cursors\\Schemes", "Glyphary Animated").contains(u",,"));

    Registry& registry = root.platform().registry();
    int listedTypes = 0;
    std::string name;
    for (DWORD i = 0; registry.RegEnumKeyExA(HKEY_CLASSES_ROOT, i, &name) == ERROR_SUCCESS; ++i) {
        if (name.empty() || name[0] != '.')
            continue;
        const std::string className = stringValue(HKEY_CLASSES_ROOT, name, "").toStdString();
        EXPECT_NE(stringValue(HKEY_CLASSES_ROOT, className, ""), QStringLiteral("<none>")) << className;
        EXPECT_NE(stringValue(HKEY_CLASSES_ROOT, className + "\\Shell\\Open\\Command", ""), QStringLiteral("<none>"));
        QString icon = stringValue(HKEY_CLASSES_ROOT, className + "\\DefaultIcon", "");
        if (icon == QStringLiteral("%1"))
            continue;
        icon.remove(u'"');
        EXPECT_TRUE(hasIcon(icon.section(u',', 0, 0), icon.section(u',', 1).toInt())) << name;
        ++listedTypes;
    }
    EXPECT_GE(listedTypes, 5);
}

TEST_F(WindowsInstallationTest, SeedsOnceNeverOverwritesAndLeavesWinePrefixesAlone)
{
    root.writeFile(QStringLiteral("C:\\windows\\explorer.exe"), QByteArray("mine"));
    root.platform().registry().setValue(HKEY_CURRENT_USER, "Control Panel\\Cursors", "Arrow", REG_SZ, regString("C:\\mine.cur"));
    ASSERT_EQ(seed(root), InstallationOutcome::Seeded);
    EXPECT_EQ(root.readFile(QStringLiteral("C:\\windows\\explorer.exe")), QByteArray("mine"));
    EXPECT_EQ(stringValue(HKEY_CURRENT_USER, "Control Panel\\Cursors", "Arrow"), QStringLiteral("C:\\mine.cur"));
    EXPECT_EQ(stringValue(HKEY_CURRENT_USER, "Control Panel\\Cursors", "IBeam"), QStringLiteral("C:\\windows\\Cursors\\ibeam.cur"));

    // Once seeded, never again: what the person deletes stays deleted.
    QFile::remove(root.host(QStringLiteral("C:\\windows\\Desktop\\Notepad.lnk")));
    const auto before = snapshot();
    EXPECT_EQ(seed(root), InstallationOutcome::AlreadySeeded);
    EXPECT_EQ(snapshot(), before);

    TempRoot wine;
    QDir().mkpath(wine.rootPath() + QStringLiteral("/dosdevices"));
    EXPECT_EQ(seed(wine), InstallationOutcome::WinePrefix);
    EXPECT_FALSE(QFile::exists(wine.host(QStringLiteral("C:\\windows\\system\\shell32.dll"))));

    TempRoot noTemplate;
    EXPECT_EQ(seedInstallation(noTemplate.platform().paths(), noTemplate.platform().registry(), noTemplate.rootPath() + QStringLiteral("/none")),
              InstallationOutcome::NoTemplate);
}

} // namespace
