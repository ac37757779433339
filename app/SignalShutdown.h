#pragma once
// SIGTERM, SIGHUP and SIGINT (log-out, `systemctl stop`, Ctrl+C) end the session as closing it
// does, with its saves. The handler only writes to a self-pipe, the one thing it may safely do; the
// event loop then runs the owner's callback. A second signal before the process ends ends it at once.

#include <QObject>

#include <functional>
#include <memory>

class QSocketNotifier;

namespace glyphary {

class SignalShutdown : public QObject {
public:
    explicit SignalShutdown(std::function<void(int signal)> onSignal);
    ~SignalShutdown() override; // the default handlers come back
    SignalShutdown(const SignalShutdown&) = delete;
    SignalShutdown& operator=(const SignalShutdown&) = delete;

    bool installed() const { return notifier_ != nullptr; }

private:
    void readSignal();

    std::function<void(int)> onSignal_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace glyphary
