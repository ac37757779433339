#pragma once

#include "app/CommandLine.h"

#include <QLabel>
#include <QMainWindow>
#include <memory>

namespace glyphary {

struct AppContext;
class Settings;
namespace platform {
class MarkedWindow;
class NamedMutex;
} // namespace platform

// Restores the window if minimised and lifts it above all others without leaving it on top.
void ActivateWindow(QWidget* window);

// The main window.
class frmMain : public QMainWindow, private CommandLineHost {
    Q_OBJECT
public:
    frmMain(AppContext& context, Settings& settings, platform::NamedMutex& instanceMutex, QString commandLine);
    ~frmMain() override;

    // The window's load: version, marking for the single-instance search, the command line.
    void load();

    // The receiving end of a hand-over from a second start (WM_COPYDATA).
    void receiveHandOver(const QByteArray& payload);

    QLabel* picLogo = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // CommandLineHost
    int resultCount() const override;
    void clearResults() override;
    std::optional<ErrorInfo> openPendingPath() override;
    void activateMainWindow() override;

    void MarkMainWindow();
    void ReleaseInstance();

    AppContext& context_;
    Settings& settings_;
    platform::NamedMutex& instanceMutex_;
    QString commandLine_;
    std::unique_ptr<platform::MarkedWindow> marked_;
};

} // namespace glyphary
