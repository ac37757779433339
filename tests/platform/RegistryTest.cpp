#include "platform/Registry.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <csignal>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include <sys/resource.h>
#include <utime.h>

using namespace glyphary::platform;

namespace {

using Bytes = std::vector<std::uint8_t>;
using Names = std::vector<std::string>;
using Values = std::vector<std::tuple<std::string, DWORD, Bytes>>;

constexpr HKEY HKCR = HKEY_CLASSES_ROOT, HKCU = HKEY_CURRENT_USER, HKLM = HKEY_LOCAL_MACHINE, HKU = HKEY_USERS;

// One section a line.
const QByteArray kUserHive
    = "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win32\n\n"
      "[Control Panel\\\\Cursors] 1700000000\n#time=1da1b2c3d4e5f60\n@=\"Windows Default\"\n"
      "\"Arrow\"=str(2):\"%SystemRoot%\\\\cursors\\\\arrow.cur\"\n;; kept by hand\n\"Odd\"   =  hex(2a):01,02\n\n"
      "[Software\\\\Glyphary\\\\Settings] 1700000001\n#time=1da1b2c3d4e5f61\n\"BackColor\"=\"12632256\"\n"
      "\"Path\"=\"C:\\\\Glyphary\\\\\"\n\n"
      "[Software\\\\Glyphary\\\\Pos] 1700000002\n\"MainTop\"=dword:00000064\n";

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

// A disk that is full as far as this process can tell: files may not grow past 100 bytes.
void onFullDisk(const std::function<void()>& step)
{
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct rlimit small = saved;
    small.rlim_cur = 100;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    step();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
}

class RegistryTest : public ::testing::Test {
protected:
    RegistryTest() { reopen(); }

    void reopen()
    {
        problems.clear();
        reg = std::make_unique<Registry>(files, KeyDeletion::RefuseWithSubkeys);
        reg->setProblemReporter([this](const QString& path, const QString& text) { problems.push_back(path + " | " + text); });
    }
    QByteArray user() const { return readFile(files.user); }
    QByteArray machine() const { return readFile(files.machine); }

    HKEY open(HKEY root, std::string_view path)
    {
        HKEY key = 0;
        EXPECT_EQ(reg->RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS_LOW, &key), ERROR_SUCCESS) << path;
        return key;
    }
    // The value through open + query + close, ANSI as the A calls give it; empty when any call fails.
    Bytes query(HKEY root, std::string_view path, std::string_view name, DWORD* type = nullptr)
    {
        HKEY key = 0;
        if (reg->RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS_LOW, &key) != ERROR_SUCCESS)
            return {};
        Bytes data;
        const LONG status = reg->RegQueryValueExA(key, name, type, &data);
        EXPECT_EQ(reg->RegCloseKey(key), ERROR_SUCCESS);
        return status == ERROR_SUCCESS ? data : Bytes{};
    }
    LONG set(HKEY root, std::string_view path, std::string_view name, std::string_view text)
    {
        return reg->setValue(root, path, name, REG_SZ, regString(text));
    }
    LONG set(HKEY root, std::string_view path, std::string_view name, std::uint32_t dword)
    {
        return reg->setValue(root, path, name, REG_DWORD, regDword(dword));
    }
    Names subkeys(HKEY key)
    {
        Names names;
        std::string name;
        LONG status = 0;
        while ((status = reg->RegEnumKeyExA(key, static_cast<DWORD>(names.size()), &name)) == ERROR_SUCCESS)
            names.push_back(name);
        EXPECT_EQ(status, ERROR_NO_MORE_ITEMS);
        return names;
    }
    Values values(HKEY key)
    {
        Values all;
        std::string name;
        DWORD type = 0;
        Bytes data;
        LONG status = 0;
        while ((status = reg->RegEnumValueA(key, static_cast<DWORD>(all.size()), &name, &type, &data)) == ERROR_SUCCESS)
            all.emplace_back(name, type, data);
        EXPECT_EQ(status, ERROR_NO_MORE_ITEMS);
        return all;
    }
    // Subkeys and values of a key opened and closed for the purpose.
    template <typename Read> auto withKey(HKEY root, std::string_view path, Read read)
    {
        const HKEY key = open(root, path);
        const auto result = read(key);
        EXPECT_EQ(reg->RegCloseKey(key), ERROR_SUCCESS);
        return result;
    }
    Names subkeys(HKEY root, std::string_view path) { return withKey(root, path, [this](HKEY key) { return subkeys(key); }); }
    Values values(HKEY root, std::string_view path) { return withKey(root, path, [this](HKEY key) { return values(key); }); }

    QTemporaryDir dir;
    RegistryFiles files{dir.filePath(QStringLiteral("system.reg")), dir.filePath(QStringLiteral("user.reg")),
                        dir.filePath(QStringLiteral("userdef.reg"))};
    std::unique_ptr<Registry> reg;
    std::vector<QString> problems;
};

