#pragma once
// Dragging a result icon over the navigation tree: only favorites folders take it. A favorite
// (Origin "File Favorite") moves with Shift; every other icon is copied.

#include <QString>

namespace glyphary {

enum class DropEffect { None, Copy, Move, AsSourceAllows };

struct DragOverDecision {
    bool expandNode = false; // a collapsed favorites folder opens while an icon hovers over it
    DropEffect effect = DropEffect::None;
};

struct DropDecision {
    bool addToFavorites = false;
    bool deleteSource = false;   // the favorite moves: Delete Favorite once it was added
    QString relativeFolder;      // below the favorites root; "" for the root itself
};

// A drag that began in the result list: its text equals the selected result's text.
bool isResultDrag(const QString& dragText, const QString& selectedResultText);

bool isFavoritesKey(const QString& nodeKey);

// The node under the pointer is `nodeKey`; `draggedOrigin` is the dragged item's Origin text.
DragOverDecision dragOverNode(const QString& nodeKey, bool nodeExpanded, bool fromResults, const QString& draggedOrigin,
                              bool shift);
DropDecision dropOnNode(const QString& nodeKey, bool fromResults, const QString& draggedOrigin, bool shift);

} // namespace glyphary
