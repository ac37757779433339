// Every command the window can run has a handler once the subsystems are installed; a command
// without one says so.

#include "app/frmMain.h"
#include "app/Startup.h"
#include "core/AppContext.h"
#include "core/Settings.h"
#include "platform/SingleInstance.h"
#include "support/GuiApplication.h"
#include "support/SessionFixture.h"
#include "support/TempRoot.h"

#include <QLabel>
#include <QMenu>
#include <gtest/gtest.h>
#include <set>

using namespace glyphary;

namespace {

// A command by the first menu entry that runs it.
QString entryOf(Command command)
{
    for (const CommandEntry& entry : commandEntries())
        if (entry.command == command)
            return QString::fromLatin1(entry.name);
    return command == Command::Abort ? QStringLiteral("abort") : QStringLiteral("drop on results");
}

class CommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        glyphary::testing::ensureGuiApplication();
        splashLoad(context, settings, QStringLiteral("C:\\Glyphary"));
        window = std::make_unique<frmMain>(context, settings, mutex, QString());
    }

    glyphary::testing::TempRoot root;
    AppContext context{root.platform()};
    Settings settings{root.platform().registry()};
    platform::NamedMutex mutex;
    std::unique_ptr<frmMain> window;
};

TEST_F(CommandsTest, CommandsWithoutAHandlerYet)
{
    std::set<Command> commands{Command::Abort, Command::DropOnResults};
    for (const CommandEntry& entry : commandEntries())
        commands.insert(entry.command);
    QStringList missing;
    for (Command command : commands)
        if (!window->session().handles(command))
            missing << entryOf(command);
    EXPECT_EQ(missing.join(u' ').toStdString(), "");
}

TEST_F(CommandsTest, EveryMenuEntryRunsACommand)
{
    for (QMenu* menu : window->findChildren<QMenu*>()) {
        // The tool bars' drop-down menus run the entries their table names.
        if (!menu->objectName().startsWith(u"mnu"))
            continue;
        for (QAction* entry : menu->actions()) {
            if (entry->isSeparator() || entry->menu())
                continue;
            EXPECT_TRUE(commandForEntry(entry->objectName()).has_value()) << entry->objectName().toStdString();
        }
    }
}

TEST(Commands, ACommandWithoutHandlerSaysSoInsteadOfDoingNothing)
{
    glyphary::testing::SessionParts<> bare;
    EXPECT_FALSE(bare.session.run(Command::Import));
    EXPECT_EQ(bare.window.text(StatusPanel::Message), kCommandMissingText);
}

TEST_F(CommandsTest, EntriesOfArraysCarryTheirIndex)
{
    EXPECT_EQ(commandForEntry(u"mnuGoToPageNr_0"), (CommandCall{Command::ToPage, 1}));
    EXPECT_EQ(commandForEntry(u"mnuGoBarToPageNr_4"), (CommandCall{Command::ToPage, 5}));
    EXPECT_EQ(commandForEntry(u"mnuResultClickViewArrange_2"), (CommandCall{Command::ArrangeBy, 2}));
    EXPECT_EQ(commandForEntry(u"mnuToolsZoom10"), (CommandCall{Command::Zoom, 10}));
    EXPECT_EQ(commandForEntry(u"mnuResultClickZoom"), (CommandCall{Command::Zoom, 0}));
    EXPECT_EQ(commandForEntry(u"mnuNoSuchEntry"), std::nullopt);
    EXPECT_EQ(commandForEntry(u""), std::nullopt);
}

} // namespace
