#pragma once
// The program without its widgets: the current listing and its pages, the selection, the source
// caption, the navigation tree, the registered icon sources and the typed commands. Each subsystem
// folder's install(MainSession&) provides handlers, sources and services; the main window maps its
// actions to commands and implements MainWindowPort.

#include "core/Command.h"
#include "core/ErrorReport.h"
#include "core/IconSource.h"
#include "core/ItemList.h"
#include "core/ListingHost.h"
#include "core/MainWindowLoad.h"
#include "core/NavigationTree.h"
#include "core/ResultPages.h"
#include "core/Selection.h"

#include <QImage>
#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <type_traits>
#include <vector>

namespace glyphary {

struct AppContext;
class MainWindowPort;
class Settings;

// What the tree and the keyword bar run; the catalogue provides it.
class Navigation {
public:
    virtual ~Navigation() = default;
    virtual NavigationTree buildTree() = 0;
    virtual void click(const QString& key) = 0;
    // A result icon dropped on the node `key`; `fromResults` when it was dragged from the list.
    virtual void drop(const QString& key, bool fromResults, bool shift) = 0;
    virtual void searchKeyword(int position) = 0;
    virtual void enterKeyword(const QString& typed) = 0;
    // "FavDir" and "SearchFav" as the load read them.
    virtual void setFavorites(const QString& root, bool searchFavorites) = 0;
};

inline const QString kCommandMissingText = QStringLiteral("This version of Glyphary cannot do that yet.");

class MainSession : private ListingHost, private ResultRowReader {
public:
    using Handler = std::function<void(int argument)>;
    // Opens PendingOpenPath; the error to report when the path does not exist.
    using PathOpener = std::function<std::optional<ErrorInfo>()>;

    MainSession(AppContext& context, Settings& settings, MainWindowPort& window);
    ~MainSession() override;
    MainSession(const MainSession&) = delete;
    MainSession& operator=(const MainSession&) = delete;

    AppContext& context() const { return context_; }
    Settings& settings() const { return settings_; }
    MainWindowPort& window() const { return window_; }
    ListingHost& listingHost() { return *this; }

    // The hidden working lists: the result list of the current listing and the files behind it.
    ItemList cmbResult;
    ItemList lstFiles;
    // The rows behind a system icon group or the file types, which the change window reads back.
    ItemList lstChange;
    ResultPages& pages() { return pages_; }
    IconSources& sources() { return sources_; }
    const NavigationTree& navigationTree() const { return tree_; }
    const SelectionState& selection() const { return selection_; }
    const MainWindowSettings& loaded() const { return loaded_; }
    // The Options window's Apply: what reads the loaded preferences sees the new ones at once.
    MainWindowSettings& loadedForChange() { return loaded_; }
    bool folderIconsSupported() const { return folderIconsSupported_; }

    // A handler that takes no argument may be given as such.
    template <class F>
    void handle(Command command, F&& handler)
    {
        if constexpr (std::is_invocable_v<F>)
            handlers_[command] = [f = std::forward<F>(handler)](int) { f(); };
        else
            handlers_[command] = Handler(std::forward<F>(handler));
    }
    bool handles(Command command) const { return handlers_.contains(command); }
    // Runs the command's handler; without one the "message" panel says so and the result is false.
    bool run(Command command, int argument = 0);
    bool run(const CommandCall& call) { return run(call.command, call.argument); }
    // The command of a menu or tool bar entry by its name; an unknown name is reported like a
    // command without handler.
    bool runEntry(QStringView name);

