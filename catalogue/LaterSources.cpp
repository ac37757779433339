#include "catalogue/LaterSources.h"

namespace glyphary {

void LaterSources::ListShortcuts(const QString&) {}
void LaterSources::ListCurrentCursors(std::span<const QLatin1StringView>) {}
void LaterSources::ListCursorScheme(const QString&) {}
void LaterSources::ListFileTypes() {}
void LaterSources::ListSystemIcons(SystemIconGroup) {}
void LaterSources::ListFavoriteFolder(const QString&) {}
void LaterSources::AddFavoriteFolderNodes(NavigationTree&) {}
void LaterSources::AddFavoriteKeywordHits(const QString&, ItemList&) {}
bool LaterSources::AddToFavoritesByDrop(const QString&) { return false; }
void LaterSources::DeleteFavorite() {}

} // namespace glyphary
