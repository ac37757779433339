#pragma once
// The named mutex, the window property and the WM_COPYDATA hand-over between two starts of the
// program. The mutex is a lock file, the marked window a local server; both names are scoped to
// the user and the emulated root, so two roots run side by side. A lock left by a crashed
// instance is stale (its process is gone) and does not count.

#include <QByteArray>
#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace glyphary::platform {

constexpr const char* kInstanceMutexName = "Glyphary_APPLICATION_MUTEX";
constexpr const char* kInstancePropertyName = "Glyphary_APPLICATION";
constexpr std::chrono::milliseconds kHandOverTimeout{5000};

// A name for `name` that is unique to this user and this root.
QString scopedInstanceName(const QString& name, const QString& rootHostPath);

class NamedMutex {
public:
    // CreateMutexA with initial ownership: true when this process now holds the mutex, false when
    // another live process does (ERROR_ALREADY_EXISTS).
    bool create(const QString& scopedName);
    void release();
    bool held() const { return lock_ != nullptr; }

private:
    std::unique_ptr<QLockFile> lock_;
};

// The first instance's marked main window: it answers whether it is visible, takes hand-overs
// and activation requests. Requests are served when the program next lets events run; their
// handlers run after the answer is sent, from the event loop.
class MarkedWindow : public QObject {
    Q_OBJECT
public:
    struct Handlers {
        std::function<bool()> isVisible;
        std::function<void(const QByteArray& payload)> copyData;
        std::function<void()> activate;
    };

    MarkedWindow(const QString& scopedName, Handlers handlers, QObject* parent = nullptr);
    bool listening() const { return server_.isListening(); }

private:
    void serve();
    void runLater(std::function<void()> handler);

    QLocalServer server_;
    Handlers handlers_;
};

// The second instance's view of the first one's marked window.
class OtherInstance {
public:
    // FindOtherInstance: nullopt when no marked window answers.
    static std::optional<OtherInstance> find(const QString& scopedName,
                                             std::chrono::milliseconds timeout = kHandOverTimeout);

    bool isVisible() const { return visible_; }
    // SendMessageTimeoutA(WM_COPYDATA): false when the receiver did not answer in time.
    bool sendCopyData(const QByteArray& payload, std::chrono::milliseconds timeout = kHandOverTimeout);
    // ActivateWindow on the other instance's main window.
    bool activate(std::chrono::milliseconds timeout = kHandOverTimeout);

private:
    OtherInstance(QString scopedName, bool visible) : name_(std::move(scopedName)), visible_(visible) {}
    bool request(char kind, const QByteArray& payload, std::chrono::milliseconds timeout);

    QString name_;
    bool visible_ = false;
};

// The WM_COPYDATA payload of a command line: its ANSI text without a terminating zero, or one zero
// byte for an empty command line.
QByteArray handOverPayload(const QString& commandLine);

} // namespace glyphary::platform
