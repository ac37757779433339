#pragma once
// The arrangement of the main window that is kept between runs: read at its load, stored at the
// end. Sizes are in the holder's unit (pixels once loaded, twips as stored).

#include <array>

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

} // namespace glyphary
