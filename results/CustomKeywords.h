#pragma once
// Custom keywords (frmKey): added to and deleted from the keyword table, the keyword bar
// (cmbSearch), the reference dialog's keyword list (cmbAddKeyword) and lstKey, all kept in step.
// KeywordEditor holds frmKey's button rules, which depend on the control that has the focus.

#include <QString>

namespace glyphary {
struct AppContext;
}

namespace glyphary::results {

inline const QString kKeywordWindowTitle = QStringLiteral("Edit Custom Keywords");
// The platform's default title: the program's name.
inline const QString kKeywordMessageTitle = QStringLiteral("Glyphary");
inline const QString kDuplicateKeywordText = QStringLiteral("This Keyword is already present in\nthe Glyphary Keyword list.");
inline const QString kKeywordTableFullText = QStringLiteral(
    "The Glyphary Keyword list is full: it holds 3001 keywords.\nDelete a custom keyword before adding another one.");

enum class AddKeywordOutcome { Added, Duplicate, TableFull, Empty };

class CustomKeywords {
public:
    explicit CustomKeywords(AppContext& context) : context_(context) {}

    // Adds `text` after every keyword: its number is the next free one of the table. On Added the
    // new lstKey entry is the last one.
    AddKeywordOutcome add(const QString& text);
    // Deletes lstKey's entry `index` from every list; false for an index outside lstKey.
    bool remove(int index);

private:
    // The next keyword number no keyword bar entry uses; -1 when the table is full.
    int freeKeywordNumber() const;

    AppContext& context_;
};

// frmKey's state apart from its widgets.
class KeywordEditor {
public:
    explicit KeywordEditor(AppContext& context) : context_(context), keywords_(context) {}

    QString text() const { return text_; }
    int selected() const { return selected_; } // lstKey entry, -1 for none
    bool addEnabled() const { return addEnabled_; }
    bool deleteEnabled() const { return deleteEnabled_; }

    void setTextFocus(bool focus) { textHasFocus_ = focus; }
    void setListFocus(bool focus) { listHasFocus_ = focus; }

    // txtKey's text changed (typed, or put there by a click in lstKey).
    void textChanged(const QString& text);
    // A click on lstKey's entry `index`.
    void listClicked(int index);
    // cmdAdd: the outcome, so the window can show the message that goes with it.
    AddKeywordOutcome add();
    // cmdDelete on the selected entry.
    bool remove();

private:
    AppContext& context_;
    CustomKeywords keywords_;
    QString text_;
    int selected_ = -1;
    bool addEnabled_ = false;
    bool deleteEnabled_ = false;
    bool textHasFocus_ = false;
    bool listHasFocus_ = false;
};

} // namespace glyphary::results
