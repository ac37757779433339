#include "catalogue/Install.h"

#include "catalogue/CatalogueListings.h"
#include "catalogue/NavigationClick.h"
#include "catalogue/NavigationNodes.h"
#include "core/MainSession.h"
#include "core/MainWindowPort.h"

#include <memory>

namespace glyphary::catalogue {
namespace {

class CatalogueNavigation : public Navigation {
public:
    explicit CatalogueNavigation(MainSession& session)
        : session_(session),
          listings_(session.context(), session.cmbResult, session.listingHost(), session.sources()),
          click_(session.context(), session.navigationTree(), listings_, session.sources(), session.listingHost())
    {
    }

    NavigationTree buildTree() override { return BuildNavigationTree(session_.context(), session_.sources()); }
    void click(const QString& key) override { click_.click(key); }
    void drop(const QString& key, bool fromResults, bool shift) override
    {
        const std::optional<SelectedRow> row = session_.window().selectedRow();
        click_.drop(key, fromResults, row ? row->origin : QString(), shift);
    }
    void searchKeyword(int position) override { listings_.SearchKeyword(position, searchFavorites_); }
    void enterKeyword(const QString& typed) override { listings_.EnterKeyword(typed, searchFavorites_); }
    void setFavorites(const QString& root, bool searchFavorites) override
    {
        click_.setFavoritesRoot(root);
        click_.setSearchFavorites(searchFavorites);
        searchFavorites_ = searchFavorites;
    }

private:
    MainSession& session_;
    CatalogueListings listings_;
    NavigationClick click_;
    bool searchFavorites_ = false;
};

} // namespace

void install(MainSession& session)
{
    session.setNavigation(session.keep(std::make_unique<CatalogueNavigation>(session)));
}

} // namespace glyphary::catalogue