    // Services the subsystems provide.
    void setRowReader(ResultRowReader& reader) { rowReader_ = &reader; }
    void setNavigation(Navigation& navigation) { navigation_ = &navigation; }
    Navigation* navigation() const { return navigation_; }
    void setPathOpener(PathOpener opener) { pathOpener_ = std::move(opener); }
    // The picture of any result item as its row shows it; the frames of an animation are its items.
    std::optional<RowResult> drawItem(const QString& item, std::int32_t itemData) { return readRow(item, itemData, 1); }
    // The zoom window, shown modally on `image` (the selected row's picture when it is null) so that
    // the person places the cursor hot spot; without one the hot spot stays where it is. A placer
    // that takes no image may be given as such.
    using HotSpotPlacer = std::function<void(const QImage& image)>;
    template <class F>
    void setHotSpotPlacer(F&& placer)
    {
        if constexpr (std::is_invocable_v<F>)
            hotSpotPlacer_ = [f = std::forward<F>(placer)](const QImage&) { f(); };
        else
            hotSpotPlacer_ = HotSpotPlacer(std::forward<F>(placer));
    }
    void placeHotSpot(const QImage& image = QImage())
    {
        if (hotSpotPlacer_)
            hotSpotPlacer_(image);
    }
    // An .ico file of the row, for a drag out of the list to other programs (host path); "" when
    // there is none.
    using DragFileMaker = std::function<QString(const SelectedRow& row)>;
    void setDragFileMaker(DragFileMaker maker) { dragFileMaker_ = std::move(maker); }
    QString dragFileFor(const SelectedRow& row) const { return dragFileMaker_ ? dragFileMaker_(row) : QString(); }
    // The file lister: appends the "open" items of one icon file (a Windows path) to
    // `results`; without one nothing is added.
    using FileIconLister = std::function<void(const QString& file, ItemList& results)>;
    void setFileIconLister(FileIconLister lister) { fileIconLister_ = std::move(lister); }
    void listFileIcons(const QString& file, ItemList& results) const
    {
        if (fileIconLister_)
            fileIconLister_(file, results);
    }
    // Creates or overwrites the shortcut LnkFile with the seven values; false when it could not be
    // written, in which case a shortcut that was there is left as it was.
    bool procSaveShortcut(const QString& LnkFile, const QString& ExeFile, const QString& WorkDir, const QString& ExeArgs,
                          const QString& IconFile, int IconIdx, std::int32_t ShowCmd);
    // The frames of the animation a result row belongs to, each 32 x 32, in order; without a
    // collector none.
    using FrameCollector = std::function<std::vector<QImage>(const SelectedRow& row)>;
    void setFrameCollector(FrameCollector collector) { frameCollector_ = std::move(collector); }
    std::vector<QImage> animationFrames(const SelectedRow& row) const
    {
        return frameCollector_ ? frameCollector_(row) : std::vector<QImage>();
    }
    // Stores the settings and the user's files as the exit does (before a restart of Windows).
    void setExitSaver(std::function<void()> saver) { exitSaver_ = std::move(saver); }
    void saveAsAtExit() const
    {
        if (exitSaver_)
            exitSaver_();
    }
    // WM_SETTINGCHANGE as Windows would send it to every top-level window: here Glyphary's own
    // windows, which listen for it, and then pending events run.
    void addSettingChangeListener(std::function<void(unsigned wParam)> listener)
    {
        settingChangeListeners_.push_back(std::move(listener));
    }
    void broadcastSettingChange(unsigned wParam);
    // The files last dropped on the result list (Windows paths, in the drop's order), for DropOnResults.
    void setDroppedFiles(QStringList files) { droppedFiles_ = std::move(files); }
    const QStringList& droppedFiles() const { return droppedFiles_; }
    // A click on the tree node `key`, as the person makes it: the node becomes the last selected.
    void clickNode(const QString& key);
    const QString& lastClickedNode() const { return lastClickedNode_; }
    // The keyword bar's first entry that starts with `text` selected and searched, as choosing it
    // would; false when no keyword starts with it.
    bool searchKeywordStartingWith(const QString& text);

    // Objects a subsystem creates for the session's lifetime, destroyed in reverse order.
    template <class T>
    T& keep(std::unique_ptr<T> object)
    {
        T& kept = *object;
        kept_.push_back(std::shared_ptr<void>(std::move(object)));
        return kept;
    }

    // Step 1 and 3 to 15 of the window's load: the stored preferences, the page size, folder icons.
    const MainWindowSettings& loadSettings(const MainWindowDesign& design);
    // Opens PendingOpenPath through the path opener; nullopt when there is none to report.
    std::optional<ErrorInfo> openPendingPath();
    void clearResults();
    // The navigation tree built anew and shown.
    void rebuildNavigationTree();
    void setSourceCaption(const QString& caption);
    const QString& sourceCaption() const { return sourceCaption_; }
    // The selection reaction for the window's selected row, applied to the window.
    void selectionChanged();
    // The window's end state as the shutdown stores it.
    MainWindowPreferences preferencesToStore() const;

private:
    // ListingHost
    void refreshCommandState() override;
    void lockWindow() override;
    void setMousePointer(ListingPointer pointer) override;
    void showMessage(const QString& text) override;
    void showCount(const QString& text) override;
    void selectKeywordBarEntry(int position) override;
    void refreshKeywordBar() override;
    void doEvents() override;
    void startListing() override;
    void setFavoriteGroupCommands(bool addEnabled, bool deleteEnabled) override;
    // ResultRowReader: the drawing a subsystem provides; without one no row is drawn.
    std::optional<RowResult> readRow(const QString& item, std::int32_t itemData, int position) override;
    QString pageNote() override;
    void setPictureScale(int scale) override;

    AppContext& context_;
    Settings& settings_;
    MainWindowPort& window_;
    ResultPages pages_;
    IconSources sources_;
    NavigationTree tree_;
    SelectionState selection_;
    MainWindowSettings loaded_;
    bool folderIconsSupported_ = false;
    QString sourceCaption_;
    std::map<Command, Handler> handlers_;
    ResultRowReader* rowReader_ = nullptr;
    Navigation* navigation_ = nullptr;
    PathOpener pathOpener_;
    HotSpotPlacer hotSpotPlacer_;
    DragFileMaker dragFileMaker_;
    FileIconLister fileIconLister_;
    FrameCollector frameCollector_;
    std::function<void()> exitSaver_;
    std::vector<std::function<void(unsigned)>> settingChangeListeners_;
    QString lastClickedNode_;
    QStringList droppedFiles_;
    std::vector<std::shared_ptr<void>> kept_;
};

} // namespace glyphary
