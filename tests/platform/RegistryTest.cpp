#include "platform/Registry.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <csignal>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>
#include <utime.h>

using namespace glyphary::platform;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes bytesOf(std::string_view text) { return Bytes(text.begin(), text.end()); }

class RegistryTest : public ::testing::Test {
protected:
    RegistryTest()
        : files{dir.filePath(QStringLiteral("system.reg")), dir.filePath(QStringLiteral("user.reg")),
                dir.filePath(QStringLiteral("userdef.reg"))}
    {
        resetRegistry(KeyDeletion::RefuseWithSubkeys);
    }

    void resetRegistry(KeyDeletion deletion)
    {
        registry = std::make_unique<Registry>(files, deletion);
        registry->setProblemReporter([this](const QString& path, const QString& message) {
            problems.push_back(path + QStringLiteral(" | ") + message);
        });
    }

    static QByteArray readFile(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static void writeFile(const QString& path, const QByteArray& content)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }

    // The value through open + query + close, ANSI as the A calls give it; empty when any call fails.
    Bytes query(HKEY root, std::string_view path, std::string_view name, DWORD* type = nullptr)
    {
        HKEY key = 0;
        if (registry->RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS_LOW, &key) != ERROR_SUCCESS)
            return {};
        Bytes data;
        const LONG status = registry->RegQueryValueExA(key, name, type, &data);
        EXPECT_EQ(registry->RegCloseKey(key), ERROR_SUCCESS);
        return status == ERROR_SUCCESS ? data : Bytes{};
    }

    QTemporaryDir dir;
    RegistryFiles files;
    std::unique_ptr<Registry> registry;
    std::vector<QString> problems;
};

constexpr std::string_view kUserHive =
    "WINE REGISTRY Version 2\n"
    ";; All keys relative to REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n"
    "\n"
    "#arch=win32\n"
    "\n"
    "[Control Panel\\\\Cursors] 1700000000\n"
    "#time=1da1b2c3d4e5f60\n"
    "@=\"Windows Default\"\n"
    "\"Arrow\"=str(2):\"%SystemRoot%\\\\cursors\\\\arrow.cur\"\n"
    ";; kept by hand\n"
    "\"Odd\"   =  hex(2a):01,02\n"
    "\n"
    "[Software\\\\Glyphary\\\\Settings] 1700000001\n"
    "#time=1da1b2c3d4e5f61\n"
    "\"BackColor\"=\"12632256\"\n"
    "\"Path\"=\"C:\\\\Glyphary\\\\\"\n"
    "\n"
    "[Software\\\\Glyphary\\\\Pos] 1700000002\n"
    "\"MainTop\"=dword:00000064\n";

} // namespace

