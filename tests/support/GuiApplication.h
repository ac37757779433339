#pragma once
// Window tests need one QApplication for the whole test program (offscreen, no display).

#include <QApplication>

namespace glyphary::testing {

inline void ensureGuiApplication()
{
    if (QApplication::instance() != nullptr)
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "glyphary-tests";
    static char* argv[] = {name, nullptr};
    static QApplication application(argc, argv);
}

} // namespace glyphary::testing
