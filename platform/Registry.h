#pragma once
// The emulated Windows registry: three hive files in Wine's format under the root
// (system.reg = HKEY_LOCAL_MACHINE, user.reg = HKEY_CURRENT_USER, userdef.reg = HKEY_USERS\.Default),
// behind Win32-shaped calls. Hives are read once and re-read when the file changes on disk; every
// change is saved at once and atomically. A hive file that does not parse completely is never
// written: writes to it fail with ERROR_ACCESS_DENIED and the owner is told once through the
// problem reporter.
//
// Names are ANSI (Windows-1252) and compared case-insensitively. String data in and out of the
// A calls is ANSI with its terminating zero, as the A functions of Windows give it.

#include "platform/Win32Types.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace glyphary::platform {

struct RegistryFiles {
    QString machine;     // host path of system.reg
    QString user;        // host path of user.reg
    QString defaultUser; // host path of userdef.reg
};

// How RegDeleteKeyA treats a key with subkeys: NT refuses, 95/98 remove the whole tree.
enum class KeyDeletion { RefuseWithSubkeys, RemoveTree };

class Registry {
public:
    Registry(RegistryFiles files, KeyDeletion deletion);
    ~Registry();
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    void setKeyDeletion(KeyDeletion deletion);

    // Called once per hive file that cannot be parsed (or cannot be written), with its host path
    // and a sentence for the person.
    void setProblemReporter(std::function<void(const QString& hostPath, const QString& message)> reporter);

    LONG RegOpenKeyExA(HKEY key, std::string_view subKey, DWORD options, DWORD samDesired, HKEY* result);
    LONG RegCreateKeyExA(HKEY key, std::string_view subKey, DWORD options, DWORD samDesired, HKEY* result,
                         DWORD* disposition);
    LONG RegCloseKey(HKEY key);

    // `data` receives the raw value (string types as ANSI with terminating zero); `type` the type.
    // Either may be null (size-only or type-only query).
    LONG RegQueryValueExA(HKEY key, std::string_view valueName, DWORD* type, std::vector<std::uint8_t>* data);
    LONG RegSetValueExA(HKEY key, std::string_view valueName, DWORD type, std::span<const std::uint8_t> data);
    LONG RegDeleteValueA(HKEY key, std::string_view valueName);
    LONG RegDeleteKeyA(HKEY key, std::string_view subKey);

    // Enumerations in the hive's stored order; ERROR_NO_MORE_ITEMS past the end.
    LONG RegEnumKeyExA(HKEY key, DWORD index, std::string* name);
    LONG RegEnumValueA(HKEY key, DWORD index, std::string* name, DWORD* type, std::vector<std::uint8_t>* data);

    // A batch groups a run of changes into one save per hive: inside it, changes stay in memory
    // (reads see them) and the end writes each changed hive once, atomically, so that either all of
    // the run's changes to a hive land or none does. Batches nest; the outermost end saves and
    // returns the first failing save's code. Inside a batch each hive file is compared with the
    // disk once, so that a run of many reads costs no file check per call.
    void beginBatch();
    LONG endBatch();

    // Convenience for seeding and tests: value set / read in one call on a key path.
    LONG setValue(HKEY root, std::string_view keyPath, std::string_view valueName, DWORD type,
                  std::span<const std::uint8_t> data);
    bool valueExists(HKEY root, std::string_view keyPath, std::string_view valueName);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// A batch for the lifetime of a scope.
class RegistryBatch {
public:
    explicit RegistryBatch(Registry& registry) : registry_(registry) { registry_.beginBatch(); }
    ~RegistryBatch() { registry_.endBatch(); }
    RegistryBatch(const RegistryBatch&) = delete;
    RegistryBatch& operator=(const RegistryBatch&) = delete;

private:
    Registry& registry_;
};

// Byte helpers for the A calls.
std::vector<std::uint8_t> regString(std::string_view ansi);  // ANSI text + terminating zero
std::vector<std::uint8_t> regDword(std::uint32_t value);      // 4 bytes little-endian

} // namespace glyphary::platform