TEST_F(RegistryTest, MissingHiveReadsAsEmptyAndIsCreatedOnFirstWrite)
{
    HKEY key = 0;
    EXPECT_EQ(registry->RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Glyphary", 0, KEY_ALL_ACCESS_LOW, &key),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, 0u);
    EXPECT_FALSE(registry->valueExists(HKEY_CURRENT_USER, "Software", "x"));
    EXPECT_FALSE(QFile::exists(files.user));

    DWORD disposition = 0;
    ASSERT_EQ(registry->RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Glyphary\\Settings", REG_OPTION_NON_VOLATILE,
                                        KEY_ALL_ACCESS_LOW, &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    EXPECT_EQ(registry->RegSetValueExA(key, "Path", REG_SZ, regString("C:\\Glyphary\\")), ERROR_SUCCESS);
    EXPECT_EQ(registry->RegCloseKey(key), ERROR_SUCCESS);

    const QString text = QString::fromLatin1(readFile(files.user));
    EXPECT_TRUE(text.startsWith(QStringLiteral("WINE REGISTRY Version 2\n"
                                               ";; All keys relative to REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n"
                                               "\n#arch=win32\n\n[Software\\\\Glyphary\\\\Settings] ")))
        << text.toStdString();
    EXPECT_TRUE(text.endsWith(QStringLiteral("\"Path\"=\"C:\\\\Glyphary\\\\\"\n"))) << text.toStdString();
    EXPECT_FALSE(QFile::exists(files.machine));
    EXPECT_TRUE(problems.empty());

    ASSERT_EQ(registry->RegCreateKeyExA(HKEY_CURRENT_USER, "software\\GLYPHARY\\settings", 0, KEY_ALL_ACCESS_LOW,
                                        &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    registry->RegCloseKey(key);
}

TEST_F(RegistryTest, EveryValueTypeRoundTripsThroughTheCallsAndTheFile)
{
    struct Case {
        const char* name;
        DWORD type;
        Bytes given;
        Bytes read;
    };
    const std::vector<Case> cases = {
        {"sz", REG_SZ, regString("Caf\xe9 \x80 \"q\" \\"), regString("Caf\xe9 \x80 \"q\" \\")},
        {"szWithoutZero", REG_SZ, bytesOf("abc"), regString("abc")},
        {"emptySz", REG_SZ, {}, {0}},
        {"expand", REG_EXPAND_SZ, regString("%SystemRoot%\\x"), regString("%SystemRoot%\\x")},
        {"multi", REG_MULTI_SZ, bytesOf(std::string_view("one\0two\0\0", 9)), bytesOf(std::string_view("one\0two\0\0", 9))},
        {"dword", REG_DWORD, regDword(0x12345678), regDword(0x12345678)},
        {"binary", REG_BINARY, Bytes(200, 0xab), Bytes(200, 0xab)},
        {"emptyBinary", REG_BINARY, {}, {}},
        {"qword", REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 8}, {1, 2, 3, 4, 5, 6, 7, 8}},
        {"none", REG_NONE, {9}, {9}},
        {"unknown", 0x2a, {0, 1}, {0, 1}},
        {"", REG_SZ, regString("default"), regString("default")},
    };
    for (const Case& c : cases)
        ASSERT_EQ(registry->setValue(HKEY_LOCAL_MACHINE, "Software\\Types", c.name, c.type, c.given), ERROR_SUCCESS) << c.name;

    const auto checkAll = [&] {
        for (const Case& c : cases) {
            DWORD type = 0xFFFF;
            EXPECT_EQ(query(HKEY_LOCAL_MACHINE, "Software\\Types", c.name, &type), c.read) << c.name;
            EXPECT_EQ(type, c.type) << c.name;
        }
    };
    checkAll();
    resetRegistry(KeyDeletion::RefuseWithSubkeys); // everything again from the file
    checkAll();

    const QByteArray text = readFile(files.machine);
    EXPECT_TRUE(text.contains("\"sz\"=\"Caf\\xe9 \\x20ac \\\"q\\\" \\\\\"\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("\"multi\"=str(7):\"one\\0two\\0\"\n"));
    EXPECT_TRUE(text.contains("\"dword\"=dword:12345678\n"));
    EXPECT_TRUE(text.contains("\"qword\"=hex(b):01,02,03,04,05,06,07,08\n"));
    EXPECT_TRUE(text.contains("\"unknown\"=hex(2a):00,01\n"));
    EXPECT_TRUE(text.contains("@=\"default\"\n"));
}

TEST_F(RegistryTest, ForeignContentSurvivesAWriteByteForByte)
{
    writeFile(files.user, QByteArray(kUserHive.data(), static_cast<qsizetype>(kUserHive.size())));

    // A new key goes to the end: everything before it stays exactly as it was.
    ASSERT_EQ(registry->setValue(HKEY_CURRENT_USER, "Software\\Other", "v", REG_DWORD, regDword(1)), ERROR_SUCCESS);
    const QByteArray afterNewKey = readFile(files.user);
    EXPECT_TRUE(afterNewKey.startsWith(QByteArray(kUserHive.data(), static_cast<qsizetype>(kUserHive.size()))));

    // A changed value rewrites its own line and its key's time stamps, nothing else.
    ASSERT_EQ(registry->setValue(HKEY_CURRENT_USER, "Software\\Glyphary\\Settings", "Path", REG_SZ, regString("D:\\")),
              ERROR_SUCCESS);
    const QList<QByteArray> before = afterNewKey.split('\n');
    const QList<QByteArray> after = readFile(files.user).split('\n');
    ASSERT_EQ(before.size(), after.size());
    QList<QByteArray> changed;
    for (qsizetype i = 0; i < before.size(); ++i) {
        if (before[i] != after[i])
            changed.push_back(after[i]);
    }
    ASSERT_EQ(changed.size(), 3);
    EXPECT_TRUE(changed[0].startsWith("[Software\\\\Glyphary\\\\Settings] "));
    EXPECT_TRUE(changed[1].startsWith("#time="));
    EXPECT_EQ(changed[2], "\"Path\"=\"D:\\\\\"");
}

TEST_F(RegistryTest, NamesAreCaseInsensitiveAndKeepTheirCase)
{
    writeFile(files.user, QByteArray(kUserHive.data(), static_cast<qsizetype>(kUserHive.size())));
    EXPECT_EQ(query(HKEY_CURRENT_USER, "SOFTWARE\\glyphary\\SETTINGS", "backcolor"), regString("12632256"));
    ASSERT_EQ(registry->setValue(HKEY_CURRENT_USER, "software\\GLYPHARY\\settings", "BACKCOLOR", REG_SZ, regString("0")),
              ERROR_SUCCESS);
    ASSERT_EQ(registry->setValue(HKEY_CURRENT_USER, "SOFTWARE\\GLYPHARY\\NEW", "X", REG_SZ, regString("1")), ERROR_SUCCESS);
    const QByteArray text = readFile(files.user);
    EXPECT_TRUE(text.contains("\"BackColor\"=\"0\"\n"));
    EXPECT_TRUE(text.contains("[Software\\\\Glyphary\\\\NEW] "));

    HKEY key = 0;
    ASSERT_EQ(registry->RegOpenKeyExA(HKEY_CURRENT_USER, "software", 0, KEY_ALL_ACCESS_LOW, &key), ERROR_SUCCESS);
    std::string name;
    EXPECT_EQ(registry->RegEnumKeyExA(key, 0, &name), ERROR_SUCCESS);
    EXPECT_EQ(name, "Glyphary");
    registry->RegCloseKey(key);
}

TEST_F(RegistryTest, EnumerationsFollowStoredOrder)
{
    writeFile(files.user, QByteArray(kUserHive.data(), static_cast<qsizetype>(kUserHive.size())));
    HKEY key = 0;
    ASSERT_EQ(registry->RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Glyphary", 0, KEY_ALL_ACCESS_LOW, &key), ERROR_SUCCESS);
    std::vector<std::string> names;
    std::string name;
    for (DWORD i = 0; registry->RegEnumKeyExA(key, i, &name) == ERROR_SUCCESS; ++i)
        names.push_back(name);
    EXPECT_EQ(names, (std::vector<std::string>{"Settings", "Pos"}));
    EXPECT_EQ(registry->RegEnumKeyExA(key, 2, &name), ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(registry->RegEnumValueA(key, 0, &name, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
    registry->RegCloseKey(key);

    ASSERT_EQ(registry->RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Cursors", 0, KEY_ALL_ACCESS_LOW, &key), ERROR_SUCCESS);
    std::vector<std::pair<std::string, DWORD>> values;
    DWORD type = 0;
    Bytes data;
    for (DWORD i = 0; registry->RegEnumValueA(key, i, &name, &type, &data) == ERROR_SUCCESS; ++i)
        values.emplace_back(name, type);
    EXPECT_EQ(values, (std::vector<std::pair<std::string, DWORD>>{{"", REG_SZ}, {"Arrow", REG_EXPAND_SZ}, {"Odd", 0x2au}}));
    EXPECT_EQ(registry->RegEnumValueA(key, 1, &name, &type, &data), ERROR_SUCCESS);
    EXPECT_EQ(data, regString("%SystemRoot%\\cursors\\arrow.cur"));
    EXPECT_EQ(registry->RegEnumValueA(key, 3, &name, &type, &data), ERROR_NO_MORE_ITEMS);
    registry->RegCloseKey(key);
}

TEST_F(RegistryTest, DeletingAKeyWithSubkeysFollowsTheSystem)
{
    writeFile(files.user, QByteArray(kUserHive.data(), static_cast<qsizetype>(kUserHive.size())));
    HKEY pos = 0;
    ASSERT_EQ(registry->RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Glyphary\\Pos", 0, KEY_ALL_ACCESS_LOW, &pos), ERROR_SUCCESS);

    const QByteArray before = readFile(files.user);
    EXPECT_EQ(registry->RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Glyphary"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(readFile(files.user), before);
    EXPECT_EQ(registry->RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Missing"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(registry->RegDeleteKeyA(HKEY_CURRENT_USER, ""), ERROR_ACCESS_DENIED);

    registry->setKeyDeletion(KeyDeletion::RemoveTree);
    EXPECT_EQ(registry->RegDeleteKeyA(HKEY_CURRENT_USER, "SOFTWARE\\GLYPHARY"), ERROR_SUCCESS);
    EXPECT_FALSE(registry->valueExists(HKEY_CURRENT_USER, "Software\\Glyphary\\Settings", "Path"));
    EXPECT_EQ(query(HKEY_CURRENT_USER, "Control Panel\\Cursors", ""), regString("Windows Default"));
    DWORD type = 0;
    EXPECT_EQ(registry->RegQueryValueExA(pos, "MainTop", &type, nullptr), ERROR_KEY_DELETED);
    EXPECT_EQ(registry->RegCloseKey(pos), ERROR_SUCCESS);

    // The parent stays, as a key of its own in the file.
    HKEY software = 0;
    ASSERT_EQ(registry->RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_ALL_ACCESS_LOW, &software), ERROR_SUCCESS);
    std::string name;
    EXPECT_EQ(registry->RegEnumKeyExA(software, 0, &name), ERROR_NO_MORE_ITEMS);
    registry->RegCloseKey(software);
    const QByteArray after = readFile(files.user);
    EXPECT_FALSE(after.contains("Glyphary"));
    EXPECT_TRUE(after.contains("\n[Software] "));

    // A leaf key goes under either rule.
    registry->setKeyDeletion(KeyDeletion::RefuseWithSubkeys);
    ASSERT_EQ(registry->setValue(HKEY_CURRENT_USER, "Software\\A\\B", "v", REG_DWORD, regDword(1)), ERROR_SUCCESS);
    EXPECT_EQ(registry->RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\A\\B"), ERROR_SUCCESS);
    EXPECT_TRUE(registry->RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\A", 0, 0, &software) == ERROR_SUCCESS);
    registry->RegCloseKey(software);
}

TEST_F(RegistryTest, DeletingValues)
{
    writeFile(files.user, QByteArray(kUserHive.data(), static_cast<qsizetype>(kUserHive.size())));
    HKEY key = 0;
    ASSERT_EQ(registry->RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Glyphary\\Settings", 0, 0, &key), ERROR_SUCCESS);
    EXPECT_EQ(registry->RegDeleteValueA(key, "path"), ERROR_SUCCESS);
    EXPECT_EQ(registry->RegDeleteValueA(key, "Path"), ERROR_FILE_NOT_FOUND);
    registry->RegCloseKey(key);
    EXPECT_FALSE(readFile(files.user).contains("\"Path\""));
    EXPECT_TRUE(readFile(files.user).contains("\"BackColor\""));
}

TEST_F(RegistryTest, GarbledHiveIsNeverWrittenAndReportedOnce)
{
    // Cut short in the middle of a value: what came before is still readable.
    const QByteArray garbled = QByteArray(kUserHive.data(), static_cast<qsizetype>(kUserHive.size())).left(369);
    ASSERT_TRUE(garbled.endsWith("\"Path\"=\"C:\\\\Gl"));
    writeFile(files.user, garbled);

    EXPECT_EQ(query(HKEY_CURRENT_USER, "Software\\Glyphary\\Settings", "BackColor"), regString("12632256"));
    EXPECT_FALSE(registry->valueExists(HKEY_CURRENT_USER, "Software\\Glyphary\\Settings", "Path"));

    HKEY key = 0;
    ASSERT_EQ(registry->RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Glyphary\\Settings", 0, 0, &key), ERROR_SUCCESS);
    EXPECT_EQ(registry->RegSetValueExA(key, "Path", REG_SZ, regString("x")), ERROR_ACCESS_DENIED);
    EXPECT_EQ(registry->RegDeleteValueA(key, "BackColor"), ERROR_ACCESS_DENIED);
    registry->RegCloseKey(key);
    EXPECT_EQ(registry->RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\New", 0, 0, &key, nullptr), ERROR_ACCESS_DENIED);
    EXPECT_EQ(registry->RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Glyphary\\Settings"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(registry->setValue(HKEY_CURRENT_USER, "Software\\Glyphary\\Settings", "BackColor", REG_SZ, regString("0")),
              ERROR_ACCESS_DENIED);

    EXPECT_EQ(readFile(files.user), garbled);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0], files.user + QStringLiteral(" | The registry file ") + files.user
                               + QStringLiteral(" could not be read completely. Glyphary will not change it."));

    // Other hives are not affected.
    EXPECT_EQ(registry->setValue(HKEY_LOCAL_MACHINE, "Software", "v", REG_DWORD, regDword(1)), ERROR_SUCCESS);
}

TEST_F(RegistryTest, AFileThatIsNoHiveIsLeftAlone)
{
    const QByteArray other("\xff\xfeR\0E\0G\0", 8);
    writeFile(files.machine, other);
    EXPECT_FALSE(registry->valueExists(HKEY_LOCAL_MACHINE, "Software", "v"));
    EXPECT_EQ(registry->setValue(HKEY_CLASSES_ROOT, ".ico", "", REG_SZ, regString("icofile")), ERROR_ACCESS_DENIED);
    EXPECT_EQ(readFile(files.machine), other);
    EXPECT_EQ(problems.size(), 1u);
}

TEST_F(RegistryTest, AHiveThatCannotBeReadIsNotOverwritten)
{
    ASSERT_TRUE(QDir().mkpath(files.machine)); // reading a folder fails
    EXPECT_FALSE(registry->valueExists(HKEY_LOCAL_MACHINE, "Software", "v"));
    EXPECT_EQ(registry->setValue(HKEY_LOCAL_MACHINE, "Software", "v", REG_DWORD, regDword(1)), ERROR_ACCESS_DENIED);
    EXPECT_TRUE(QFileInfo(files.machine).isDir());
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_TRUE(problems[0].endsWith(QStringLiteral(" could not be read. Glyphary will not change it.")));
}

TEST_F(RegistryTest, ReloadsWhenTheFileChangesOnDisk)
{
    writeFile(files.user, QByteArray(kUserHive.data(), static_cast<qsizetype>(kUserHive.size())));
    EXPECT_EQ(query(HKEY_CURRENT_USER, "Software\\Glyphary\\Pos", "MainTop"), regDword(100));

    // Same size, rewritten in place: only the modification time tells.
    QByteArray edited(kUserHive.data(), static_cast<qsizetype>(kUserHive.size()));
    edited.replace("dword:00000064", "dword:00000065");
    writeFile(files.user, edited);
    const QByteArray native = QFile::encodeName(files.user);
    struct utimbuf times {1000000000, 1000000000};
    ASSERT_EQ(::utime(native.constData(), &times), 0);
    EXPECT_EQ(query(HKEY_CURRENT_USER, "Software\\Glyphary\\Pos", "MainTop"), regDword(101));

    // Replaced by another program, and then removed.
    QFile::remove(files.user);
    writeFile(files.user, "WINE REGISTRY Version 2\n[Software\\\\Glyphary\\\\Pos]\n\"MainTop\"=dword:00000001\n");
    EXPECT_EQ(query(HKEY_CURRENT_USER, "Software\\Glyphary\\Pos", "MainTop"), regDword(1));
    QFile::remove(files.user);
    EXPECT_FALSE(registry->valueExists(HKEY_CURRENT_USER, "Software\\Glyphary\\Pos", "MainTop"));
}

TEST_F(RegistryTest, OpenHandleSeesAKeyRemovedOnDiskAsDeleted)
{
    writeFile(files.user, QByteArray(kUserHive.data(), static_cast<qsizetype>(kUserHive.size())));
    HKEY key = 0;
    ASSERT_EQ(registry->RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Glyphary\\Pos", 0, 0, &key), ERROR_SUCCESS);
    QFile::remove(files.user);
    std::string name;
    EXPECT_EQ(registry->RegEnumValueA(key, 0, &name, nullptr, nullptr), ERROR_KEY_DELETED);
    EXPECT_EQ(registry->RegSetValueExA(key, "v", REG_DWORD, regDword(1)), ERROR_KEY_DELETED);
    EXPECT_EQ(registry->RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(RegistryTest, ClassesRootIsTheMachinesSoftwareClasses)
{
    ASSERT_EQ(registry->setValue(HKEY_CLASSES_ROOT, ".ico\\DefaultIcon", "", REG_SZ, regString("%1")), ERROR_SUCCESS);
    EXPECT_TRUE(readFile(files.machine).contains("\n[Software\\\\Classes\\\\.ico\\\\DefaultIcon] "));
    EXPECT_FALSE(QFile::exists(files.user));
    EXPECT_EQ(query(HKEY_LOCAL_MACHINE, "Software\\Classes\\.ico\\DefaultIcon", ""), regString("%1"));

    HKEY classes = 0;
    ASSERT_EQ(registry->RegOpenKeyExA(HKEY_CLASSES_ROOT, "", 0, 0, &classes), ERROR_SUCCESS);
    EXPECT_EQ(classes, HKEY_CLASSES_ROOT);
    std::string name;
    EXPECT_EQ(registry->RegEnumKeyExA(HKEY_CLASSES_ROOT, 0, &name), ERROR_SUCCESS);
    EXPECT_EQ(name, ".ico");
    EXPECT_EQ(registry->RegDeleteKeyA(HKEY_CLASSES_ROOT, ""), ERROR_ACCESS_DENIED);
}

TEST_F(RegistryTest, UsersHoldsTheDefaultUserAndWinesUser)
{
    ASSERT_EQ(registry->setValue(HKEY_USERS, ".DEFAULT\\Control Panel", "v", REG_DWORD, regDword(7)), ERROR_SUCCESS);
    EXPECT_TRUE(readFile(files.defaultUser).contains("[Control Panel] "));
    EXPECT_TRUE(readFile(files.defaultUser).contains(";; All keys relative to REGISTRY\\\\User\\\\.Default\n"));
    EXPECT_EQ(query(HKEY_USERS, ".Default\\Control Panel", "v"), regDword(7));

    ASSERT_EQ(registry->setValue(HKEY_CURRENT_USER, "Software", "u", REG_DWORD, regDword(8)), ERROR_SUCCESS);
    EXPECT_EQ(query(HKEY_USERS, "S-1-5-21-0-0-0-1000\\Software", "u"), regDword(8));

    HKEY key = 0;
    EXPECT_EQ(registry->RegOpenKeyExA(HKEY_USERS, "S-1-5-18\\Software", 0, 0, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(registry->RegCreateKeyExA(HKEY_USERS, "Other", 0, 0, &key, nullptr), ERROR_ACCESS_DENIED);
    std::string name;
    EXPECT_EQ(registry->RegEnumKeyExA(HKEY_USERS, 0, &name), ERROR_SUCCESS);
    EXPECT_EQ(name, ".Default");
    DWORD type = 0;
    EXPECT_EQ(registry->RegQueryValueExA(HKEY_USERS, "v", &type, nullptr), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(registry->RegSetValueExA(HKEY_USERS, "v", REG_DWORD, regDword(1)), ERROR_ACCESS_DENIED);
}

TEST_F(RegistryTest, ErrorCodesForHandlesAndMissingThings)
{
    const HKEY bogus = 0x1234;
    std::string name;
    Bytes data;
    DWORD type = 0;
    EXPECT_EQ(registry->RegCloseKey(bogus), ERROR_INVALID_HANDLE);
    EXPECT_EQ(registry->RegQueryValueExA(bogus, "v", &type, &data), ERROR_INVALID_HANDLE);
    EXPECT_EQ(registry->RegSetValueExA(bogus, "v", REG_DWORD, regDword(1)), ERROR_INVALID_HANDLE);
    EXPECT_EQ(registry->RegEnumKeyExA(bogus, 0, &name), ERROR_INVALID_HANDLE);
    EXPECT_EQ(registry->RegEnumValueA(bogus, 0, &name, &type, &data), ERROR_INVALID_HANDLE);
    HKEY key = 0;
    EXPECT_EQ(registry->RegOpenKeyExA(bogus, "x", 0, 0, &key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(registry->RegDeleteKeyA(bogus, "x"), ERROR_INVALID_HANDLE);
    EXPECT_EQ(registry->RegOpenKeyExA(HKEY_LOCAL_MACHINE, "x", 0, 0, nullptr), ERROR_INVALID_PARAMETER);

    ASSERT_EQ(registry->setValue(HKEY_LOCAL_MACHINE, "Software\\K", "v", REG_DWORD, regDword(1)), ERROR_SUCCESS);
    ASSERT_EQ(registry->RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\K", 0, 0, &key), ERROR_SUCCESS);
    EXPECT_LT(key, HKEY_CLASSES_ROOT);
    EXPECT_EQ(registry->RegQueryValueExA(key, "missing", &type, &data), ERROR_FILE_NOT_FOUND);

    HKEY same = 0;
    ASSERT_EQ(registry->RegOpenKeyExA(key, "", 0, 0, &same), ERROR_SUCCESS);
    EXPECT_NE(same, key);
    EXPECT_EQ(registry->RegQueryValueExA(same, "V", &type, &data), ERROR_SUCCESS);
    EXPECT_EQ(data, regDword(1));
    EXPECT_EQ(registry->RegCloseKey(same), ERROR_SUCCESS);
    EXPECT_EQ(registry->RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(registry->RegCloseKey(key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(registry->RegCloseKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);

    const std::string tooLong(256, 'k');
    EXPECT_EQ(registry->RegCreateKeyExA(HKEY_LOCAL_MACHINE, tooLong, 0, 0, &key, nullptr), ERROR_INVALID_PARAMETER);
}

TEST_F(RegistryTest, FailedSaveKeepsTheOldFileAndMemoryMatchesDisk)
{
    writeFile(files.user, QByteArray(kUserHive.data(), static_cast<qsizetype>(kUserHive.size())));
    const QByteArray before = readFile(files.user);

    // A full disk, as far as this process can tell: files may not grow past 100 bytes.
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct rlimit small = saved;
    small.rlim_cur = 100;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const LONG status = registry->setValue(HKEY_CURRENT_USER, "Software\\Glyphary\\Settings", "Path", REG_SZ, regString("D:\\"));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_EQ(status, ERROR_WRITE_FAULT);
    EXPECT_EQ(readFile(files.user), before);
    EXPECT_EQ(query(HKEY_CURRENT_USER, "Software\\Glyphary\\Settings", "Path"), regString("C:\\Glyphary\\"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), (QStringList{QStringLiteral("user.reg")}));
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_TRUE(problems[0].endsWith(QStringLiteral(" could not be saved. Glyphary's change to it was not made.")));

    // And the next write works again.
    EXPECT_EQ(registry->setValue(HKEY_CURRENT_USER, "Software\\Glyphary\\Settings", "Path", REG_SZ, regString("D:\\")),
              ERROR_SUCCESS);
    EXPECT_EQ(query(HKEY_CURRENT_USER, "Software\\Glyphary\\Settings", "Path"), regString("D:\\"));
}

TEST_F(RegistryTest, FailedSaveOfANewHiveLeavesNothingBehind)
{
    RegistryFiles elsewhere = files;
    elsewhere.machine = dir.filePath(QStringLiteral("missing/system.reg"));
    Registry isolated(elsewhere, KeyDeletion::RefuseWithSubkeys);
    const LONG status = isolated.setValue(HKEY_LOCAL_MACHINE, "Software", "v", REG_DWORD, regDword(1));
    EXPECT_TRUE(status == ERROR_ACCESS_DENIED || status == ERROR_WRITE_FAULT) << status;
    EXPECT_FALSE(isolated.valueExists(HKEY_LOCAL_MACHINE, "Software", "v"));
    HKEY key = 0;
    EXPECT_EQ(isolated.RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, 0, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(QFileInfo::exists(elsewhere.machine));
}

// A batch: one save for a run of writes, with reads seeing them meanwhile.
class RegistryBatchTest : public RegistryTest {};

TEST_F(RegistryBatchTest, WritesNothingUntilItsEndAndEveryValueThen)
{
    const QByteArray before = readFile(files.user);
    {
        RegistryBatch batch(*registry);
        for (int i = 0; i < 23; ++i)
            ASSERT_EQ(registry->setValue(HKEY_CURRENT_USER, "Software\\Batch", "v" + std::to_string(i), REG_SZ,
                          regString(std::to_string(i))), ERROR_SUCCESS);
        EXPECT_EQ(query(HKEY_CURRENT_USER, "Software\\Batch", "v7"), regString("7"));
        EXPECT_EQ(readFile(files.user), before);
    }
    const QByteArray after = readFile(files.user);
    EXPECT_TRUE(after.contains("\"v0\"=\"0\""));
    EXPECT_TRUE(after.contains("\"v22\"=\"22\""));
    Registry reread(files, KeyDeletion::RefuseWithSubkeys);
    EXPECT_TRUE(reread.valueExists(HKEY_CURRENT_USER, "Software\\Batch", "v22"));
}

TEST_F(RegistryBatchTest, NestedBatchesSaveAtTheOutermostEnd)
{
    registry->beginBatch();
    registry->beginBatch();
    registry->setValue(HKEY_CURRENT_USER, "Software\\Batch", "inner", REG_SZ, regString("x"));
    EXPECT_EQ(registry->endBatch(), ERROR_SUCCESS);
    EXPECT_FALSE(readFile(files.user).contains("inner"));
    EXPECT_EQ(registry->endBatch(), ERROR_SUCCESS);
    EXPECT_TRUE(readFile(files.user).contains("inner"));
}

TEST_F(RegistryBatchTest, AFailedSaveAtTheEndLeavesTheOldFileAndMemoryMatchingIt)
{
    registry->setValue(HKEY_CURRENT_USER, "Software\\Batch", "old", REG_SZ, regString("1"));
    const QByteArray before = readFile(files.user);
    registry->beginBatch();
    registry->setValue(HKEY_CURRENT_USER, "Software\\Batch", "new", REG_SZ, regString("2"));
    // A full disk, as far as this process can tell: files may not grow past 100 bytes.
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct rlimit small = saved;
    small.rlim_cur = 100;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const LONG status = registry->endBatch();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_NE(status, ERROR_SUCCESS);
    EXPECT_EQ(readFile(files.user), before);
    EXPECT_FALSE(registry->valueExists(HKEY_CURRENT_USER, "Software\\Batch", "new"));
}
