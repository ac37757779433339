#pragma once
// The custom keyword editor (frmKey, "Edit Custom Keywords"): txtKey, lstKey, cmdAdd, cmdDelete,
// cmdCancel over results::KeywordEditor.

#include "results/CustomKeywords.h"

#include <QDialog>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace glyphary {

class MainSession;
class Settings;
namespace results {
class Collections;
}

class frmKey : public QDialog {
    Q_OBJECT
public:
    frmKey(MainSession& session, results::Collections& collections, QWidget* parent = nullptr);

    QLineEdit* txtKey = nullptr;
    QListWidget* lstKey = nullptr;
    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdDelete = nullptr;
    QPushButton* cmdCancel = nullptr;

    results::KeywordEditor& editor() { return editor_; }

    void addKeyword();
    void deleteKeyword();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

private:
    void fillList();
    void showState();

    MainSession& session_;
    results::Collections& collections_;
    results::KeywordEditor editor_;
};

// Edit Custom Keywords (mnuRefKey, "refedit") shows frmKey modally.
void installKeywordWindow(MainSession& session, results::Collections& collections, QWidget* mainWindow);

} // namespace glyphary
