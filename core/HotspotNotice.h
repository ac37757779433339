#pragma once
// Shown before a static cursor is written (Save As, the change window, picture import): the
// stored icons lost their hot spots, so the person places it again in the zoom window.

#include <QImage>

namespace glyphary {

class MainSession;

// The reminder, unless "NoCursorChange" turned it off, then in both cases the zoom window, modal,
// on `image` (the selected row's picture when it is null).
void HotspotNotice(MainSession& session, const QImage& image = QImage());

} // namespace glyphary
