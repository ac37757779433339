// The program ended by signals, as a log-out or `systemctl stop` ends it: SIGTERM runs the
// session's saves, and a shutdown killed part way leaves all of its values or none of them.

#include "app/SignalShutdown.h"
#include "core/SettingsTable.h"
#include "platform/Registry.h"
#include "platform/SingleInstance.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <random>

namespace glyphary {
namespace {

// Every value the shutdown stores (some only in some window states).
constexpr std::array kShutdownValues = {setting::ViewType, setting::TextLabel, setting::Statusbar, setting::Toolbar,
    setting::YourToolbar, setting::YourPos, setting::StandardToolbarWidth, setting::Keywordbar, setting::KeywordPos,
    setting::YourToolbarWidth, setting::BackColor, setting::IconsPerPage, setting::HotTracking, setting::Colwidth1,
    setting::Colwidth2, setting::Colwidth3, setting::Splitter, setting::MainState, setting::MainTop, setting::MainLeft,
    setting::MainWidth, setting::MainHeight, setting::KeyTop, setting::KeyLeft, setting::AddTop, setting::AddLeft};

class SessionSignal : public ::testing::Test {
protected:
    // A fresh root per run, so that any stored value is one this run's shutdown wrote.
    struct Run {
        QTemporaryDir dir;
        QString root = dir.path() + QStringLiteral("/root");
        QProcess program;
    };

    static bool start(Run& run)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("GLYPHARY_ROOT"), run.root);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        run.program.setProcessEnvironment(environment);
        run.program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        run.program.start(QStringLiteral(GLYPHARY_TEST_BIN_DIR "/glyphary"), {});
        if (!run.program.waitForStarted(10000))
            return false;
        // The main window is up once it answers on its hand-over name.
        const QString name = platform::scopedInstanceName(QString::fromLatin1(platform::kInstancePropertyName),
            QDir(run.root).absolutePath());
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 30000 && run.program.state() == QProcess::Running) {
            QLocalSocket socket;
            socket.connectToServer(name);
            if (socket.waitForConnected(50)) {
                socket.disconnectFromServer();
                return true;
            }
            QThread::msleep(20);
        }
        return false;
    }

    static void signal(Run& run, int number) { ::kill(static_cast<pid_t>(run.program.processId()), number); }

    static QStringList storedValues(const Run& run)
    {
        platform::Registry registry({run.root + QStringLiteral("/system.reg"), run.root + QStringLiteral("/user.reg"),
                                        run.root + QStringLiteral("/userdef.reg")},
            platform::KeyDeletion::RemoveTree);
        QStringList names;
        for (const SettingDef& def : kShutdownValues)
            if (registry.valueExists(platform::HKEY_CURRENT_USER, def.key, def.name))
                names.append(QString::fromLatin1(def.name));
        return names;
    }
};

TEST_F(SessionSignal, TermHangUpAndInterruptRunTheShutdownSavesAndEnd)
{
    for (const int number : {SIGTERM, SIGHUP, SIGINT}) {
        Run run;
        ASSERT_TRUE(start(run));
        ASSERT_EQ(storedValues(run), QStringList{});
        signal(run, number);
        ASSERT_TRUE(run.program.waitForFinished(20000));
        EXPECT_EQ(run.program.exitStatus(), QProcess::NormalExit) << number;
        const QStringList stored = storedValues(run);
        for (const char* name : {"ViewType", "IconsPerPage", "Colwidth1", "MainState"})
            EXPECT_TRUE(stored.contains(QLatin1StringView(name))) << number << " " << name;
    }
}

TEST_F(SessionSignal, AShutdownKilledAtAnyPointLeavesAllOfItsValuesOrNone)
{
    QStringList all;
    {
        Run run;
        ASSERT_TRUE(start(run));
        signal(run, SIGTERM);
        ASSERT_TRUE(run.program.waitForFinished(20000));
        all = storedValues(run);
    }
    ASSERT_GE(all.size(), 17);
    std::mt19937 random(17);
    std::uniform_int_distribution<int> delayUs(0, 15000);
    int complete = 0;
    for (int attempt = 0; attempt < 50; ++attempt) {
        Run run;
        ASSERT_TRUE(start(run));
        signal(run, SIGTERM);
        QThread::usleep(static_cast<unsigned long>(delayUs(random)));
        signal(run, SIGKILL);
        ASSERT_TRUE(run.program.waitForFinished(20000));
        const QStringList stored = storedValues(run);
        if (!stored.isEmpty()) {
            EXPECT_EQ(stored, all) << "attempt " << attempt;
            ++complete;
        }
    }
    RecordProperty("complete", complete);
}

// A first signal only asks for the shutdown; one more while it runs ends the process at once.
TEST(SignalShutdownDeathTest, ASecondSignalEndsAtOnce)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto signalled = [](std::initializer_list<int> numbers) {
        int asked = 0;
        SignalShutdown shutdown([&asked](int) { ++asked; });
        for (const int number : numbers)
            ::raise(number);
        std::_Exit(shutdown.installed() ? 3 : 4);
    };
    EXPECT_EXIT(signalled({SIGTERM}), ::testing::ExitedWithCode(3), "");
    EXPECT_EXIT(signalled({SIGTERM, SIGHUP}), ::testing::ExitedWithCode(128 + SIGHUP), "");
    EXPECT_EXIT(signalled({SIGINT, SIGINT}), ::testing::ExitedWithCode(128 + SIGINT), "");
}

} // namespace
} // namespace glyphary
