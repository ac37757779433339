#include "platform/Registry.h"

#include "formats/Cp1252.h"
#include "formats/WineRegistryFile.h"
#include "platform/AtomicFile.h"

#include <QFile>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <optional>
#include <unordered_map>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace glyphary::platform {
namespace {

using formats::WineRegistryDocument;
using formats::WineRegistryValue;

enum HiveIndex : int { MachineHive = 0, UserHive = 1, DefaultUserHive = 2, UsersRoot = -1 };

// Wine's fixed SID for the one user of a prefix; HKEY_USERS\<it> is HKEY_CURRENT_USER.
constexpr std::u16string_view kUserSid = u"S-1-5-21-0-0-0-1000";
constexpr std::u16string_view kDefaultUser = u".Default";
constexpr std::u16string_view kClassesPath = u"Software\\Classes";

constexpr std::array<std::string_view, 3> kRelativeTo = {
    "REGISTRY\\\\Machine",
    "REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000",
    "REGISTRY\\\\User\\\\.Default",
};

constexpr HKEY kFirstHandle = 0x100;
constexpr HKEY kHandleStep = 4;

// What identifies one version of a file: a rename over it changes the inode, a write its size or time.
struct FileStamp {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    std::int64_t mtimeSeconds = 0;
    std::int64_t mtimeNanoseconds = 0;
    bool operator==(const FileStamp&) const = default;
};

FileStamp stampOf(const struct stat& info)
{
    return {true, info.st_dev, info.st_ino, info.st_size, static_cast<std::int64_t>(info.st_mtim.tv_sec),
            static_cast<std::int64_t>(info.st_mtim.tv_nsec)};
}

std::uint64_t fileTimeNow()
{
    const auto sinceUnixEpoch = std::chrono::system_clock::now().time_since_epoch();
    const auto ticks = std::chrono::duration_cast<std::chrono::duration<std::int64_t, std::ratio<1, 10000000>>>(sinceUnixEpoch);
    return formats::kFileTimeUnixEpoch + static_cast<std::uint64_t>(std::max<std::int64_t>(ticks.count(), 0));
}

std::u16string fromAnsi(std::string_view ansi)
{
    const QString text = formats::fromCp1252(ansi);
    return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size()));
}

std::string toAnsi(std::u16string_view text)
{
    return formats::toCp1252(QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())));
}

bool isStringType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

// ANSI string data as the A call gets it (terminating zero optional) to UTF-16LE with one.
std::vector<std::uint8_t> storedString(std::span<const std::uint8_t> ansi)
{
    std::string text(ansi.begin(), ansi.end());
    if (text.empty() || text.back() != '\0')
        text.push_back('\0');
    std::vector<std::uint8_t> out;
    for (const char16_t unit : fromAnsi(text))
        formats::putU16le(out, unit);
    return out;
}

// Stored UTF-16LE string data back to ANSI, ending in a zero.
std::vector<std::uint8_t> ansiString(const std::vector<std::uint8_t>& utf16)
{
    const formats::ByteReader reader(utf16);
    std::u16string units;
    for (std::size_t at = 0; at + 1 < utf16.size(); at += 2)
        units.push_back(static_cast<char16_t>(*reader.u16le(at)));
    std::string text = toAnsi(units);
    if (text.empty() || text.back() != '\0')
        text.push_back('\0');
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

std::vector<std::u16string_view> components(std::u16string_view path)
{
    return formats::WineRegistryDocument::splitKeyPath(path);
}

std::u16string joinPath(std::u16string_view base, std::u16string_view sub)
{
    std::u16string out(base);
    for (const auto part : components(sub)) {
        if (!out.empty())
            out += u'\\';
        out += part;
    }
    return out;
}

// `path` is `base` or lies below it.
bool isWithin(std::u16string_view path, std::u16string_view base)
{
    const auto pathParts = components(path);
    const auto baseParts = components(base);
    if (baseParts.size() > pathParts.size())
        return false;
    for (std::size_t i = 0; i < baseParts.size(); ++i) {
        if (!formats::registryNamesEqual(pathParts[i], baseParts[i]))
            return false;
    }
    return true;
}

bool isPredefined(HKEY key)
{
    return key == HKEY_CLASSES_ROOT || key == HKEY_CURRENT_USER || key == HKEY_LOCAL_MACHINE || key == HKEY_USERS;
}

// Where a handle points: a hive and a key path in it, or HKEY_USERS itself (hive UsersRoot).
struct Location {
    int hive = UsersRoot;
    std::u16string path;
};

} // namespace

