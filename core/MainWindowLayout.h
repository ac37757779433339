#pragma once
// The arrangement of the main window that is kept between runs: read at its load, stored at the
// end. Sizes are in the holder's unit (pixels once loaded, twips as stored).

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QtGlobal>
#include <array>
#include <optional>

namespace glyphary {

struct MainWindowLayout {
    int viewType = 0; // 0 large icons, 2 list, 3 details
    bool textLabels = true;
    bool statusBar = true;
    bool standardBand = true;
    bool yourBand = true;
    bool keywordBand = true;
    bool yourNewRow = true;
    bool keywordNewRow = true;
    int standardToolbarWidth = 0;
    int yourToolbarWidth = 0;
    std::array<int, 3> columnWidths{};
    int splitter = 0;
    bool hotTracking = false;
    bool maximized = false;
};

// What the main window shows at the end, in pixels: its frame is the normal (not maximised) one.
struct ShownWindow : MainWindowLayout {
    QColor backColor;
    QRect frame;
    bool minimized = false;
};

// What the main window reports about itself at the end (sizes and positions in twips).
struct MainWindowPreferences : MainWindowLayout {
    qint32 backColor = 0; // BGR colour value
    int iconsPerPage = 200;
    bool minimized = false;
    int top = 0;
    int left = 0;
    int width = 0;
    int height = 0;
    // Loaded and not minimised editors report where they are.
    std::optional<QPoint> keywordEditor;
    std::optional<QPoint> referenceEditor;
};

} // namespace glyphary
