#pragma once
// The animation player (frmAni): the frames Play collected, frame by frame.

#include "windows/AnimationPlayer.h"

#include <QDialog>

class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QRadioButton;
class QSlider;
class QTimer;
class QToolButton;

namespace glyphary {

struct AppContext;
class MainSession;
class Settings;
namespace exporting {
class Exporter;
}

// "Animation": modeless; the creator calls play() and show().
class frmAni : public QDialog {
    Q_OBJECT
public:
    frmAni(AppContext& context, Settings& settings, QWidget* parent = nullptr);

    // Activation: the film shown from its first frame, the speed back at 5 frames per second.
    void play(const std::vector<QImage>& frames);
    const AnimationPlayer& player() const { return player_; }

    QLabel* picIconBack = nullptr;
    QRadioButton* RechtsBut = nullptr;
    QRadioButton* TegenBut = nullptr;
    QCheckBox* chkTop = nullptr;
    QSlider* sldAni = nullptr;
    QTimer* tmrFilm = nullptr;
    QToolButton* imgRechts = nullptr;
    QToolButton* imgTegen = nullptr;
    QToolButton* imgTop = nullptr;
    QMenu* mnuBackColor = nullptr;
    QAction* mnuBSet = nullptr;

protected:
    // Close, Esc and the close box all end here.
    void done(int result) override;

private:
    void createControls();
    void createLayout();
    void connectControls();
    void tick();
    void setSpeed(int framesPerSecond);
    void setAlwaysOnTop(bool onTop);
    void chooseBackColor();

    AppContext& context_;
    Settings& settings_;
    AnimationPlayer player_;
    QImage display_;
};

// The Play command: the frames collected, then the player shown.
void installAnimationPlayer(MainSession& session, exporting::Exporter& exporter, QWidget* mainWindow);

} // namespace glyphary
