#include "options/Install.h"

#include "core/MainSession.h"

namespace glyphary::options {

void Options::open()
{
    controller.load();
    if (showOptionsWindow)
        showOptionsWindow();
}

Options& install(MainSession& session)
{
    Options& options = session.keep(std::make_unique<Options>(session));
    session.handle(Command::Options, [&options] { options.open(); });
    return options;
}

} // namespace glyphary::options