struct Registry::Impl {
    struct Hive {
        QString hostPath;
        QByteArray nativePath;
        std::string_view relativeTo;
        WineRegistryDocument document;
        std::optional<FileStamp> stamp; // of the file the document was read from; none: read again
        bool readOnly = false;          // not read completely: never written
        bool readProblemReported = false;
        bool saveProblemReported = false;
        bool unsaved = false;           // changed inside a batch
        bool checkedInBatch = false;    // compared with its file once in the running batch
    };

    struct OpenKey {
        Location location;
        bool deleted = false;
    };

    std::array<Hive, 3> hives;
    KeyDeletion deletion;
    std::function<void(const QString&, const QString&)> reporter;
    std::unordered_map<HKEY, OpenKey> handles;
    HKEY nextHandle = kFirstHandle;
    int batchDepth = 0;

    void report(Hive& hive, bool& reported, const QString& message)
    {
        if (reported)
            return;
        reported = true;
        if (reporter)
            reporter(hive.hostPath, message);
    }

    void reportUnreadable(Hive& hive, bool partly)
    {
        const QString what = partly ? QStringLiteral("could not be read completely") : QStringLiteral("could not be read");
        report(hive, hive.readProblemReported,
               QStringLiteral("The registry file %1 %2. Glyphary will not change it.").arg(hive.hostPath, what));
    }

    static std::optional<FileStamp> currentStamp(const Hive& hive)
    {
        struct stat info {};
        if (::stat(hive.nativePath.constData(), &info) == 0)
            return stampOf(info);
        if (errno == ENOENT || errno == ENOTDIR)
            return FileStamp{};
        return std::nullopt;
    }

    void load(Hive& hive)
    {
        hive.readOnly = false;
        hive.stamp.reset();
        const int fd = ::open(hive.nativePath.constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            if (errno == ENOENT || errno == ENOTDIR) {
                hive.document = WineRegistryDocument::createNew(hive.relativeTo, "win32");
                hive.stamp = FileStamp{};
                return;
            }
            hive.document = WineRegistryDocument();
            hive.readOnly = true;
            hive.stamp = currentStamp(hive);
            reportUnreadable(hive, false);
            return;
        }
        struct stat info {};
        std::vector<std::uint8_t> bytes;
        bool readAll = ::fstat(fd, &info) == 0;
        if (readAll) {
            bytes.reserve(std::min(static_cast<std::size_t>(std::max<off_t>(info.st_size, 0)), formats::kMaxWineRegistryBytes));
            readAll = readFile(fd, bytes);
        }
        ::close(fd);
        if (!readAll) {
            hive.document = WineRegistryDocument();
            hive.readOnly = true;
            hive.stamp = currentStamp(hive);
            reportUnreadable(hive, false);
            return;
        }
        hive.stamp = stampOf(info);
        auto parsed = formats::parseWineRegistry(bytes);
        hive.document = std::move(parsed.document);
        if (!parsed.complete) {
            hive.readOnly = true;
            reportUnreadable(hive, true);
        } else if (!hive.document.hasHeader()) {
            hive.document = WineRegistryDocument::createNew(hive.relativeTo, "win32");
        }
    }

