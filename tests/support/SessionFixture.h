#pragma once
// A session on its own temporary root: the context, the settings over the root's registry, a
// stand-in main window and the session over them, in the order they depend on each other.

#include "core/AppContext.h"
#include "core/MainSession.h"
#include "core/Settings.h"
#include "support/FakeMainWindow.h"
#include "support/TempRoot.h"

namespace glyphary::testing {

template <class Window = FakeMainWindow>
struct SessionParts {
    explicit SessionParts(const QString& osSpec = QStringLiteral("98")) : root(osSpec) {}

    TempRoot root;
    AppContext context{root.platform()};
    Settings settings{root.platform().registry()};
    Window window;
    MainSession session{context, settings, window};
};

} // namespace glyphary::testing
