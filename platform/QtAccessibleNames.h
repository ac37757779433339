#pragma once
// Screen-reader names for the controls of every window, taken from what a sighted person reads.

#include <QObject>
#include <QString>

class QWidget;

namespace glyphary::platform {

// A control name as words: "cmbIconsPerPage" gives "Icons Per Page", "picIcon" "Icon"; the prefix
// of small letters goes when capitals follow it.
QString readableControlName(const QString& objectName);

// The name a screen reader reads for `widget`: its accessible name, else what Qt derives (a
// button's or label's text, the text of its buddy label).
QString spokenName(QWidget* widget);

// Every widget of `window` (and the window) that a screen reader would read without a name gets
// one: its tool tip, the window's title, a picture label's tool tip, failing those its control
// name as words, what kind of bar it is, or, for a focusable part, the name of its control.
void nameControls(QWidget* window);

// Installed on the application: names the controls of each window as it is shown, so that windows
// need no code of their own.
class AccessibleNamer : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace glyphary::platform