    // Reads to the end; false on a read error or past the size cap.
    static bool readFile(int fd, std::vector<std::uint8_t>& bytes)
    {
        std::array<std::uint8_t, 64 * 1024> chunk {};
        for (;;) {
            const ssize_t got = ::read(fd, chunk.data(), chunk.size());
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                return false;
            if (got == 0)
                return true;
            if (bytes.size() + static_cast<std::size_t>(got) > formats::kMaxWineRegistryBytes)
                return false;
            bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + got);
        }
    }

    // Served from memory while the file on disk stays the one that was read.
    Hive& fresh(int index)
    {
        Hive& hive = hives[static_cast<std::size_t>(index)];
        if (hive.unsaved)
            return hive; // memory is ahead of the file until the batch ends
        if (batchDepth > 0 && hive.checkedInBatch)
            return hive;
        if (!hive.stamp || hive.stamp != currentStamp(hive))
            load(hive);
        hive.checkedInBatch = batchDepth > 0;
        return hive;
    }

    // Writes the whole hive to a temporary file beside it, flushed to disk, then renamed over it.
    // On failure the old file stays, and the document is read again so that memory matches disk.
    LONG save(Hive& hive)
    {
        if (batchDepth > 0) {
            hive.unsaved = true;
            return ERROR_SUCCESS;
        }
        hive.unsaved = false;
        const FileWriteResult written = writeFileAtomically(hive.hostPath, hive.document.serialize());
        if (!written.ok) {
            const LONG status = written.accessDenied ? ERROR_ACCESS_DENIED : ERROR_WRITE_FAULT;
            load(hive);
            report(hive, hive.saveProblemReported,
                   QStringLiteral("The registry file %1 could not be saved. Glyphary's change to it was not made.")
                       .arg(hive.hostPath));
            return status;
        }
        hive.stamp = currentStamp(hive);
        return ERROR_SUCCESS;
    }

    // The location of an open or predefined key, without checking that it still exists.
    LONG base(HKEY key, Location& out, bool& predefined)
    {
        predefined = true;
        switch (key) {
        case HKEY_CLASSES_ROOT:
            out = {MachineHive, std::u16string(kClassesPath)};
            return ERROR_SUCCESS;
        case HKEY_CURRENT_USER:
            out = {UserHive, {}};
            return ERROR_SUCCESS;
        case HKEY_LOCAL_MACHINE:
            out = {MachineHive, {}};
            return ERROR_SUCCESS;
        case HKEY_USERS:
            out = {UsersRoot, {}};
            return ERROR_SUCCESS;
        default:
            break;
        }
        predefined = false;
        const auto found = handles.find(key);
        if (found == handles.end())
            return ERROR_INVALID_HANDLE;
        if (found->second.deleted)
            return ERROR_KEY_DELETED;
        out = found->second.location;
        return ERROR_SUCCESS;
    }

    // The key a handle stands for and its hive, read (none for HKEY_USERS itself);
    // ERROR_KEY_DELETED when an opened key is gone.
    LONG keyOf(HKEY key, Location& out, Hive*& hive)
    {
        bool predefined = false;
        hive = nullptr;
        if (const LONG status = base(key, out, predefined); status != ERROR_SUCCESS)
            return status;
        if (out.hive == UsersRoot)
            return ERROR_SUCCESS;
        hive = &fresh(out.hive);
        if (!predefined && !hive->document.keyExists(out.path)) {
            handles[key].deleted = true;
            return ERROR_KEY_DELETED;
        }
        return ERROR_SUCCESS;
    }

    // The location of `subKey` below `key`. Below HKEY_USERS only .Default and Wine's user exist.
    LONG locate(HKEY key, std::string_view subKey, Location& out)
    {
        Location parent;
        Hive* parentHive = nullptr;
        if (const LONG status = keyOf(key, parent, parentHive); status != ERROR_SUCCESS)
            return status;
        const std::u16string sub = fromAnsi(subKey);
        if (parent.hive != UsersRoot) {
            out = {parent.hive, joinPath(parent.path, sub)};
        } else {
            const auto parts = components(sub);
            if (parts.empty()) {
                out = parent;
                return ERROR_SUCCESS;
            }
            if (formats::registryNamesEqual(parts.front(), kDefaultUser))
                out.hive = DefaultUserHive;
            else if (formats::registryNamesEqual(parts.front(), kUserSid))
                out.hive = UserHive;
            else
                return ERROR_FILE_NOT_FOUND;
            const auto afterFirst = static_cast<std::size_t>(parts.front().data() - sub.data()) + parts.front().size();
            out.path = joinPath({}, std::u16string_view(sub).substr(afterFirst));
        }
        return WineRegistryDocument::isValidKeyPath(out.path) ? ERROR_SUCCESS : ERROR_INVALID_PARAMETER;
    }

    HKEY newHandle(Location location)
    {
        while (handles.contains(nextHandle) || isPredefined(nextHandle) || nextHandle == 0) {
            nextHandle += kHandleStep;
            if (nextHandle >= HKEY_CLASSES_ROOT)
                nextHandle = kFirstHandle;
        }
        const HKEY handle = nextHandle;
        nextHandle += kHandleStep;
        handles.emplace(handle, OpenKey{std::move(location), false});
        return handle;
    }

    // Predefined roots are handed back as themselves, as Windows does for an empty subkey.
    static bool isRootOf(HKEY key, std::string_view subKey) { return isPredefined(key) && components(fromAnsi(subKey)).empty(); }

    // The hive to change at `location`, or the error that forbids it.
    LONG writableHive(const Location& location, Hive*& out)
    {
        if (location.hive == UsersRoot)
            return ERROR_ACCESS_DENIED;
        out = &fresh(location.hive);
        return out->readOnly ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
    }
};

