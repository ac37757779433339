#pragma once
// The splash window of the start-up.

#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace glyphary {

struct AppContext;
class Settings;

// The splash window: shown topmost while the shared folders are worked out, then hands over to the
// main window after 2 seconds.
class frmSplash : public QWidget {
    Q_OBJECT
public:
    struct Hooks {
        // Shows the main window (its load runs now) and returns its logo picture box.
        std::function<QLabel*()> showMainWindow;
        // Shows the tip window.
        std::function<void()> showTips;
    };

    frmSplash(AppContext& context, Settings& settings, QString applicationFolder, Hooks hooks);

    // The splash load: folders, settings, the picture on screen, the timer.
    void load();

    QLabel* picSplash = nullptr;
    QTimer tmrSplash;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void timerFired();

    AppContext& context_;
    Settings& settings_;
    QString applicationFolder_;
    Hooks hooks_;
    bool unloaded_ = false;
};

} // namespace glyphary
