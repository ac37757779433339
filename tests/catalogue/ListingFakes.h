#pragma once
// Recording stand-ins for the window side of listings and for the sources still to come, and a
// catalogue loaded from files written by the test.

#include "core/AppContext.h"
#include "catalogue/CatalogueFiles.h"
#include "catalogue/LaterSources.h"
#include "catalogue/NavigationClick.h"
#include "support/TempRoot.h"

#include <QStringList>
#include <functional>

namespace glyphary::testing {

class RecordingHost : public NavigationHost {
public:
    QStringList calls;             // every call in order, with its argument
    QString message;               // the "message" panel
    QString count;                 // the "count" panel
    int selectedKeyword = -2;      // -2: never selected
    int listingsStarted = 0;
    int doEventsCalls = 0;
    std::function<void(int call)> onDoEvents; // call counts from 1

    void refreshCommandState() override { calls.append(QStringLiteral("refreshCommandState")); }
    void lockWindow() override { calls.append(QStringLiteral("lock")); }
    void setMousePointer(ListingPointer pointer) override
    {
        calls.append(QStringLiteral("pointer %1").arg(static_cast<int>(pointer)));
    }
    void showMessage(const QString& text) override
    {
        message = text;
        calls.append(QStringLiteral("message ") + text);
    }
    void showCount(const QString& text) override { count = text; }
    void selectKeywordBarEntry(int position) override
    {
        selectedKeyword = position;
        calls.append(QStringLiteral("select %1").arg(position));
    }
    void refreshKeywordBar() override { calls.append(QStringLiteral("refreshKeywordBar")); }
    void doEvents() override
    {
        ++doEventsCalls;
        if (onDoEvents)
            onDoEvents(doEventsCalls);
    }
    void startListing() override
    {
        ++listingsStarted;
        calls.append(QStringLiteral("startListing"));
    }
    void setFavoriteGroupCommands(bool addEnabled, bool deleteEnabled) override
    {
        calls.append(QStringLiteral("favoriteGroup %1 %2").arg(addEnabled).arg(deleteEnabled));
    }
};

class RecordingSources : public LaterSources {
public:
    QStringList calls;
    bool addSucceeds = true;

    void ListShortcuts(const QString& folderName) override { calls.append(QStringLiteral("shortcuts ") + folderName); }
    void ListCurrentCursors(std::span<const QLatin1StringView> names) override
    {
        QStringList list;
        for (QLatin1StringView name : names)
            list.append(name);
        calls.append(QStringLiteral("cursors ") + list.join(u','));
    }
    void ListCursorScheme(const QString& scheme) override { calls.append(QStringLiteral("scheme ") + scheme); }
    void ListFileTypes() override { calls.append(QStringLiteral("fileTypes")); }
    void ListSystemIcons(SystemIconGroup group) override
    {
        calls.append(QStringLiteral("system %1").arg(static_cast<int>(group)));
    }
    void ListFavoriteFolder(const QString& folder) override { calls.append(QStringLiteral("favorites ") + folder); }
    void AddFavoriteKeywordHits(const QString& keyword, ItemList& results) override
    {
        calls.append(QStringLiteral("favoriteHits ") + keyword);
        results.add(QStringLiteral("C:\\Fav\\") + keyword + QStringLiteral(".ico;0;x;0open"), 0);
    }
    bool AddToFavoritesByDrop(const QString& folder) override
    {
        calls.append(QStringLiteral("addToFavorites ") + folder);
        return addSucceeds;
    }
    void DeleteFavorite() override { calls.append(QStringLiteral("deleteFavorite")); }
};

inline const QString kProgramFolder = QStringLiteral("C:\\Glyphary\\");

// Writes the catalogue files that are given (a null array leaves the file out) and loads them.
inline void loadCatalogue(TempRoot& root, AppContext& context, const QByteArray& index,
                          const QByteArray& references = QByteArray(), const QByteArray& customKeywords = QByteArray())
{
    context.ProgramFolder = kProgramFolder;
    if (!index.isNull())
        root.writeFile(kProgramFolder + QStringLiteral("Icondata.dat"), index);
    if (!references.isNull())
        root.writeFile(kProgramFolder + QStringLiteral("Iconuser.dat"), references);
    if (!customKeywords.isNull())
        root.writeFile(kProgramFolder + QStringLiteral("Keyuser.dat"), customKeywords);
    LoadCatalogue(context);
}

inline QStringList texts(const ItemList& list)
{
    QStringList result;
    for (const auto& entry : list.entries())
        result.append(entry.text);
    return result;
}

inline std::vector<std::int32_t> itemData(const ItemList& list)
{
    std::vector<std::int32_t> result;
    for (const auto& entry : list.entries())
        result.push_back(entry.itemData);
    return result;
}

} // namespace glyphary::testing