Registry::Registry(RegistryFiles files, KeyDeletion deletion) : impl_(std::make_unique<Impl>())
{
    const std::array<QString, 3> paths = {files.machine, files.user, files.defaultUser};
    for (std::size_t i = 0; i < paths.size(); ++i) {
        impl_->hives[i].hostPath = paths[i];
        impl_->hives[i].nativePath = QFile::encodeName(paths[i]);
        impl_->hives[i].relativeTo = kRelativeTo[i];
    }
    impl_->deletion = deletion;
}

Registry::~Registry() = default;

void Registry::setKeyDeletion(KeyDeletion deletion) { impl_->deletion = deletion; }

void Registry::setProblemReporter(std::function<void(const QString& hostPath, const QString& message)> reporter)
{
    impl_->reporter = std::move(reporter);
}

LONG Registry::RegOpenKeyExA(HKEY key, std::string_view subKey, DWORD, DWORD, HKEY* result)
{
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = 0;
    Location location;
    if (const LONG status = impl_->locate(key, subKey, location); status != ERROR_SUCCESS)
        return status;
    if (Impl::isRootOf(key, subKey)) {
        *result = key;
        return ERROR_SUCCESS;
    }
    if (location.hive != UsersRoot && !impl_->fresh(location.hive).document.keyExists(location.path))
        return ERROR_FILE_NOT_FOUND;
    *result = impl_->newHandle(std::move(location));
    return ERROR_SUCCESS;
}

LONG Registry::RegCreateKeyExA(HKEY key, std::string_view subKey, DWORD, DWORD, HKEY* result, DWORD* disposition)
{
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = 0;
    Location location;
    if (const LONG status = impl_->locate(key, subKey, location); status != ERROR_SUCCESS)
        return status == ERROR_FILE_NOT_FOUND ? ERROR_ACCESS_DENIED : status;
    DWORD outcome = REG_OPENED_EXISTING_KEY;
    if (Impl::isRootOf(key, subKey)) {
        *result = key;
    } else {
        if (location.hive != UsersRoot && !impl_->fresh(location.hive).document.keyExists(location.path)) {
            Impl::Hive* hive = nullptr;
            if (const LONG status = impl_->writableHive(location, hive); status != ERROR_SUCCESS)
                return status;
            hive->document.createKey(location.path, fileTimeNow());
            if (const LONG status = impl_->save(*hive); status != ERROR_SUCCESS)
                return status;
            outcome = REG_CREATED_NEW_KEY;
        }
        *result = impl_->newHandle(std::move(location));
    }
    if (disposition)
        *disposition = outcome;
    return ERROR_SUCCESS;
}

