#pragma once
// The Options window in the session: Command::Options loads the choices and shows the window,
// which the window layer attaches (options/frmOptions.h).

#include "options/OptionsController.h"

#include <functional>

namespace glyphary::options {

class Options {
public:
    explicit Options(MainSession& session) : controller(session) {}

    void open();

    OptionsController controller;
    std::function<void()> showOptionsWindow;
};

Options& install(MainSession& session);

} // namespace glyphary::options
