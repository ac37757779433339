// Two real processes: this test plays the running first instance, the program binary the second.

#include "platform/SingleInstance.h"
#include "support/GuiApplication.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace glyphary::platform;

namespace {

class SingleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        glyphary::testing::ensureGuiApplication();
        ASSERT_TRUE(dir.isValid());
        root = dir.path() + QStringLiteral("/root");
        QDir().mkpath(root);
    }

    QString scoped(const char* name) const { return scopedInstanceName(QString::fromLatin1(name), root); }
    static void runEvents(int ms)
    {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
    }

    // `handlerEventsMs`: how long the hand-over handler lets events run, as a listing does.
    void markWindow(bool visible, int handlerEventsMs = 0)
    {
        MarkedWindow::Handlers handlers;
        handlers.isVisible = [visible] { return visible; };
        handlers.copyData = [this, handlerEventsMs](const QByteArray& payload) {
            received << payload;
            if (handlerEventsMs > 0)
                runEvents(handlerEventsMs);
        };
        handlers.activate = [this] { ++activations; };
        marked = std::make_unique<MarkedWindow>(scoped(kInstancePropertyName), std::move(handlers));
        ASSERT_TRUE(marked->listening());
    }

    // Runs the program as a second start, serving this process's events meanwhile, and returns its
    // exit code (-1 when it did not end within 10 s).
    int runSecondStart(const QStringList& arguments)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("GLYPHARY_ROOT"), root);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(environment);
        QEventLoop loop;
        QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        process.start(QStringLiteral(GLYPHARY_TEST_BIN_DIR "/glyphary"), arguments);
        if (!process.waitForStarted(5000))
            return -2;
        loop.exec();
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished();
            return -1;
        }
        runEvents(50); // the last request and its handler are served before looking at what arrived
        return process.exitCode();
    }

    QTemporaryDir dir;
    QString root;
    NamedMutex mutex;
    std::unique_ptr<MarkedWindow> marked;
    QList<QByteArray> received;
    int activations = 0;
};

TEST_F(SingleInstanceTest, ASecondStartHandsItsCommandLineOverOrActivatesTheWindow)
{
    const struct {
        const char* name;
        bool visible;
        QStringList arguments;
        QList<QByteArray> received;
        int activations;
    } cases[] = {
        {"a path goes over exactly", true, {QStringLiteral("C:\\My Icons\\star.ico")}, {"C:\\My Icons\\star.ico"}, 0},
        {"no arguments activate a visible window", true, {}, {}, 1},
        {"an empty command line goes to an invisible window as one zero byte", false, {}, {QByteArray(1, '\0')}, 0},
    };
    ASSERT_TRUE(mutex.create(scoped(kInstanceMutexName)));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        marked.reset();
        received.clear();
        activations = 0;
        markWindow(c.visible);
        EXPECT_EQ(runSecondStart(c.arguments), 0);
        EXPECT_EQ(received, c.received);
        EXPECT_EQ(activations, c.activations);
    }
    EXPECT_EQ(handOverPayload(QString()), QByteArray(1, '\0'));
}

TEST_F(SingleInstanceTest, AHandOverHandlerThatLetsEventsRunOutlivesTheSendersSocket)
{
    ASSERT_TRUE(mutex.create(scoped(kInstanceMutexName)));
    markWindow(true, 300);
    EXPECT_EQ(runSecondStart({QStringLiteral("C:\\Icons")}), 0);
    EXPECT_EQ(runSecondStart({QStringLiteral("C:\\More")}), 0);
    runEvents(400);
    EXPECT_EQ(received, (QList<QByteArray>{"C:\\Icons", "C:\\More"}));
}

TEST_F(SingleInstanceTest, WithoutAMarkedWindowOrWithOneThatNeverAnswersTheSecondStartEndsSilently)
{
    ASSERT_TRUE(mutex.create(scoped(kInstanceMutexName)));
    EXPECT_EQ(runSecondStart({QStringLiteral("C:\\x.ico")}), 0);
    EXPECT_TRUE(received.isEmpty());
    // A listener that accepts but never serves, like a first instance stuck in a long load.
    QLocalServer::removeServer(scoped(kInstancePropertyName));
    QLocalServer deaf;
    ASSERT_TRUE(deaf.listen(scoped(kInstancePropertyName)));
    EXPECT_EQ(runSecondStart({QStringLiteral("C:\\x.ico")}), 0); // gives up instead of waiting on it
}

TEST_F(SingleInstanceTest, TheMutexIsHeldOnceAndALockLeftByACrashedInstanceDoesNotCount)
{
    NamedMutex second;
    ASSERT_TRUE(mutex.create(scoped(kInstanceMutexName)));
    EXPECT_FALSE(second.create(scoped(kInstanceMutexName)));
    mutex.release();
    ASSERT_TRUE(second.create(scoped(kInstanceMutexName)));
    second.release();
    // The lock of a process that is gone, as QLockFile writes it: pid, application, host.
    QProcess gone;
    gone.start(QStringLiteral("/bin/true"));
    ASSERT_TRUE(gone.waitForStarted());
    const qint64 deadPid = gone.processId();
    ASSERT_TRUE(gone.waitForFinished());
    QLockFile probe(dir.path() + QStringLiteral("/probe.lock"));
    ASSERT_TRUE(probe.tryLock(0));
    qint64 pid = 0;
    QString host;
    QString app;
    ASSERT_TRUE(probe.getLockInfo(&pid, &host, &app));
    probe.unlock();
    QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty())
        runtime = QDir::tempPath();
    QFile stale(runtime + u'/' + scoped(kInstanceMutexName) + QStringLiteral(".lock"));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write(QByteArray::number(deadPid) + '\n' + app.toUtf8() + '\n' + host.toUtf8() + '\n');
    stale.close();
    EXPECT_TRUE(mutex.create(scoped(kInstanceMutexName)));
}

} // namespace
