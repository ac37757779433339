#pragma once
// DOS attributes of a file or folder, kept the way Wine keeps them on Linux: the text "0x..." in
// the user.DOSATTRIB extended attribute.

#include <QString>

#include <cstdint>
#include <optional>

namespace glyphary::platform {

inline constexpr std::uint32_t kDosReadOnly = 0x1;
inline constexpr std::uint32_t kDosHidden = 0x2;
inline constexpr std::uint32_t kDosSystem = 0x4;

// Nothing stored (or unreadable text) reads as 0.
std::uint32_t dosAttributes(const QString& hostPath);

// 0 removes the attribute. False when the file system refuses extended attributes.
bool setDosAttributes(const QString& hostPath, std::uint32_t attributes);

} // namespace glyphary::platform
