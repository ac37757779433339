#pragma once
// The About window with its four tabs.

#include <QDialog>
#include <QUrl>
#include <array>
#include <functional>

class QFrame;
class QLabel;
class QListWidget;
class QPushButton;
class QTabBar;

namespace glyphary {

struct AppContext;
class Settings;

// What the about window hands to the desktop; tests replace both so that nothing is opened.
struct AboutActions {
    std::function<bool(const QUrl&)> openUrl;
    std::function<bool(const QString& hostProgram)> startProgram;
};

// QDesktopServices for addresses, a detached process with no arguments (never a shell) for programs.
AboutActions desktopAboutActions();

// "About Glyphary": version, disclaimer, icon libraries, contact, System Info.
class frmInfo : public QDialog {
    Q_OBJECT
public:
    frmInfo(AppContext& context, Settings& settings, AboutActions actions = desktopAboutActions(),
            QWidget* parent = nullptr);

    QTabBar* tabStrip = nullptr;
    std::array<QFrame*, 4> fraInfo{};
    QLabel* lblBuild = nullptr;
    QLabel* lblWinVerCaption = nullptr;
    QLabel* lblWinVer = nullptr;
    QLabel* txtDisclaimer = nullptr;
    QListWidget* txtIconUpdate = nullptr;
    QLabel* txtURL = nullptr;
    QLabel* txtMail = nullptr;
    QPushButton* cmdSysInfo = nullptr;
    QPushButton* cmdOK = nullptr;

private:
    void createControls();
    QFrame* createFrame(int index);
    void showFrame(int index);
    void runSystemInfo();

    AppContext& context_;
    Settings& settings_;
    AboutActions actions_;
};

} // namespace glyphary
