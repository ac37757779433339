#pragma once
// Recording stand-ins for the window side of listings and for the sources, and a catalogue loaded
// from files written by the test.

#include "support/ItemTexts.h"
#include "core/AppContext.h"
#include "catalogue/CatalogueFiles.h"
#include "core/IconSource.h"
#include "catalogue/NavigationClick.h"
#include "support/TempRoot.h"

#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

namespace glyphary::testing {

class RecordingHost : public ListingHost {
public:
    QStringList calls; // every call in order, with its argument
    QString message, count;
    int selectedKeyword = -2; // -2: never selected
    int listingsStarted = 0, doEventsCalls = 0;
    std::function<void(int call)> onDoEvents; // call counts from 1

    void refreshCommandState() override { calls.append(QStringLiteral("refreshCommandState")); }
    void lockWindow() override { calls.append(QStringLiteral("lock")); }
    void setMousePointer(ListingPointer p) override { calls.append(QStringLiteral("pointer %1").arg(int(p))); }
    void showMessage(const QString& text) override { calls.append(QStringLiteral("message ") + (message = text)); }
    void showCount(const QString& text) override { count = text; }
    void selectKeywordBarEntry(int p) override { calls.append(QStringLiteral("select %1").arg(selectedKeyword = p)); }
    void refreshKeywordBar() override { calls.append(QStringLiteral("refreshKeywordBar")); }
    void doEvents() override { ++doEventsCalls; if (onDoEvents) onDoEvents(doEventsCalls); }
    void startListing() override { ++listingsStarted; calls.append(QStringLiteral("startListing")); }
    void setFavoriteGroupCommands(bool addEnabled, bool deleteEnabled) override
    {
        calls.append(QStringLiteral("favoriteGroup %1 %2").arg(addEnabled).arg(deleteEnabled));
    }
};

// A source for every family that records each call as one line ("shortcuts Desktop", "favorites
// C:\Fav", ...) and adds the favorite folder nodes it is given.
class RecordingSources : public IconSources {
public:
    QStringList calls;
    bool addSucceeds = true;
    std::vector<SourceNode> favoriteNodes;

    RecordingSources()
    {
        for (SourceFamily family : {SourceFamily::Shortcuts, SourceFamily::CurrentCursors, SourceFamily::CursorScheme,
                                    SourceFamily::FileTypes, SourceFamily::SystemIcons, SourceFamily::Favorites}) {
            families_.push_back(std::make_unique<Family>(*this, family));
            add(family, *families_.back());
        }
    }
    RecordingSources(const RecordingSources&) = delete;
    RecordingSources& operator=(const RecordingSources&) = delete;

private:
    struct Family : IconSource {
        Family(RecordingSources& o, SourceFamily f) : owner(o), family(f) {}
        void list(const SourceRequest& request) override
        {
            // Indexed by SourceFamily.
            static const char* const names[] = {"shortcuts ", "cursors", "scheme ", "fileTypes", "system ", "favorites "};
            const QString name = QString::fromLatin1(names[static_cast<int>(family)]);
            owner.calls.append(family == SourceFamily::SystemIcons ? name + QString::number(request.number)
                               : name.endsWith(u' ')                ? name + request.name
                                                                    : name);
        }
        std::vector<SourceNode> nodes() override
        {
            return family == SourceFamily::Favorites ? owner.favoriteNodes : std::vector<SourceNode>{};
        }
        void addKeywordHits(const QString& keyword, ItemList& results) override
        {
            owner.calls.append(QStringLiteral("favoriteHits ") + keyword);
            results.add(QStringLiteral("C:\\Fav\\") + keyword + QStringLiteral(".ico;0;x;0open"), 0);
        }
        bool takeDrop(const QString& folder) override
        {
            owner.calls.append(QStringLiteral("addToFavorites ") + folder);
            return owner.addSucceeds;
        }
        void removeSelected() override { owner.calls.append(QStringLiteral("deleteFavorite")); }

        RecordingSources& owner;
        SourceFamily family;
    };
    std::vector<std::unique_ptr<Family>> families_;
};

inline const QString kProgramFolder = QStringLiteral("C:\\Glyphary\\");

// Writes the catalogue files given (a null array leaves one out) and loads them.
inline QString loadCatalogue(TempRoot& root, AppContext& context, const QByteArray& index,
                             const QByteArray& references = {}, const QByteArray& customKeywords = {})
{
    context.ProgramFolder = kProgramFolder;
    for (const auto& [name, bytes] : {std::pair{"Icondata.dat", &index}, std::pair{"Iconuser.dat", &references},
                                      std::pair{"Keyuser.dat", &customKeywords}})
        if (!bytes->isNull())
            root.writeFile(kProgramFolder + QLatin1StringView(name), *bytes);
    return LoadCatalogue(context);
}

} // namespace glyphary::testing
