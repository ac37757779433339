#pragma once
// Shell links (.lnk): ShellLinkHeader (76 bytes) | [LinkTargetIDList] | [LinkInfo] | [StringData:
// name, relative path, working dir, arguments, icon location] | ExtraData blocks | terminal block.
//
// Reading takes what a shortcut names; writing makes the minimal shortcut that Windows and Wine
// both resolve (a LinkInfo with the local path, Unicode string data); replacing the icon keeps every
// other byte of an existing shortcut.

#include "formats/ByteReader.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace glyphary::formats {

// Shortcuts are a few KB; nothing legitimate comes near this.
inline constexpr std::size_t kMaxShellLinkBytes = 1024 * 1024;
// Blocks walked in the extra data and items in an ID list, whatever the sizes say.
inline constexpr std::size_t kMaxShellLinkExtraBlocks = 256;
inline constexpr std::size_t kMaxShellLinkIdItems = 256;

namespace shell_link_flag {
inline constexpr std::uint32_t kHasLinkTargetIdList = 0x1;
inline constexpr std::uint32_t kHasLinkInfo = 0x2;
inline constexpr std::uint32_t kHasName = 0x4;
inline constexpr std::uint32_t kHasRelativePath = 0x8;
inline constexpr std::uint32_t kHasWorkingDir = 0x10;
inline constexpr std::uint32_t kHasArguments = 0x20;
inline constexpr std::uint32_t kHasIconLocation = 0x40;
inline constexpr std::uint32_t kIsUnicode = 0x80;
inline constexpr std::uint32_t kForceNoLinkInfo = 0x100;
inline constexpr std::uint32_t kHasExpString = 0x200;
inline constexpr std::uint32_t kHasExpIcon = 0x4000;
} // namespace shell_link_flag

struct ShellLinkFields {
    std::u16string exeFile; // the target
    std::u16string workDir;
    std::u16string exeArgs;
    std::u16string iconFile; // may be empty
    std::int32_t iconIndex = 0;
    std::int32_t showCmd = 1; // SW_SHOWNORMAL; unknown stored values read as 1
    bool exeFileRelative = false; // exeFile is the relative path, reckoned from the link's folder
    bool operator==(const ShellLinkFields&) const = default;
};

// The fields of a shortcut. exeFile is the LinkInfo's local path (with its suffix), else the ID
// list's file-system path, else the environment block's target, else the relative path. iconFile
// is the icon location, else the icon environment block's path. Strings lose trailing NULs.
// Damaged later parts leave the fields read before them; nullopt when the header is not a shell
// link's (or the file is over kMaxShellLinkBytes).
std::optional<ShellLinkFields> readShellLink(Bytes file);

// A new shortcut with exactly these fields. It has no ID list: the LinkInfo's local path is what
// every reader resolves; empty texts are left out. Texts longer than a string field holds (65535
// units) are cut there.
ByteVector writeShellLink(const ShellLinkFields& fields);

// The shortcut with its icon location and index replaced and everything else kept byte for byte.
// An icon environment block stays but its flag is cleared, since it would name the old icon.
// nullopt when the shortcut does not read through its string data (the caller must not guess).
std::optional<ByteVector> replaceShellLinkIcon(Bytes file, const std::u16string& iconFile, std::int32_t iconIndex);

} // namespace glyphary::formats
