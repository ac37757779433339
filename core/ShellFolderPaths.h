#pragma once
// The shell's special folders by their CSIDL numbers.

#include <QString>

namespace glyphary {

namespace platform { class Registry; }

// The shell's special folders by CSIDL number, each with a trailing backslash; "" on any failure.
class cSpecialFolders {
public:
    explicit cSpecialFolders(platform::Registry& registry) : registry_(registry) {}
    QString path(int csidl) const;

private:
    platform::Registry& registry_;
};

} // namespace glyphary
