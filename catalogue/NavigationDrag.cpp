#include "catalogue/NavigationDrag.h"

namespace glyphary {
namespace {

const QString kFavoritesKey = QStringLiteral("favori");

bool isFavorite(const QString& origin)
{
    return origin == QLatin1StringView("File Favorite");
}

} // namespace

bool isResultDrag(const QString& dragText, const QString& selectedResultText)
{
    return !selectedResultText.isEmpty() && dragText == selectedResultText;
}

// The favorites root "favori" and its folders "favori\A\B"; a cursor scheme that happens to be
// named "favori..." is not one.
bool isFavoritesKey(const QString& nodeKey)
{
    return nodeKey.startsWith(kFavoritesKey)
        && (nodeKey.size() == kFavoritesKey.size() || nodeKey[kFavoritesKey.size()] == u'\\');
}

DragOverDecision dragOverNode(const QString& nodeKey, bool nodeExpanded, bool fromResults, const QString& draggedOrigin,
                              bool shift)
{
    if (!fromResults || !isFavoritesKey(nodeKey))
        return {};
    DragOverDecision decision;
    decision.expandNode = !nodeExpanded;
    if (!isFavorite(draggedOrigin))
        decision.effect = DropEffect::Copy;
    else
        decision.effect = shift ? DropEffect::Move : DropEffect::AsSourceAllows;
    return decision;
}

DropDecision dropOnNode(const QString& nodeKey, bool fromResults, const QString& draggedOrigin, bool shift)
{
    if (!fromResults || !isFavoritesKey(nodeKey))
        return {};
    DropDecision decision;
    decision.addToFavorites = true;
    decision.deleteSource = shift && isFavorite(draggedOrigin);
    decision.relativeFolder = nodeKey.mid(kFavoritesKey.size());
    return decision;
}

} // namespace glyphary
