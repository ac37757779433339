#include "app/SignalShutdown.h"

#include <QSocketNotifier>

#include <array>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace glyphary {
namespace {

constexpr std::array<int, 3> kSignals = {SIGTERM, SIGHUP, SIGINT};

// A signal handler can reach nothing but static storage: the pipe's ends and whether a signal
// already came. Only one SignalShutdown exists per process (main owns it).
int gPipe[2] = {-1, -1};
volatile std::sig_atomic_t gReceived = 0;

extern "C" void handleSignal(int signal)
{
    if (gReceived)
        _exit(128 + signal);
    gReceived = 1;
    const unsigned char number = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(gPipe[1], &number, 1);
}

void setHandler(void (*handler)(int))
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : kSignals)
        ::sigaction(signal, &action, nullptr);
}

} // namespace

SignalShutdown::SignalShutdown(std::function<void(int)> onSignal) : onSignal_(std::move(onSignal))
{
    if (gPipe[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, gPipe) != 0)
        return;
    gReceived = 0;
    notifier_ = std::make_unique<QSocketNotifier>(gPipe[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &SignalShutdown::readSignal);
    setHandler(&handleSignal);
}

SignalShutdown::~SignalShutdown()
{
    if (!notifier_)
        return;
    setHandler(SIG_DFL);
    notifier_.reset();
    ::close(gPipe[0]);
    ::close(gPipe[1]);
    gPipe[0] = gPipe[1] = -1;
}

void SignalShutdown::readSignal()
{
    unsigned char number = 0;
    if (::read(gPipe[0], &number, 1) != 1)
        return;
    notifier_->setEnabled(false);
    if (onSignal_)
        onSignal_(number);
}

} // namespace glyphary
