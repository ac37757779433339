#include "core/MainSession.h"

#include "core/AppContext.h"
#include "core/MainWindowPort.h"
#include "core/OsVersion.h"
#include "platform/ShortcutFile.h"

namespace glyphary {

MainSession::MainSession(AppContext& context, Settings& settings, MainWindowPort& window)
    : context_(context), settings_(settings), window_(window),
      pages_(cmbResult, context.AbortFlag, window, static_cast<ResultRowReader&>(*this))
{
    handle(Command::Abort, [this] { context_.AbortFlag = kTrue; });
}

MainSession::~MainSession()
{
    // Later objects may use earlier ones.
    while (!kept_.empty())
        kept_.pop_back();
}

bool MainSession::run(Command command, int argument)
{
    const auto found = handlers_.find(command);
    if (found == handlers_.end()) {
        window_.setPanelText(StatusPanel::Message, kCommandMissingText);
        return false;
    }
    // A copy: the handler may replace itself.
    const Handler handler = found->second;
    handler(argument);
    return true;
}

bool MainSession::runEntry(QStringView name)
{
    if (const auto call = commandForEntry(name))
        return run(*call);
    window_.setPanelText(StatusPanel::Message, kCommandMissingText);
    return false;
}

const MainWindowSettings& MainSession::loadSettings(const MainWindowDesign& design)
{
    GetOsVersion(context_.platform.system(), context_.OsName, context_.OsCode);
    folderIconsSupported_ = glyphary::folderIconsSupported(context_);
    loaded_ = readMainWindowSettings(context_, settings_, design);
    pages_.setIconsPerPage(loaded_.iconsPerPage);
    pages_.setFolderIconsSupported(folderIconsSupported_);
    if (navigation_)
        navigation_->setFavorites(loaded_.favoritesRoot, loaded_.searchFavorites);
    return loaded_;
}

bool MainSession::procSaveShortcut(const QString& LnkFile, const QString& ExeFile, const QString& WorkDir,
                                   const QString& ExeArgs, const QString& IconFile, int IconIdx, std::int32_t ShowCmd)
{
    const platform::ShortcutFields fields{ExeFile, WorkDir, ExeArgs, IconFile, IconIdx, ShowCmd};
    return platform::writeShortcut(context_.platform.paths(), LnkFile, fields);
}

void MainSession::broadcastSettingChange(unsigned wParam)
{
    for (const auto& listener : settingChangeListeners_)
        listener(wParam);
    window_.doEvents();
}

void MainSession::clickNode(const QString& key)
{
    lastClickedNode_ = key;
    const NavNode* node = tree_.find(key);
    if (node && !tree_.hasChildren(key))
        setSourceCaption(node->caption);
    if (navigation_)
        navigation_->click(key);
}

bool MainSession::searchKeywordStartingWith(const QString& text)
{
    const int position = context_.catalogueLists.cmbSearch.findPrefix(text);
    if (position < 0 || !navigation_)
        return false;
    // Selecting the entry from here raises no selection event, so the search runs explicitly, as
    // it must anyway when the entry was already the selected one.
    window_.selectKeywordBarEntry(position);
    setSourceCaption(context_.catalogueLists.cmbSearch.text(position));
    navigation_->searchKeyword(position);
    return true;
}

std::optional<ErrorInfo> MainSession::openPendingPath()
{
    setSourceCaption(context_.PendingOpenPath);
    if (!pathOpener_) {
        context_.PendingOpenPath.clear();
        window_.setPanelText(StatusPanel::Message, kCommandMissingText);
        return std::nullopt;
    }
    return pathOpener_();
}

void MainSession::clearResults()
{
    // What is listed next comes from elsewhere than the favorites folder.
    context_.FavoritesFlag = kFalse;
    lstFiles.clear();
    cmbResult.clear();
    selectionChanged();
}

void MainSession::rebuildNavigationTree()
{
    tree_ = navigation_ ? navigation_->buildTree() : NavigationTree();
    window_.showNavigationTree(tree_);
}

void MainSession::setSourceCaption(const QString& caption)
{
    sourceCaption_ = caption;
    window_.showSourceCaption(caption);
}

void MainSession::selectionChanged()
{
    SelectionContext selectionContext;
    selectionContext.propertiesEnabled = window_.isCommandEnabled(Command::Properties);
    selectionContext.pageCount = pages_.pageCount();
    selectionContext.folderIconsSupported = folderIconsSupported_;
    selectionContext.doubleClick = DoubleClickSettings::from(loaded_);
    MessagePanel panel = window_.messagePanel();
    const platform::WindowsPaths& paths = context_.platform.paths();
    panel.longName = [&paths](const QString& path) { return paths.longName(path); };
    selection_ = selectionReaction(window_.selectedRow(), selectionContext, panel);
    if (selection_.hasSelection)
        window_.applySelection(selection_);
}

MainWindowPreferences MainSession::preferencesToStore() const
{
    return glyphary::preferencesToStore(window_.shownWindow(), loaded_.iconsPerPage, context_.TwipsPerPixelX,
                                        context_.TwipsPerPixelY);
}

void MainSession::refreshCommandState()
{
    selectionChanged();
}

void MainSession::lockWindow()
{
    pages_.lockWindow();
}

// The values are Screen.MousePointer's on both sides.
void MainSession::setMousePointer(ListingPointer pointer)
{
    window_.setMousePointer(static_cast<MousePointer>(static_cast<int>(pointer)));
}

void MainSession::showMessage(const QString& text)
{
    window_.setPanelText(StatusPanel::Message, text);
}

void MainSession::showCount(const QString& text)
{
    window_.setPanelText(StatusPanel::Count, text);
}

void MainSession::selectKeywordBarEntry(int position)
{
    window_.selectKeywordBarEntry(position);
}

void MainSession::refreshKeywordBar()
{
    window_.refreshKeywordBar();
}

void MainSession::doEvents()
{
    window_.doEvents();
}

void MainSession::startListing()
{
    pages_.startListing();
}

void MainSession::setFavoriteGroupCommands(bool addEnabled, bool deleteEnabled)
{
    window_.setCommandEnabled(Command::FavoriteGroupAdd, addEnabled);
    window_.setCommandEnabled(Command::FavoriteGroupDel, deleteEnabled);
}

std::optional<RowResult> MainSession::readRow(const QString& item, std::int32_t itemData, int position)
{
    if (!rowReader_)
        return std::nullopt;
    return rowReader_->readRow(item, itemData, position);
}

QString MainSession::pageNote() { return rowReader_ ? rowReader_->pageNote() : QString(); }

void MainSession::setPictureScale(int scale)
{
    if (rowReader_)
        rowReader_->setPictureScale(scale);
}

} // namespace glyphary
