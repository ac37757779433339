#pragma once
// The reference dialog (frmAdd, "Add Reference"): the frame "Icon Type" with the nine options
// optType, the keyword box cmbSearch, cmdAdd and cmdCancel.

#include <QDialog>
#include <array>

class QComboBox;
class QGroupBox;
class QPushButton;
class QRadioButton;

namespace glyphary {

class MainSession;
struct ReferenceTypeOptions;
namespace results {
class Collections;
}

class frmAdd : public QDialog {
    Q_OBJECT
public:
    frmAdd(MainSession& session, results::Collections& collections, QWidget* parent = nullptr);

    QGroupBox* fraType = nullptr;
    std::array<QRadioButton*, 9> optType{};
    QComboBox* cmbSearch = nullptr;
    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdCancel = nullptr;

    // Before each showing: the keyword list and the type options of the selected row.
    void prepare(const ReferenceTypeOptions& types);
    int chosenType() const { return chosenType_; }
    void add();

protected:
    void done(int result) override;

private:
    MainSession& session_;
    results::Collections& collections_;
    int chosenType_ = -1;
};

// Add Reference (mnuRefAdd, "refadd", the popup, the double-click action "Ref") shows frmAdd
// modally for the selected row.
void installReferenceWindow(MainSession& session, results::Collections& collections, QWidget* mainWindow);

} // namespace glyphary
