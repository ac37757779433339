#pragma once
// The one stand-in for the main window that tests and benchmarks use.

#include "core/MainWindowPort.h"
#include "core/NavigationTree.h"

#include <QHash>
#include <QStringList>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <optional>

namespace glyphary::testing {

inline QString controlKey(const ControlName& control)
{
    return QString::number(static_cast<int>(control.kind)) + u':' + QLatin1StringView(control.name);
}

// The main window as the session and the page filler see it, recording its state as a person would
// see it. Checks that rows are added before the images are bound, each once.
class FakeMainWindow : public MainWindowPort {
public:
    struct Row {
        RowResult row;
        QString tag;
    };

    std::map<int, Row> rows;
    int boundRows = -1; // -1: image lists unbound
    int clears = 0;
    SortState sortState;
    bool dummyShown = false;
    std::map<StatusPanel, QString> texts;
    std::map<StatusPanel, QString> pictures;
    bool statusBar = true;
    bool progressBar = false;
    int progressMaximum = 0;
    int progressValue = 0;
    std::map<Command, bool> commands;
    QHash<QString, bool> controls;
    int toPageEntries = 1;
    bool ledTimer = false;
    int selectionUpdates = 0;
    MousePointer pointer = MousePointer::Default;
    int doEventsCalls = 0;
    std::function<void()> onDoEvents;
    int scale = 1; // the picture scale of a dense screen

    bool enabled(ControlName control) const { return controls.value(controlKey(control), true); }
    QString text(StatusPanel panel) const { return texts.count(panel) ? texts.at(panel) : QString(); }
    QString pictureOf(StatusPanel panel) const { return pictures.count(panel) ? pictures.at(panel) : QString(); }
    bool commandEnabled(Command command) const { return commands.count(command) && commands.at(command); }
    QString tag(int position) const { return rows.count(position) ? rows.at(position).tag : QString(); }

    int pictureScale() const override { return scale; }
    void clearRows() override
    {
        rows.clear();
        boundRows = -1;
        ++clears;
    }
    void addRow(int position, const RowResult& row, const QString& tagText) override
    {
        EXPECT_EQ(boundRows, -1) << "rows are added before the images are bound";
        EXPECT_FALSE(rows.count(position)) << "row " << position << " placed twice";
        rows[position] = {row, tagText};
    }
    void bindImages(int rowCount) override { boundRows = rowCount; }
    void setSort(const SortState& sort) override { sortState = sort; }
    void showDummyList(bool dummy) override { dummyShown = dummy; }
    void setPanelText(StatusPanel panel, const QString& value) override { texts[panel] = value; }
    void setPanelPicture(StatusPanel panel, QLatin1StringView key) override { pictures[panel] = key; }
    bool isStatusBarVisible() const override { return statusBar; }
    void setStatusBarVisible(bool visible) override { statusBar = visible; }
    bool isProgressBarVisible() const override { return progressBar; }
    void setProgressBarVisible(bool visible) override { progressBar = visible; }
    void setProgressMaximum(int maximum) override { progressMaximum = maximum; }
    void setProgressValue(int value) override { progressValue = value; }
    void setCommandEnabled(Command command, bool on) override { commands[command] = on; }
    void setControlsEnabled(std::span<const ControlName> names, bool on) override
    {
        for (const ControlName& control : names)
            controls[controlKey(control)] = on;
    }
    void setToPageEntries(int pageCount) override { toPageEntries = pageCount; }
    void setLedTimerRunning(bool running) override { ledTimer = running; }
    void updateSelectionState() override { ++selectionUpdates; }
    void setMousePointer(MousePointer value) override { pointer = value; }
    void doEvents() override
    {
        ++doEventsCalls;
        if (onDoEvents)
            onDoEvents();
    }

    // The rest of the port.
    int keywordBarEntry = -2; // -2: never selected
    int keywordBarShown = 0;
    QStringList treeKeys;     // the keys of the tree last shown, in order
    QString sourceCaption;
    std::optional<SelectedRow> row;
    std::optional<SelectionState> appliedSelection;
    int activations = 0;
    int unloads = 0;
    ShownWindow shown;

    void selectKeywordBarEntry(int position) override { keywordBarEntry = position; }
    void refreshKeywordBar() override {}
    void showKeywordBar() override { ++keywordBarShown; }
    void showNavigationTree(const NavigationTree& tree) override
    {
        treeKeys.clear();
        for (const NavNode& node : tree.nodes())
            treeKeys << node.key;
    }
    void showSourceCaption(const QString& caption) override { sourceCaption = caption; }
    void setHotTracking(bool on) override { shown.hotTracking = on; }
    QString selectedNode; // the tree node last selected
    void selectNavigationNode(const QString& key) override { selectedNode = key; }
    bool isCommandEnabled(Command command) const override { return commandEnabled(command); }
    std::optional<SelectedRow> selectedRow() const override { return row; }
    MessagePanel messagePanel() const override { return {}; }
    void applySelection(const SelectionState& state) override { appliedSelection = state; }
    void activateMainWindow() override { ++activations; }
    ShownWindow shownWindow() const override { return shown; }
    void unloadWindows() override { ++unloads; }
};

} // namespace glyphary::testing
