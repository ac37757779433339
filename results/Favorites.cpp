#include "results/Favorites.h"

#include "core/AppContext.h"
#include "core/MainSession.h"
#include "core/MainWindowLoad.h"
#include "core/MainWindowPort.h"
#include "core/ResultItem.h"
#include "core/Settings.h"
#include "core/ShowMessage.h"
#include "platform/DialogsPort.h"
#include "platform/ProgramLauncher.h"
#include "platform/Win32Types.h"
#include "platform/WindowsPaths.h"

#include <QFile>
#include <QFileInfo>

namespace glyphary::results {
namespace {

const QString kFileFavorite = QStringLiteral("File Favorite");
constexpr int kMaxNamesShown = 20;

QString withoutTrailingBackslash(QString folder)
{
    while (folder.size() > 3 && folder.endsWith(u'\\'))
        folder.chop(1);
    return folder;
}

QString countText(int count)
{
    return QString::number(count) + QStringLiteral(" Icon(s)");
}

// The parent keys of a favorites node, nearest first, down to "favori".
QStringList ancestorsOf(const QString& key)
{
    QStringList keys;
    QString rest = key;
    for (qsizetype cut = rest.lastIndexOf(u'\\'); cut >= kFavoritesKey.size(); cut = rest.lastIndexOf(u'\\')) {
        rest = rest.left(cut);
        keys << rest;
    }
    if (key != kFavoritesKey)
        keys << kFavoritesKey;
    keys.removeDuplicates();
    return keys;
}

} // namespace

QString removeFolderQuestion(const QString& nodeText)
{
    return QStringLiteral("Are you sure you want to remove the '") + nodeText
        + QStringLiteral("' Favorite Folder and all of it's subgroups?.") + u'\r'
        + QStringLiteral("All icons present in this folder and all it's subfolders will be permanently deleted from your harddisk!");
}

Favorites::Favorites(MainSession& session)
    : session_(session),
      folder_(session.context().platform.paths(),
              [&session] {
                  const QString loaded = session.loaded().favoritesRoot;
                  return withoutTrailingBackslash(loaded.isEmpty() ? favoritesRoot(session.context(), session.settings())
                                                                   : loaded);
              }),
      launcher_(std::make_unique<platform::SystemLauncher>())
{
}

Favorites::~Favorites() = default;

void Favorites::setLauncher(std::unique_ptr<platform::ProgramLauncher> launcher)
{
    launcher_ = std::move(launcher);
}

bool Favorites::available()
{
    if (folder_.ensureExists())
        return true;
    if (!unavailableSaid_) {
        unavailableSaid_ = true;
        session_.context().platform.dialogs().messageBox(
            QStringLiteral("The Favorites folder ") + folder_.root() + QStringLiteral(" cannot be created or read.") + u'\r'
                + QStringLiteral("Favorites cannot be shown or kept until it can."),
            kFavoritesMessageTitle, platform::MB_ICONEXCLAMATION);
    }
    return false;
}

QString Favorites::selectedNode() const
{
    return session_.window().isCommandEnabled(Command::FavoriteGroupAdd) ? listedKey_ : QString();
}

std::vector<SourceNode> Favorites::nodes()
{
    if (!available())
        return {};
    ListingHost& host = session_.listingHost();
    return folder_.scanNodes(session_.context().AbortFlag, [&host] { host.doEvents(); }, expanded_);
}

void Favorites::list(const SourceRequest& request)
{
    AppContext& context = session_.context();
    ListingHost& host = session_.listingHost();
    session_.clearResults();
    context.FavoritesFlag = kTrue;
    listedKey_ = folder_.keyOfFolderPath(request.name);
    listedByKeyword_ = false;
    context.AbortFlag = kFalse;
    host.lockWindow();
    host.doEvents();
    if (available()) {
        folder_.scanFiles(request.name, context.AbortFlag, [&host] { host.doEvents(); }, session_.lstFiles);
        ItemList kept;
        for (const ItemList::Entry& entry : session_.lstFiles.entries()) {
            if (isListedFavorite(entry.text))
                kept.add(entry.text, entry.itemData);
        }
        session_.lstFiles = kept;
        for (const ItemList::Entry& entry : session_.lstFiles.entries()) {
            if (context.AbortFlag != kFalse)
                break;
            session_.listFileIcons(entry.text, session_.cmbResult);
        }
    }
    host.showCount(countText(session_.cmbResult.count()));
    host.startListing();
}

void Favorites::addKeywordHits(const QString& keyword, ItemList& results)
{
    AppContext& context = session_.context();
    ListingHost& host = session_.listingHost();
    listedByKeyword_ = true;
    searchedKeyword_ = keyword;
    session_.lstFiles.clear();
    if (!available())
        return;
    // The favorites folder itself: its subfolders are not searched.
    ItemList found;
    folder_.scanFiles(folder_.root(), context.AbortFlag, [&host] { host.doEvents(); }, found);
    for (const ItemList::Entry& entry : found.entries()) {
        if (isKeywordFavorite(entry.text, keyword))
            session_.lstFiles.add(entry.text, entry.itemData);
    }
    for (const ItemList::Entry& entry : session_.lstFiles.entries())
        session_.listFileIcons(entry.text, results);
}

bool Favorites::takeDrop(const QString& folder)
{
    AppContext& context = session_.context();
    if (!available())
        return false;
    context.FavoritesDropFlag = kTrue;
    context.SaveAsFolder = folder;
    context.SaveAsName.clear();
    context.SaveAsWritten.clear();
    session_.run(Command::SaveAs);
    context.FavoritesDropFlag = kFalse;
    return !context.SaveAsWritten.isEmpty();
}

void Favorites::addFavorite()
{
    AppContext& context = session_.context();
    available();
    const Flag listing = context.FavoritesFlag;
    const QString node = selectedNode();
    context.FavoritesFlag = kTrue;
    context.SaveAsFolder = node.isEmpty() ? folder_.root() : folder_.folderOfKey(node);
    context.SaveAsWritten.clear();
    session_.run(Command::SaveAs, kSaveAsToFavorites);
    context.FavoritesFlag = listing;
}

void Favorites::deleteFavorite()
{
    const std::optional<SelectedRow> row = session_.window().selectedRow();
    if (!row || row->origin != kFileFavorite)
        return;
    if (const std::optional<ItemFields> fields = fieldsOf(row->item)) {
        const QString host = session_.context().platform.paths().toHost(fields->file);
        // A favorite deleted behind the program's back only needs its listing shown again.
        if (!host.isEmpty() && QFileInfo(host).isFile() && !QFile::remove(host)) {
            session_.context().platform.dialogs().messageBox(
                QStringLiteral("The favorite ") + fields->file + QStringLiteral(" could not be deleted."),
                kFavoritesMessageTitle, platform::MB_ICONEXCLAMATION);
        }
    }
    rebuildListing();
}

void Favorites::rebuildListing()
{
    Navigation* navigation = session_.navigation();
    if (!navigation)
        return;
    if (listedByKeyword_) {
        const int position = session_.context().catalogueLists.cmbSearch.findExact(searchedKeyword_);
        if (position >= 0) {
            session_.listingHost().selectKeywordBarEntry(position);
            navigation->searchKeyword(position);
        }
        return;
    }
    if (!listedKey_.isEmpty())
        navigation->click(listedKey_);
}

void Favorites::showNodeSelected(const QString& key)
{
    session_.window().selectNavigationNode(key);
    if (const NavNode* node = session_.navigationTree().find(key))
        session_.setSourceCaption(node->caption);
    if (Navigation* navigation = session_.navigation())
        navigation->click(key);
}

void Favorites::createFolder()
{
    platform::DialogsPort& dialogs = session_.context().platform.dialogs();
    QString parentKey = selectedNode();
    if (parentKey.isEmpty())
        parentKey = kFavoritesKey;
    const std::optional<QString> answer = dialogs.inputBox(kCreateFolderPrompt, kCreateFolderTitle, QString());
    if (!answer || answer->isEmpty())
        return;
    const FolderNameProblem problem = checkFolderName(*answer);
    if (problem != FolderNameProblem::None) {
        dialogs.messageBox(folderNameMessage(problem, *answer), kCreateFolderTitle, platform::MB_ICONEXCLAMATION);
        return;
    }
    if (!available())
        return;
    const CreatedFolder created = folder_.createFolder(parentKey, *answer);
    if (!created.ok) {
        dialogs.messageBox(QStringLiteral("The Favorite Folder \"") + *answer + QStringLiteral("\" could not be created.")
                               + u'\r' + created.error,
                           kCreateFolderTitle, platform::MB_ICONEXCLAMATION);
        return;
    }
    expanded_ << parentKey << ancestorsOf(parentKey);
    expanded_.removeDuplicates();
    session_.rebuildNavigationTree();
    showNodeSelected(created.key);
}

void Favorites::removeFolder()
{
    platform::DialogsPort& dialogs = session_.context().platform.dialogs();
    const QString key = selectedNode();
    if (key.isEmpty())
        return;
    if (key == kFavoritesKey) {
        dialogs.messageBox(QStringLiteral("The Favorites folder itself is not removed."), kRemoveFolderTitle,
                           platform::MB_ICONEXCLAMATION);
        return;
    }
    const NavNode* node = session_.navigationTree().find(key);
    const QString text = node ? node->caption : key.mid(key.lastIndexOf(u'\\') + 1);
    if (dialogs.messageBox(removeFolderQuestion(text), kRemoveFolderTitle, platform::MB_YESNO | platform::MB_ICONQUESTION)
        != platform::IDYES)
        return;
    const RemovedFolder removed = folder_.removeFolder(key);
    if (!removed.refusal.isEmpty()) {
        dialogs.messageBox(removed.refusal, kRemoveFolderTitle, platform::MB_ICONEXCLAMATION);
        return;
    }
    if (!removed.notRemoved.isEmpty()) {
        QStringList names = removed.notRemoved.mid(0, kMaxNamesShown);
        if (removed.notRemoved.size() > kMaxNamesShown)
            names << QStringLiteral("and %1 more.").arg(removed.notRemoved.size() - kMaxNamesShown);
        dialogs.messageBox(QStringLiteral("These could not be removed:") + u'\r' + names.join(u'\r'), kRemoveFolderTitle,
                           platform::MB_ICONEXCLAMATION);
    }
    if (!removed.removed)
        return;
    const QString parentKey = ancestorsOf(key).value(0, kFavoritesKey);
    expanded_.removeIf([&key](const QString& k) { return k == key || k.startsWith(key + u'\\'); });
    session_.rebuildNavigationTree();
    showNodeSelected(parentKey);
}

void Favorites::refresh()
{
    session_.context().AbortFlag = kFalse;
    session_.rebuildNavigationTree();
    listedKey_.clear();
    listedByKeyword_ = false;
    session_.listingHost().setFavoriteGroupCommands(false, false);
    session_.clearResults();
    session_.pages().startListing();
}

void Favorites::organize()
{
    AppContext& context = session_.context();
    platform::DialogsPort& dialogs = context.platform.dialogs();
    if (session_.settings().noticeWanted(kOrganizeFlag)
        && !ShowMessage(dialogs, kOrganizeText, kOrganizeFlag, kOrganizeTitle, kOrganizeNowCaption))
        return;
    available();
    const QString host = context.platform.paths().toHost(folder_.root());
    if (host.isEmpty() || !launcher_->openWithDesktop(host)) {
        dialogs.messageBox(QStringLiteral("The Favorites folder ") + folder_.root()
                               + QStringLiteral(" could not be opened in the file manager."),
                           kOrganizeTitle, platform::MB_ICONEXCLAMATION);
    }
}

} // namespace glyphary::results