void Registry::beginBatch()
{
    ++impl_->batchDepth;
}

LONG Registry::endBatch()
{
    if (impl_->batchDepth == 0 || --impl_->batchDepth > 0)
        return ERROR_SUCCESS;
    LONG result = ERROR_SUCCESS;
    for (Impl::Hive& hive : impl_->hives) {
        hive.checkedInBatch = false;
        if (!hive.unsaved)
            continue;
        if (const LONG status = impl_->save(hive); status != ERROR_SUCCESS && result == ERROR_SUCCESS)
            result = status;
    }
    return result;
}

LONG Registry::RegCloseKey(HKEY key)
{
    if (isPredefined(key))
        return ERROR_SUCCESS;
    return impl_->handles.erase(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG Registry::RegQueryValueExA(HKEY key, std::string_view valueName, DWORD* type, std::vector<std::uint8_t>* data)
{
    Location location;
    Impl::Hive* hive = nullptr;
    if (const LONG status = impl_->keyOf(key, location, hive); status != ERROR_SUCCESS)
        return status;
    if (!hive)
        return ERROR_FILE_NOT_FOUND;
    const WineRegistryValue* value = hive->document.findValue(location.path, fromAnsi(valueName));
    if (!value)
        return ERROR_FILE_NOT_FOUND;
    if (type)
        *type = value->type;
    if (data)
        *data = isStringType(value->type) ? ansiString(value->data) : value->data;
    return ERROR_SUCCESS;
}

LONG Registry::RegSetValueExA(HKEY key, std::string_view valueName, DWORD type, std::span<const std::uint8_t> data)
{
    Location location;
    Impl::Hive* hive = nullptr;
    if (const LONG status = impl_->keyOf(key, location, hive); status != ERROR_SUCCESS)
        return status;
    if (!hive || hive->readOnly)
        return ERROR_ACCESS_DENIED;
    WineRegistryValue value;
    value.name = fromAnsi(valueName);
    value.type = type;
    value.data = isStringType(type) ? storedString(data) : std::vector<std::uint8_t>(data.begin(), data.end());
    if (!WineRegistryDocument::isValidKeyPath(location.path) || value.name.size() > formats::kMaxValueNameUnits)
        return ERROR_INVALID_PARAMETER;
    if (!hive->document.setValue(location.path, std::move(value), fileTimeNow()))
        return ERROR_SUCCESS; // the same data is there already
    return impl_->save(*hive);
}

LONG Registry::RegDeleteValueA(HKEY key, std::string_view valueName)
{
    Location location;
    Impl::Hive* hive = nullptr;
    if (const LONG status = impl_->keyOf(key, location, hive); status != ERROR_SUCCESS)
        return status;
    const std::u16string name = fromAnsi(valueName);
    if (!hive || !hive->document.findValue(location.path, name))
        return ERROR_FILE_NOT_FOUND;
    if (hive->readOnly)
        return ERROR_ACCESS_DENIED;
    hive->document.removeValue(location.path, name, fileTimeNow());
    return impl_->save(*hive);
}

LONG Registry::RegDeleteKeyA(HKEY key, std::string_view subKey)
{
    Location location;
    if (const LONG status = impl_->locate(key, subKey, location); status != ERROR_SUCCESS)
        return status;
    if (location.hive == UsersRoot || Impl::isRootOf(key, subKey) || location.path.empty())
        return ERROR_ACCESS_DENIED;
    Impl::Hive& hive = impl_->fresh(location.hive);
    WineRegistryDocument& document = hive.document;
    if (!document.keyExists(location.path))
        return ERROR_FILE_NOT_FOUND;
    if (document.subkeyCount(location.path) > 0 && impl_->deletion == KeyDeletion::RefuseWithSubkeys)
        return ERROR_ACCESS_DENIED;
    if (hive.readOnly)
        return ERROR_ACCESS_DENIED;
    document.removeTree(location.path, fileTimeNow());
    if (const LONG status = impl_->save(hive); status != ERROR_SUCCESS)
        return status;
    for (auto& [handle, open] : impl_->handles) {
        if (open.location.hive == location.hive && isWithin(open.location.path, location.path))
            open.deleted = true;
    }
    return ERROR_SUCCESS;
}

LONG Registry::RegEnumKeyExA(HKEY key, DWORD index, std::string* name)
{
    if (!name)
        return ERROR_INVALID_PARAMETER;
    Location location;
    Impl::Hive* hive = nullptr;
    if (const LONG status = impl_->keyOf(key, location, hive); status != ERROR_SUCCESS)
        return status;
    if (!hive) {
        static constexpr std::array<std::u16string_view, 2> kUsers = {kDefaultUser, kUserSid};
        if (index >= kUsers.size())
            return ERROR_NO_MORE_ITEMS;
        *name = toAnsi(kUsers[index]);
        return ERROR_SUCCESS;
    }
    const std::u16string* subkey = hive->document.subkeyName(location.path, index);
    if (!subkey)
        return ERROR_NO_MORE_ITEMS;
    *name = toAnsi(*subkey);
    return ERROR_SUCCESS;
}

LONG Registry::RegEnumValueA(HKEY key, DWORD index, std::string* name, DWORD* type, std::vector<std::uint8_t>* data)
{
    Location location;
    Impl::Hive* hive = nullptr;
    if (const LONG status = impl_->keyOf(key, location, hive); status != ERROR_SUCCESS)
        return status;
    if (!hive)
        return ERROR_NO_MORE_ITEMS;
    const auto values = hive->document.values(location.path);
    if (index >= values.size())
        return ERROR_NO_MORE_ITEMS;
    const WineRegistryValue& value = values[index];
    if (name)
        *name = toAnsi(value.name);
    if (type)
        *type = value.type;
    if (data)
        *data = isStringType(value.type) ? ansiString(value.data) : value.data;
    return ERROR_SUCCESS;
}

LONG Registry::setValue(HKEY root, std::string_view keyPath, std::string_view valueName, DWORD type,
                        std::span<const std::uint8_t> data)
{
    HKEY key = 0;
    if (const LONG status = RegCreateKeyExA(root, keyPath, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS_LOW, &key, nullptr);
        status != ERROR_SUCCESS)
        return status;
    const LONG status = RegSetValueExA(key, valueName, type, data);
    RegCloseKey(key);
    return status;
}

bool Registry::valueExists(HKEY root, std::string_view keyPath, std::string_view valueName)
{
    HKEY key = 0;
    if (RegOpenKeyExA(root, keyPath, 0, KEY_ALL_ACCESS_LOW, &key) != ERROR_SUCCESS)
        return false;
    DWORD type = 0;
    const bool found = RegQueryValueExA(key, valueName, &type, nullptr) == ERROR_SUCCESS;
    RegCloseKey(key);
    return found;
}

std::vector<std::uint8_t> regString(std::string_view ansi)
{
    std::vector<std::uint8_t> out(ansi.begin(), ansi.end());
    out.push_back(0);
    return out;
}

std::vector<std::uint8_t> regDword(std::uint32_t value)
{
    std::vector<std::uint8_t> out;
    formats::putU32le(out, value);
    return out;
}

} // namespace glyphary::platform
