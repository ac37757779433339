#pragma once
// What the session needs of the main window: the result view and status panels the page filler
// drives, the keyword bar, the tree, the selection's controls and the window's own state. frmMain
// implements it; tests use the fake in tests/support. The dialogs port is the context's.

#include "core/MainWindowLayout.h"
#include "core/ResultPageView.h"
#include "core/Selection.h"

#include <QString>

namespace glyphary {

class NavigationTree;

class MainWindowPort : public ResultPageView {
public:
    // Selects entry `position` of the keyword bar (-1 empties its selection) without searching.
    virtual void selectKeywordBarEntry(int position) = 0;
    virtual void refreshKeywordBar() = 0;
    // The keyword bar shows the session's keyword list again.
    virtual void showKeywordBar() = 0;
    virtual void showNavigationTree(const NavigationTree& tree) = 0;
    // Selects the tree node `key` (it shows, its parents expanded) without clicking it.
    virtual void selectNavigationNode(const QString& key) { (void)key; }
    // The Name column's header names the source of the results.
    virtual void showSourceCaption(const QString& caption) = 0;
    // Hot tracking and hover selection of the result list.
    virtual void setHotTracking(bool on) { (void)on; }
    virtual bool isCommandEnabled(Command command) const = 0;
    // The selected row of the result list, nullopt without one.
    virtual std::optional<SelectedRow> selectedRow() const = 0;
    // The "message" panel's width and text measure; the session adds the long-name lookup.
    virtual MessagePanel messagePanel() const = 0;
    // Applies the selection reaction to menus, buttons and panels.
    virtual void applySelection(const SelectionState& state) = 0;
    virtual void activateMainWindow() = 0;
    // What the window shows at the end, for the shutdown to store.
    virtual ShownWindow shownWindow() const = 0;
    // Secondary windows first, the main window last.
    virtual void unloadWindows() = 0;
};

// A main window that shows nothing: the command-line tools run the session with it, where the
// result list itself is what counts.
class QuietMainWindow : public MainWindowPort {
public:
    void clearRows() override {}
    void addRow(int, const RowResult&, const QString&) override {}
    void bindImages(int) override {}
    void setSort(const SortState&) override {}
    void showDummyList(bool) override {}
    void setPanelText(StatusPanel, const QString&) override {}
    void setPanelPicture(StatusPanel, QLatin1StringView) override {}
    bool isStatusBarVisible() const override { return false; }
    void setStatusBarVisible(bool) override {}
    bool isProgressBarVisible() const override { return false; }
    void setProgressBarVisible(bool) override {}
    void setProgressMaximum(int) override {}
    void setProgressValue(int) override {}
    void setCommandEnabled(Command, bool) override {}
    void setControlsEnabled(std::span<const ControlName>, bool) override {}
    void setToPageEntries(int) override {}
    void setLedTimerRunning(bool) override {}
    void updateSelectionState() override {}
    void setMousePointer(MousePointer) override {}
    void doEvents() override {}
    void selectKeywordBarEntry(int) override {}
    void refreshKeywordBar() override {}
    void showKeywordBar() override {}
    void showNavigationTree(const NavigationTree&) override {}
    void showSourceCaption(const QString&) override {}
    bool isCommandEnabled(Command) const override { return true; }
    std::optional<SelectedRow> selectedRow() const override { return std::nullopt; }
    MessagePanel messagePanel() const override { return {}; }
    void applySelection(const SelectionState&) override {}
    void activateMainWindow() override {}
    ShownWindow shownWindow() const override { return {}; }
    void unloadWindows() override {}
};

} // namespace glyphary
