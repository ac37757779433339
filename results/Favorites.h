#pragma once
// Favorites in the session: the favorites family's icon source (the folder nodes, a
// folder's listing, the keyword search's hits, the drop of a result icon) and the commands Add to
// Favorites, Delete Favorite, Create Folder, Remove Folder, Refresh and Organize Favorites.

#include "core/IconSource.h"
#include "results/FavoritesFolder.h"

#include <QString>
#include <QStringList>
#include <memory>

namespace glyphary {
class MainSession;
namespace platform {
class ProgramLauncher;
}
} // namespace glyphary

namespace glyphary::results {

inline const QString kCreateFolderTitle = QStringLiteral("Create Favorite Folder");
inline const QString kCreateFolderPrompt = QStringLiteral("Give the Name of the Favorite Folder.");
inline const QString kRemoveFolderTitle = QStringLiteral("Remove Favorite Folder");
inline const QString kOrganizeTitle = QStringLiteral("Organize Favorites");
inline const QString kOrganizeText = QStringLiteral(
    "Use the Windows Explorer to organize your Favorites. If you made changes to the folder structure, please refresh "
    "the Favorites tree by selecting Favorites, Refresh in the main menu.");
inline const QString kOrganizeFlag = QStringLiteral("OrganizeFav");
inline const QString kOrganizeNowCaption = QStringLiteral("Organize Favorites Now");
inline const QString kFavoritesMessageTitle = QStringLiteral("Favorites");

QString removeFolderQuestion(const QString& nodeText);

class Favorites : public IconSource {
public:
    explicit Favorites(MainSession& session);
    ~Favorites() override;

    FavoritesFolder& folder() { return folder_; }

    // IconSource
    void list(const SourceRequest& request) override;
    std::vector<SourceNode> nodes() override;
    void addKeywordHits(const QString& keyword, ItemList& results) override;
    bool takeDrop(const QString& folder) override;
    void removeSelected() override { deleteFavorite(); }

    // The commands.
    void addFavorite();
    void deleteFavorite();
    void createFolder();
    void removeFolder();
    void refresh();
    void organize();

    // Tests start nothing.
    void setLauncher(std::unique_ptr<platform::ProgramLauncher> launcher);

private:
    // The favorites node the tree has selected: the last folder listed while the folder commands
    // stay enabled (a click on any other node disables them); "" for none.
    QString selectedNode() const;
    // The favorites folder exists and can be read; said once per run when it cannot be.
    bool available();
    // The listing shown again after a favorite went: the keyword search or the node's folder.
    void rebuildListing();
    void showNodeSelected(const QString& key);

    MainSession& session_;
    FavoritesFolder folder_;
    std::unique_ptr<platform::ProgramLauncher> launcher_;
    QString listedKey_;       // the node of the folder listed last
    QString searchedKeyword_; // the keyword of the last search with favorites hits
    bool listedByKeyword_ = false;
    bool unavailableSaid_ = false;
    QStringList expanded_;    // nodes that show open when the tree is built again
};

} // namespace glyphary::results
