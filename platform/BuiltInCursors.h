#pragma once
// The pictures behind LoadCursorA's built-in ids: our own 32 x 32 drawings, black outlines on white
// with a hot spot where each pointer acts.

#include "platform/IconFunctions.h"

#include <span>

namespace glyphary::platform {

// Every id drawBuiltInCursor knows, in IDC_* order.
std::span<const int> builtInCursorIds();

// The cursor for an IDC_* id; a null icon for any other id.
Icon drawBuiltInCursor(int id);

} // namespace glyphary::platform
