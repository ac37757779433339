#pragma once
// The zoom window (frmZoom): the selected icon enlarged; on a cursor, where its hot spot goes.

#include "export/ZoomView.h"

#include <QDialog>

class QLabel;

namespace glyphary {

struct AppContext;
class MainSession;
class Settings;

class frmZoom : public QDialog {
    Q_OBJECT
public:
    frmZoom(AppContext& context, Settings& settings, exporting::ZoomView view, QWidget* parent = nullptr);

    // Another row or factor in the same window.
    void showView(exporting::ZoomView view);

    QLabel* picZoom = nullptr;
    QLabel* lblHotspot = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Close, Esc and the close box all end here.
    void done(int result) override;

private:
    void copyToClipboard();

    AppContext& context_;
    Settings& settings_;
    exporting::ZoomView view_;
};

// The Zoom command and the session's hot-spot placer.
void installZoomWindow(MainSession& session, QWidget* mainWindow);

} // namespace glyphary
