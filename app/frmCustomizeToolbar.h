#pragma once
// The Customize Toolbar dialog of the standard tool bar.

#include <QDialog>

class QToolBar;

namespace glyphary {

// Customize Toolbar: which standard buttons the tool bar shows.
class frmCustomizeToolbar : public QDialog {
    Q_OBJECT
public:
    frmCustomizeToolbar(QToolBar* toolBar, QWidget* parent = nullptr);
};

} // namespace glyphary
