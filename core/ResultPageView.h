#pragma once
// What the page filler does to the main window, and what it asks of the icon readers. The main
// window implements ResultPageView; the per-kind readers implement ResultRowReader. Both keep the
// filler free of widgets, so that tests drive it with recording fakes.

#include "core/Command.h"

#include <QImage>
#include <QLatin1StringView>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace glyphary {

enum class StatusPanel { Message, Count, Area, Type };

// The status bar panel's key.
constexpr QLatin1StringView panelKey(StatusPanel panel)
{
    switch (panel) {
    case StatusPanel::Message: return QLatin1StringView("message");
    case StatusPanel::Count: return QLatin1StringView("count");
    case StatusPanel::Area: return QLatin1StringView("area");
    case StatusPanel::Type: return QLatin1StringView("type");
    }
    return {};
}

// Keys of the status image list; an empty key removes the panel's picture.
namespace picture {
inline constexpr QLatin1StringView LedOn("redledon");
inline constexpr QLatin1StringView LedOff("redledoff");
inline constexpr QLatin1StringView Empty("empty");
inline constexpr QLatin1StringView None("");
} // namespace picture

// Screen.MousePointer values.
enum class MousePointer : int { Default = 0, ArrowHourglass = 13 };

// A control of the main window by the name the window gives it. Toolbar buttons are named by
// their key within their toolbar.
struct ControlName {
    enum class Kind { Control, Menu, StandardButton, YourButton };
    Kind kind;
    const char* name;

    friend bool operator==(const ControlName& a, const ControlName& b)
    {
        return a.kind == b.kind && QLatin1StringView(a.name) == QLatin1StringView(b.name);
    }
};

struct SortState {
    bool enabled = false;
    int key = 0; // column: 0 Name, 1 Type, 2 Origin
    bool descending = false;
};

// One drawn row of the page. A null image leaves the row without one (a reader that failed).
struct RowResult {
    QImage image; // 32 x 32
    QString name;
    QString type;
    QString origin;
    // The icon file's picture at the view's picture scale, its device pixel ratio set; null at
    // scale 1 and for pictures drawn only at 32 x 32.
    QImage sharpImage;
};

class ResultRowReader {
public:
    virtual ~ResultRowReader() = default;
    // Draws the item that becomes row `position` (1-based on the page); itemData is its entry's
    // number in the result list. nullopt when the item cannot be drawn at all: no row is added.
    virtual std::optional<RowResult> readRow(const QString& item, std::int32_t itemData, int position) = 0;
    // What the message panel tells of the page just drawn (a file whose pictures were cut short);
    // empty for nothing.
    virtual QString pageNote() { return {}; }
    // The view's device pixel ratio, rounded up, before each page: above 1 a reader also draws the
    // sharp picture of each row.
    virtual void setPictureScale(int scale) { (void)scale; }
};

class ResultPageView {
public:
    virtual ~ResultPageView() = default;

    // pnlResult: removes every row, unbinds its image lists, empties the result image list and
    // repaints.
    virtual void clearRows() = 0;
    // The screen's device pixel ratio the rows are shown at, rounded up.
    virtual int pictureScale() const { return 1; }
    // Adds row `position` with its texts and its image put into the result image list at the same
    // position; the row's Tag is the item string.
    virtual void addRow(int position, const RowResult& row, const QString& tag) = 0;
    // Binds the result image list as large and small images and gives rows 1..rowCount their
    // images; called once per page, after every row is in.
    virtual void bindImages(int rowCount) = 0;
    virtual void setSort(const SortState& sort) = 0;
    // true: copies pnlResult's column widths to pnlDummy and shows pnlDummy in its place;
    // false: copies them back and shows pnlResult again.
    virtual void showDummyList(bool dummy) = 0;

    virtual void setPanelText(StatusPanel panel, const QString& text) = 0;
    virtual void setPanelPicture(StatusPanel panel, QLatin1StringView pictureKey) = 0;
    virtual bool isStatusBarVisible() const = 0;
    virtual void setStatusBarVisible(bool visible) = 0;
    virtual bool isProgressBarVisible() const = 0;
    virtual void setProgressBarVisible(bool visible) = 0;
    virtual void setProgressMaximum(int maximum) = 0;
    virtual void setProgressValue(int value) = 0;

    // Menu entry, popup entry and toolbar button of the command together (kCommandControls).
    virtual void setCommandEnabled(Command command, bool enabled) = 0;
    virtual void setControlsEnabled(std::span<const ControlName> controls, bool enabled) = 0;
    // Both "To Page" arrays (mnuGoToPageNr, mnuGoBarToPageNr) show the entries "1" to pageCount.
    virtual void setToPageEntries(int pageCount) = 0;
    virtual void setLedTimerRunning(bool running) = 0;
    // The selection reaction of the result list, run at the end of every complete page fill.
    virtual void updateSelectionState() = 0;

    virtual void setMousePointer(MousePointer pointer) = 0;
    // Lets pending events run (DoEvents): Esc and the "abort" button are seen here.
    virtual void doEvents() = 0;
};

} // namespace glyphary