TEST_F(RegistryTest, MissingHiveReadsAsEmptyAndIsCreatedOnFirstWrite)
{
    HKEY key = 0;
    EXPECT_EQ(reg->RegOpenKeyExA(HKCU, "Software\\Glyphary", 0, KEY_ALL_ACCESS_LOW, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, 0u);
    EXPECT_FALSE(reg->valueExists(HKCU, "Software", "x"));
    EXPECT_FALSE(QFile::exists(files.user));

    DWORD disposition = 0;
    ASSERT_EQ(reg->RegCreateKeyExA(HKCU, "Software\\Glyphary\\Settings", REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS_LOW,
                                   &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    EXPECT_EQ(reg->RegSetValueExA(key, "Path", REG_SZ, regString("C:\\Glyphary\\")), ERROR_SUCCESS);
    EXPECT_EQ(reg->RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_TRUE(user().startsWith("WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n"
                                  "\n#arch=win32\n\n[Software\\\\Glyphary\\\\Settings] "))
        << user().toStdString();
    EXPECT_TRUE(user().endsWith("\"Path\"=\"C:\\\\Glyphary\\\\\"\n")) << user().toStdString();
    EXPECT_FALSE(QFile::exists(files.machine));
    EXPECT_TRUE(problems.empty());

    ASSERT_EQ(reg->RegCreateKeyExA(HKCU, "software\\GLYPHARY\\settings", 0, KEY_ALL_ACCESS_LOW, &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    reg->RegCloseKey(key);
}

TEST_F(RegistryTest, EveryValueTypeRoundTripsThroughTheCallsAndTheFile)
{
    const auto bytesOf = [](std::string_view text) { return Bytes(text.begin(), text.end()); };
    const Bytes multi = bytesOf(std::string_view("one\0two\0\0", 9));
    const Bytes sz = regString("Caf\xe9 \x80 \"q\" \\");
    const struct {
        const char* name;
        DWORD type;
        Bytes given;
        Bytes read;
    } cases[] = {
        // Every type in the file is the hive file's test; these are what the calls add or take away.
        {"sz", REG_SZ, sz, sz}, {"szWithoutZero", REG_SZ, bytesOf("abc"), regString("abc")}, {"emptySz", REG_SZ, {}, {0}},
        {"multi", REG_MULTI_SZ, multi, multi}, {"dword", REG_DWORD, regDword(0x12345678), regDword(0x12345678)},
        {"emptyBinary", REG_BINARY, {}, {}}, {"unknown", 0x2a, {0, 1}, {0, 1}}, {"", REG_SZ, regString("d"), regString("d")},
    };
    for (const auto& c : cases)
        ASSERT_EQ(reg->setValue(HKLM, "Software\\Types", c.name, c.type, c.given), ERROR_SUCCESS) << c.name;
    for (const bool fromFile : {false, true}) {
        if (fromFile)
            reopen();
        for (const auto& c : cases) {
            DWORD type = 0xFFFF;
            EXPECT_EQ(query(HKLM, "Software\\Types", c.name, &type), c.read) << c.name << fromFile;
            EXPECT_EQ(type, c.type) << c.name << fromFile;
        }
    }
    // The ANSI text reaches the file as Unicode.
    EXPECT_TRUE(machine().contains("\"sz\"=\"Caf\\xe9 \\x20ac \\\"q\\\" \\\\\"\n")) << machine().toStdString();
}

// How a changed value's line is written is the hive file's own test; here, that the registry edits
// the file it read rather than writing a new one.
TEST_F(RegistryTest, ForeignContentSurvivesAndNamesIgnoreCaseKeepTheirStoredCaseAndListInStoredOrder)
{
    writeFile(files.user, kUserHive);
    ASSERT_EQ(set(HKCU, "Software\\Other", "v", 1), ERROR_SUCCESS);
    EXPECT_TRUE(user().startsWith(kUserHive)) << "a new key goes to the end, everything before it stays";

    EXPECT_EQ(subkeys(HKCU, "Software\\Glyphary"), (Names{"Settings", "Pos"}));
    EXPECT_TRUE(values(HKCU, "Software\\Glyphary").empty());
    EXPECT_EQ(values(HKCU, "Control Panel\\Cursors"), (Values{{"", REG_SZ, regString("Windows Default")},
                                   {"Arrow", REG_EXPAND_SZ, regString("%SystemRoot%\\cursors\\arrow.cur")},
                                   {"Odd", 0x2au, {1, 2}}}));

    EXPECT_EQ(query(HKCU, "SOFTWARE\\glyphary\\SETTINGS", "backcolor"), regString("12632256"));
    ASSERT_EQ(set(HKCU, "software\\GLYPHARY\\settings", "BACKCOLOR", "0"), ERROR_SUCCESS);
    ASSERT_EQ(set(HKCU, "SOFTWARE\\GLYPHARY\\NEW", "X", "1"), ERROR_SUCCESS);
    EXPECT_TRUE(user().contains("\"BackColor\"=\"0\"\n\"Path\"")) << "the stored name and place stay";
    EXPECT_TRUE(user().contains("[Software\\\\Glyphary\\\\NEW] "));
    EXPECT_EQ(subkeys(HKCU, "software"), (Names{"Glyphary", "Other"}));

    const HKEY key = open(HKCU, "Software\\Glyphary\\Settings");
    EXPECT_EQ(reg->RegDeleteValueA(key, "path"), ERROR_SUCCESS);
    EXPECT_EQ(reg->RegDeleteValueA(key, "Path"), ERROR_FILE_NOT_FOUND);
    reg->RegCloseKey(key);
    EXPECT_FALSE(user().contains("\"Path\""));
    EXPECT_TRUE(user().contains("\"BackColor\""));
}

TEST_F(RegistryTest, DeletingAKeyWithSubkeysFollowsTheSystem)
{
    writeFile(files.user, kUserHive);
    const HKEY pos = open(HKCU, "Software\\Glyphary\\Pos");
    EXPECT_EQ(reg->RegDeleteKeyA(HKCU, "Software\\Glyphary"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(user(), kUserHive);
    EXPECT_EQ(reg->RegDeleteKeyA(HKCU, "Software\\Missing"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(reg->RegDeleteKeyA(HKCU, ""), ERROR_ACCESS_DENIED);

    reg->setKeyDeletion(KeyDeletion::RemoveTree);
    EXPECT_EQ(reg->RegDeleteKeyA(HKCU, "SOFTWARE\\GLYPHARY"), ERROR_SUCCESS);
    EXPECT_FALSE(reg->valueExists(HKCU, "Software\\Glyphary\\Settings", "Path"));
    EXPECT_EQ(query(HKCU, "Control Panel\\Cursors", ""), regString("Windows Default"));
    DWORD type = 0;
    EXPECT_EQ(reg->RegQueryValueExA(pos, "MainTop", &type, nullptr), ERROR_KEY_DELETED);
    EXPECT_EQ(reg->RegCloseKey(pos), ERROR_SUCCESS);
    // The parent stays, as a key of its own in the file.
    EXPECT_TRUE(subkeys(HKCU, "Software").empty());
    EXPECT_FALSE(user().contains("Glyphary"));
    EXPECT_TRUE(user().contains("\n[Software] "));

    // A leaf key goes under either rule.
    reg->setKeyDeletion(KeyDeletion::RefuseWithSubkeys);
    ASSERT_EQ(set(HKCU, "Software\\A\\B", "v", 1), ERROR_SUCCESS);
    EXPECT_EQ(reg->RegDeleteKeyA(HKCU, "Software\\A\\B"), ERROR_SUCCESS);
    reg->RegCloseKey(open(HKCU, "Software\\A"));
}

TEST_F(RegistryTest, AGarbledHiveOrAFileThatIsNoHiveIsNeverWrittenAndReportedOnce)
{
    // Cut short in the middle of a value: what came before is still readable.
    const QByteArray garbled = kUserHive.left(369);
    ASSERT_TRUE(garbled.endsWith("\"Path\"=\"C:\\\\Gl"));
    writeFile(files.user, garbled);
    EXPECT_EQ(query(HKCU, "Software\\Glyphary\\Settings", "BackColor"), regString("12632256"));
    EXPECT_FALSE(reg->valueExists(HKCU, "Software\\Glyphary\\Settings", "Path"));

    HKEY key = open(HKCU, "Software\\Glyphary\\Settings");
    EXPECT_EQ(reg->RegSetValueExA(key, "Path", REG_SZ, regString("x")), ERROR_ACCESS_DENIED);
    EXPECT_EQ(reg->RegDeleteValueA(key, "BackColor"), ERROR_ACCESS_DENIED);
    reg->RegCloseKey(key);
    EXPECT_EQ(reg->RegCreateKeyExA(HKCU, "Software\\New", 0, 0, &key, nullptr), ERROR_ACCESS_DENIED);
    EXPECT_EQ(reg->RegDeleteKeyA(HKCU, "Software\\Glyphary\\Settings"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(set(HKCU, "Software\\Glyphary\\Settings", "BackColor", "0"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(user(), garbled);
    EXPECT_EQ(problems, std::vector<QString>{files.user + " | The registry file " + files.user
                                             + " could not be read completely. Glyphary will not change it."});
    EXPECT_EQ(set(HKCR, ".ico", "", "icofile"), ERROR_SUCCESS); // other hives are not affected

    // Nor is a file that is no hive, or one that cannot be read.
    const QByteArray other("\xff\xfeR\0E\0G\0", 8);
    QFile::remove(files.user);
    writeFile(files.machine, other);
    reopen();
    EXPECT_FALSE(reg->valueExists(HKLM, "Software\\Classes\\.ico", ""));
    EXPECT_EQ(set(HKCR, ".ico", "", "icofile"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(machine(), other);
    EXPECT_EQ(problems.size(), 1u);

    ASSERT_TRUE(QFile::remove(files.machine));
    ASSERT_TRUE(QDir().mkpath(files.machine)); // reading a folder fails
    reopen();
    EXPECT_FALSE(reg->valueExists(HKLM, "Software", "v"));
    EXPECT_EQ(set(HKLM, "Software", "v", 1), ERROR_ACCESS_DENIED);
    EXPECT_TRUE(QFileInfo(files.machine).isDir());
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_TRUE(problems[0].endsWith(" could not be read. Glyphary will not change it."));
}

TEST_F(RegistryTest, ReloadsWhenTheFileChangesOnDiskAndOpenHandlesSeeItGo)
{
    writeFile(files.user, kUserHive);
    EXPECT_EQ(query(HKCU, "Software\\Glyphary\\Pos", "MainTop"), regDword(100));
    // Same size, rewritten in place: only the modification time tells.
    writeFile(files.user, QByteArray(kUserHive).replace("dword:00000064", "dword:00000065"));
    struct utimbuf times {1000000000, 1000000000};
    ASSERT_EQ(::utime(QFile::encodeName(files.user).constData(), &times), 0);
    EXPECT_EQ(query(HKCU, "Software\\Glyphary\\Pos", "MainTop"), regDword(101));

    // Replaced by another program, and then removed.
    QFile::remove(files.user);
    writeFile(files.user, "WINE REGISTRY Version 2\n[Software\\\\Glyphary\\\\Pos]\n\"MainTop\"=dword:00000001\n");
    EXPECT_EQ(query(HKCU, "Software\\Glyphary\\Pos", "MainTop"), regDword(1));
    const HKEY pos = open(HKCU, "Software\\Glyphary\\Pos");
    QFile::remove(files.user);
    EXPECT_FALSE(reg->valueExists(HKCU, "Software\\Glyphary\\Pos", "MainTop"));
    std::string name;
    EXPECT_EQ(reg->RegEnumValueA(pos, 0, &name, nullptr, nullptr), ERROR_KEY_DELETED);
    EXPECT_EQ(reg->RegSetValueExA(pos, "v", REG_DWORD, regDword(1)), ERROR_KEY_DELETED);
    EXPECT_EQ(reg->RegCloseKey(pos), ERROR_SUCCESS);
}

TEST_F(RegistryTest, ClassesRootAndUsersAreViewsOfTheHives)
{
    ASSERT_EQ(set(HKCR, ".ico\\DefaultIcon", "", "%1"), ERROR_SUCCESS);
    EXPECT_TRUE(machine().contains("\n[Software\\\\Classes\\\\.ico\\\\DefaultIcon] "));
    EXPECT_FALSE(QFile::exists(files.user));
    EXPECT_EQ(query(HKLM, "Software\\Classes\\.ico\\DefaultIcon", ""), regString("%1"));
    EXPECT_EQ(open(HKCR, ""), HKCR);
    EXPECT_EQ(subkeys(HKCR), Names{".ico"});
    EXPECT_EQ(reg->RegDeleteKeyA(HKCR, ""), ERROR_ACCESS_DENIED);

    // HKEY_USERS holds the default user and Wine's user.
    ASSERT_EQ(set(HKU, ".DEFAULT\\Control Panel", "v", 7), ERROR_SUCCESS);
    EXPECT_TRUE(readFile(files.defaultUser).contains("[Control Panel] "));
    EXPECT_TRUE(readFile(files.defaultUser).contains(";; All keys relative to REGISTRY\\\\User\\\\.Default\n"));
    EXPECT_EQ(query(HKU, ".Default\\Control Panel", "v"), regDword(7));
    ASSERT_EQ(set(HKCU, "Software", "u", 8), ERROR_SUCCESS);
    EXPECT_EQ(query(HKU, "S-1-5-21-0-0-0-1000\\Software", "u"), regDword(8));
    HKEY key = 0;
    EXPECT_EQ(reg->RegOpenKeyExA(HKU, "S-1-5-18\\Software", 0, 0, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(reg->RegCreateKeyExA(HKU, "Other", 0, 0, &key, nullptr), ERROR_ACCESS_DENIED);
    std::string name;
    EXPECT_EQ(reg->RegEnumKeyExA(HKU, 0, &name), ERROR_SUCCESS);
    EXPECT_EQ(name, ".Default");
    DWORD type = 0;
    EXPECT_EQ(reg->RegQueryValueExA(HKU, "v", &type, nullptr), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(reg->RegSetValueExA(HKU, "v", REG_DWORD, regDword(1)), ERROR_ACCESS_DENIED);
}

TEST_F(RegistryTest, ErrorCodesForHandlesAndMissingThings)
{
    const HKEY bogus = 0x1234;
    std::string name;
    Bytes data;
    DWORD type = 0;
    HKEY key = 0;
    EXPECT_EQ(reg->RegCloseKey(bogus), ERROR_INVALID_HANDLE);
    EXPECT_EQ(reg->RegQueryValueExA(bogus, "v", &type, &data), ERROR_INVALID_HANDLE);
    EXPECT_EQ(reg->RegEnumKeyExA(bogus, 0, &name), ERROR_INVALID_HANDLE);
    EXPECT_EQ(reg->RegOpenKeyExA(bogus, "x", 0, 0, &key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(reg->RegOpenKeyExA(HKLM, "x", 0, 0, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(reg->RegCreateKeyExA(HKLM, std::string(256, 'k'), 0, 0, &key, nullptr), ERROR_INVALID_PARAMETER);

    ASSERT_EQ(set(HKLM, "Software\\K", "v", 1), ERROR_SUCCESS);
    key = open(HKLM, "Software\\K");
    EXPECT_LT(key, HKCR);
    EXPECT_EQ(reg->RegQueryValueExA(key, "missing", &type, &data), ERROR_FILE_NOT_FOUND);
    const HKEY same = open(key, "");
    EXPECT_NE(same, key);
    EXPECT_EQ(reg->RegQueryValueExA(same, "V", &type, &data), ERROR_SUCCESS);
    EXPECT_EQ(data, regDword(1));
    EXPECT_EQ(reg->RegCloseKey(same), ERROR_SUCCESS);
    EXPECT_EQ(reg->RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(reg->RegCloseKey(key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(reg->RegCloseKey(HKLM), ERROR_SUCCESS);
}

TEST_F(RegistryTest, FailedSaveKeepsTheOldFileAndMemoryMatchesDisk)
{
    writeFile(files.user, kUserHive);
    LONG status = ERROR_SUCCESS;
    onFullDisk([&] { status = set(HKCU, "Software\\Glyphary\\Settings", "Path", "D:\\"); });
    EXPECT_EQ(status, ERROR_WRITE_FAULT);
    EXPECT_EQ(user(), kUserHive);
    EXPECT_EQ(query(HKCU, "Software\\Glyphary\\Settings", "Path"), regString("C:\\Glyphary\\"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"user.reg"});
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_TRUE(problems[0].endsWith(" could not be saved. Glyphary's change to it was not made."));
    // And the next write works again.
    EXPECT_EQ(set(HKCU, "Software\\Glyphary\\Settings", "Path", "D:\\"), ERROR_SUCCESS);
    EXPECT_EQ(query(HKCU, "Software\\Glyphary\\Settings", "Path"), regString("D:\\"));

    // A new hive that cannot be saved leaves nothing behind.
    files.machine = dir.filePath(QStringLiteral("missing/system.reg"));
    reopen();
    status = set(HKLM, "Software", "v", 1);
    EXPECT_TRUE(status == ERROR_ACCESS_DENIED || status == ERROR_WRITE_FAULT) << status;
    EXPECT_FALSE(reg->valueExists(HKLM, "Software", "v"));
    HKEY key = 0;
    EXPECT_EQ(reg->RegOpenKeyExA(HKLM, "Software", 0, 0, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(QFileInfo::exists(files.machine));
}

// A batch: one save for a run of writes, with reads seeing them meanwhile.
TEST_F(RegistryTest, BatchWritesEveryValueOnceAtItsOutermostEnd)
{
    {
        RegistryBatch batch(*reg);
        for (int i = 0; i < 23; ++i)
            ASSERT_EQ(set(HKCU, "Software\\Batch", "v" + std::to_string(i), std::to_string(i)), ERROR_SUCCESS);
        EXPECT_EQ(query(HKCU, "Software\\Batch", "v7"), regString("7"));
        EXPECT_FALSE(QFile::exists(files.user));
    }
    EXPECT_TRUE(user().contains("\"v0\"=\"0\""));
    EXPECT_TRUE(user().contains("\"v22\"=\"22\""));
    EXPECT_TRUE(Registry(files, KeyDeletion::RefuseWithSubkeys).valueExists(HKCU, "Software\\Batch", "v22"));

    reg->beginBatch();
    reg->beginBatch();
    set(HKCU, "Software\\Batch", "inner", "x");
    EXPECT_EQ(reg->endBatch(), ERROR_SUCCESS);
    EXPECT_FALSE(user().contains("inner"));
    EXPECT_EQ(reg->endBatch(), ERROR_SUCCESS);
    EXPECT_TRUE(user().contains("inner"));

    // A failed save at the end leaves the old file, and memory matching it.
    const QByteArray before = user();
    reg->beginBatch();
    set(HKCU, "Software\\Batch", "new", "2");
    LONG status = ERROR_SUCCESS;
    onFullDisk([&] { status = reg->endBatch(); });
    EXPECT_NE(status, ERROR_SUCCESS);
    EXPECT_EQ(user(), before);
    EXPECT_FALSE(reg->valueExists(HKCU, "Software\\Batch", "new"));
}

} // namespace
