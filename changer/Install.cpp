#include "changer/Install.h"

#include "changer/IconCache.h"
#include "core/MainSession.h"

namespace glyphary::changer {

Changer::Changer(MainSession& session)
    : launcher_(std::make_unique<platform::SystemLauncher>()), controller(session, *launcher_),
      folderIcons(session, *launcher_), shortcutDrop(session)
{
}

void Changer::setLauncher(std::unique_ptr<platform::ProgramLauncher> launcher)
{
    launcher_ = std::move(launcher);
    controller.setLauncher(*launcher_);
    folderIcons.setLauncher(*launcher_);
}

void Changer::change()
{
    if (controller.open() && showChangeWindow)
        showChangeWindow();
}

Changer& install(MainSession& session)
{
    Changer& changer = session.keep(std::make_unique<Changer>(session));
    session.handle(Command::Change, [&changer] { changer.change(); });
    session.handle(Command::ChangeFolder, [&changer] { changer.folderIcons.change(); });
    session.handle(Command::DefaultFolder, [&changer] { changer.folderIcons.reset(); });
    session.handle(Command::DropOnResults, [&changer] { changer.shortcutDrop.drop(); });
    session.handle(Command::RebuildIconCache, [&session] { rebuildIconCache(session); });
    session.handle(Command::RestartWindows, [&session, &changer] { restartWindows(session, changer.launcher()); });
    return changer;
}

} // namespace glyphary::changer
