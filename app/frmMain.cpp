#include "app/frmMain.h"

#include "app/AppContext.h"
#include "app/MainMenus.h"
#include "app/OsVersion.h"
#include "app/ResultListWidget.h"
#include "app/Settings.h"
#include "app/SettingsTable.h"
#include "app/ShowMessage.h"
#include "app/FileHelpers.h"
#include "app/frmCustomizeToolbar.h"
#include "catalogue/CatalogueFiles.h"
#include "catalogue/NavigationDrag.h"
#include "results/SelectionDispatch.h"
#include "formats/Cp1252.h"
#include "platform/SingleInstance.h"
#include "sources/FileIconReader.h"
#include "sources/OpenPath.h"
#include "windows/AboutInfo.h"
#include "windows/frmInfo.h"
#include "windows/frmTip.h"

#include <QApplication>
#include <QDragMoveEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>

namespace glyphary {

namespace {


// Our tool bar pictures: the style's standard icons, one per button key.
QIcon buttonIcon(const QStyle* style, const QString& key)
{
    static const QHash<QString, QStyle::StandardPixmap> kIcons = {
        {QStringLiteral("firstpage"), QStyle::SP_MediaSkipBackward},
        {QStringLiteral("prevpage"), QStyle::SP_MediaSeekBackward},
        {QStringLiteral("nextpage"), QStyle::SP_MediaSeekForward},
        {QStringLiteral("lastpage"), QStyle::SP_MediaSkipForward},
        {QStringLiteral("abort"), QStyle::SP_BrowserStop},
        {QStringLiteral("open"), QStyle::SP_DialogOpenButton},
        {QStringLiteral("save"), QStyle::SP_DialogSaveButton},
        {QStringLiteral("copy"), QStyle::SP_FileDialogContentsView},
        {QStringLiteral("play"), QStyle::SP_MediaPlay},
        {QStringLiteral("prop"), QStyle::SP_FileDialogInfoView},
        {QStringLiteral("view"), QStyle::SP_FileDialogListView},
        {QStringLiteral("zoom"), QStyle::SP_FileDialogDetailedView},
        {QStringLiteral("create"), QStyle::SP_FileDialogNewFolder},
        {QStringLiteral("help"), QStyle::SP_DialogHelpButton},
        {QStringLiteral("close"), QStyle::SP_DialogCloseButton},
        {QStringLiteral("change"), QStyle::SP_BrowserReload},
        {QStringLiteral("changefolder"), QStyle::SP_DirIcon},
        {QStringLiteral("favadd"), QStyle::SP_DialogYesButton},
        {QStringLiteral("favdel"), QStyle::SP_DialogNoButton},
        {QStringLiteral("favgroupadd"), QStyle::SP_FileDialogNewFolder},
        {QStringLiteral("favgroupdel"), QStyle::SP_TrashIcon},
        {QStringLiteral("favedit"), QStyle::SP_DirOpenIcon},
        {QStringLiteral("favrefresh"), QStyle::SP_BrowserReload},
        {QStringLiteral("refadd"), QStyle::SP_FileLinkIcon},
        {QStringLiteral("refdel"), QStyle::SP_DialogDiscardButton},
        {QStringLiteral("refedit"), QStyle::SP_FileDialogDetailedView},
    };
    return style->standardIcon(kIcons.value(key, QStyle::SP_FileIcon));
}

QString arrayName(const char* name, int index) { return QString::fromLatin1(name) + u'_' + QString::number(index); }

} // namespace

void ActivateWindow(QWidget* window)
{
    if (window == nullptr)
        return;
    if (window->isMinimized())
        window->showNormal();
    window->show();
    window->raise();
    window->activateWindow();
}

frmMain::frmMain(AppContext& context, Settings& settings, platform::NamedMutex& instanceMutex, QString commandLine)
    : AbortRequested(context.AbortFlag), context_(context), settings_(settings), instanceMutex_(instanceMutex),
      commandLine_(std::move(commandLine)), icons_(context.platform.paths()), library_(context),
      drawing_(context, icons_, library_, lstFiles), pages_(cmbResult, context.AbortFlag, *this, drawing_)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Glyphary"));
    setGeometry(design_.geometry);
    createActions();
    createMenus();
    createToolBars();
    createPanes();
    createStatusBar();
    registerFrameCommands();

    ListingWindowCalls calls;
    calls.refreshCommandState = [this] { updateSelectionState(); };
    calls.selectKeywordBarEntry = [this](int position) {
        const QSignalBlocker quiet(cmbSearch);
        cmbSearch->setCurrentIndex(position);
    };
    calls.refreshKeywordBar = [this] { cmbSearch->repaint(); };
    calls.setFavoriteGroupCommands = [this](bool addEnabled, bool deleteEnabled) {
        setCommandEnabled(QStringLiteral("mnuFavoriteGroupAdd"), addEnabled);
        setCommandEnabled(QStringLiteral("mnuFavoriteGroupDel"), deleteEnabled);
    };
    listingHost_ = std::make_unique<PagedListingHost>(pages_, static_cast<ResultPageView&>(*this), std::move(calls));
    listings_ = std::make_unique<CatalogueListings>(context_, cmbResult, *listingHost_, laterSources_);
    navClick_ = std::make_unique<NavigationClick>(context_, navTree_, *listings_, laterSources_, *listingHost_);
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this] { sessionEnding_ = true; });
}

frmMain::~frmMain()
{
    ReleaseInstance();
}

// Every entry of the menu tables becomes an action named after it; arrays get name_index.
void frmMain::createActions()
{
    const std::function<void(const MenuNode&)> add = [&](const MenuNode& node) {
        int index = 0;
        for (const MenuNode& child : node.children) {
            if (QString::fromLatin1(child.name) == u"-")
                continue;
            const QString name = node.array ? arrayName(child.name, index++) : QString::fromLatin1(child.name);
            if (child.children.empty()) {
                auto* action = new QAction(QString::fromLatin1(child.caption), this);
                action->setObjectName(name);
                connect(action, &QAction::triggered, this, [this, name] { runCommand(name); });
                actions_.insert(name, action);
            }
            add(child);
        }
    };
    for (const MenuNode& top : mainMenuBar())
        add(top);
    for (const MenuNode& popUp : mainPopUpMenus())
        add(popUp);

    for (const char* checkable : {"mnuViewToolbarStandard", "mnuViewToolbarYour", "mnuViewToolbarKeyword",
                                  "mnuViewToolbarTextLabels", "mnuViewStatusBar", "mnuViewLargeIcons", "mnuViewList",
                                  "mnuViewDetails", "mnuResultClickViewLargeIcons", "mnuResultClickViewList",
                                  "mnuResultClickViewDetails"}) {
        actions_.value(QString::fromLatin1(checkable))->setCheckable(true);
    }
}

QMenu* frmMain::buildMenu(const MenuNode& node, QWidget* parent)
{
    auto* menu = new QMenu(QString::fromLatin1(node.caption), parent);
    menu->setObjectName(QString::fromLatin1(node.name));
    menus_.insert(menu->objectName(), menu);
    int index = 0;
    for (const MenuNode& child : node.children) {
        const QString name = node.array ? arrayName(child.name, index++) : QString::fromLatin1(child.name);
        if (QString::fromLatin1(child.name) == u"-")
            menu->addSeparator();
        else if (!child.children.empty())
            menu->addMenu(buildMenu(child, menu));
        else
            menu->addAction(actions_.value(name));
    }
    return menu;
}

void frmMain::createMenus()
{
    for (const MenuNode& top : mainMenuBar())
        menuBar()->addMenu(buildMenu(top, this));
    for (const MenuNode& popUp : mainPopUpMenus())
        buildMenu(popUp, this);
}

QToolBar* frmMain::buildToolBar(const char* name, std::span<const ToolButtonDef> buttons)
{
    auto* bar = new QToolBar(this);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setIconSize(QSize(24, 24));
    for (const ToolButtonDef& def : buttons) {
        const QString key = QString::fromLatin1(def.key);
        auto* button = new QAction(buttonIcon(style(), key), QString::fromLatin1(def.caption), bar);
        button->setObjectName(key);
        button->setToolTip(QString::fromLatin1(def.toolTip));
        button->setProperty("tag", QString::fromLatin1(def.caption));
        button->setProperty("command", QString::fromLatin1(def.command));
        buttons_.insert(key, button);
        const QString command = QString::fromLatin1(def.command);
        connect(button, &QAction::triggered, this, [this, key, command] {
            if (!command.isEmpty())
                runCommand(command);
            else if (key == u"abort")
                AbortRequested = kTrue;
            else
                runCommand(buttonCommand(key, {loaded_.doubleClickZoom, pnlResult->view()}));
        });
        if (!def.dropDown.empty()) {
            auto* menu = new QMenu(bar);
            for (const DropDownEntry& entry : def.dropDown) {
                QAction* item = menu->addAction(QString::fromLatin1(entry.caption));
                item->setObjectName(QString::fromLatin1(entry.key));
                const QString entryCommand = QString::fromLatin1(entry.command);
                connect(item, &QAction::triggered, this, [this, entryCommand] { runCommand(entryCommand); });
            }
            button->setMenu(menu);
        }
        bar->addAction(button);
        if (!def.dropDown.empty()) {
            if (auto* tool = qobject_cast<QToolButton*>(bar->widgetForAction(button)))
                tool->setPopupMode(QToolButton::MenuButtonPopup);
        }
    }
    return bar;
}

void frmMain::createToolBars()
{
    pnlToolBar = buildToolBar("pnlToolBar", standardButtons());
    pnlToolbarYour = buildToolBar("pnlToolbarYour", yourIconsButtons());
    pnlKeywordBand = new QToolBar(this);
    pnlKeywordBand->setObjectName(QStringLiteral("pnlKeywordBand"));
    cmbSearch = new QComboBox(pnlKeywordBand);
    cmbSearch->setObjectName(QStringLiteral("cmbSearch"));
    cmbSearch->setEditable(true);
    cmbSearch->setInsertPolicy(QComboBox::NoInsert);
    cmbSearch->setMinimumContentsLength(24);
    cmbSearch->installEventFilter(this);
    cmbSearch->lineEdit()->installEventFilter(this);
    // Choosing from the list searches at once; Enter searches for what was typed.
    connect(cmbSearch, qOverload<int>(&QComboBox::activated), this, [this](int position) {
        if (position < 0)
            return;
        setSourceCaption(cmbSearch->itemText(position));
        listings_->SearchKeyword(position, loaded_.searchFavorites);
    });
    pnlKeywordBand->addWidget(new QLabel(QStringLiteral(" Keyword: "), pnlKeywordBand));
    pnlKeywordBand->addWidget(cmbSearch);
    addToolBar(Qt::TopToolBarArea, pnlToolBar);
    addToolBarBreak();
    addToolBar(Qt::TopToolBarArea, pnlToolbarYour);
    addToolBarBreak();
    addToolBar(Qt::TopToolBarArea, pnlKeywordBand);

    // The splash picture, small, at the end of the keyword band.
    auto* spacer = new QWidget(pnlKeywordBand);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    pnlKeywordBand->addWidget(spacer);
    picLogo = new QLabel(pnlKeywordBand);
    picLogo->setObjectName(QStringLiteral("picLogo"));
    picLogo->setFixedSize(41, 30);
    picLogo->setScaledContents(true);
    pnlKeywordBand->addWidget(picLogo);
}

void frmMain::createPanes()
{
    picSplitV = new QSplitter(Qt::Horizontal, this);
    picSplitV->setObjectName(QStringLiteral("picSplitV"));
    pnlNav = new QTreeWidget(picSplitV);
    pnlNav->setObjectName(QStringLiteral("pnlNav"));
    pnlNav->setHeaderHidden(true);
    pnlNav->setAcceptDrops(true);
    pnlNav->viewport()->setAcceptDrops(true);
    pnlNav->installEventFilter(this);
    pnlNav->viewport()->installEventFilter(this);
    connect(pnlNav, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        if (!item)
            return;
        if (item->childCount() == 0)
            setSourceCaption(item->text(0));
        navClick_->click(item->data(0, Qt::UserRole).toString());
    });
    // pnlDummy stands in for pnlResult while a page is filled.
    resultStack_ = new QStackedWidget(picSplitV);
    pnlResult = new ResultListWidget(resultStack_);
    pnlResult->setObjectName(QStringLiteral("pnlResult"));
    pnlDummy = new ResultListWidget(resultStack_);
    pnlDummy->setObjectName(QStringLiteral("pnlDummy"));
    resultStack_->addWidget(pnlResult);
    resultStack_->addWidget(pnlDummy);
    picSplitV->addWidget(pnlNav);
    picSplitV->addWidget(resultStack_);
    picSplitV->setStretchFactor(1, 1);
    picSplitV->setChildrenCollapsible(false);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(picSplitV, 1);
    pnlProgressBar = new QProgressBar(central);
    pnlProgressBar->setObjectName(QStringLiteral("pnlProgressBar"));
    pnlProgressBar->setTextVisible(false);
    pnlProgressBar->hide();
    layout->addWidget(pnlProgressBar);
    setCentralWidget(central);

    connect(pnlResult, &ResultListWidget::headerClicked, this, [this](int column) { pages_.sortByColumn(column); });
    connect(pnlResult, &ResultListWidget::contextMenuWanted, this, [this](const QPoint& where, bool onItem) {
        QMenu* popUp = menus_.value(onItem ? QStringLiteral("mnuResultClick") : QStringLiteral("mnuWhite"));
        if (!popUp)
            return;
        // The double-click action is the bold entry.
        const char* bold = defaultPopupEntry(selection_.doubleClickAction);
        for (QAction* entry : popUp->actions()) {
            QFont font = entry->font();
            font.setBold(bold && entry->objectName() == QLatin1StringView(bold));
            entry->setFont(font);
        }
        popUp->popup(where);
    });
    connect(pnlResult, &ResultListWidget::selectionChanged, this, [this] { applySelection(); });
    connect(pnlResult, &ResultListWidget::itemDoubleClicked, this, [this] { doubleClickResult(); });
    pnlResult->installEventFilter(this);
    pnlResult->setAcceptDrops(true);
}

void frmMain::createStatusBar()
{
    pnlStatusBar = statusBar();
    pnlStatusBar->setObjectName(QStringLiteral("pnlStatusBar"));
    for (const char* key : {"message", "count", "area", "type"}) {
        const QString name = QString::fromLatin1(key);
        auto* holder = new QWidget(pnlStatusBar);
        auto* row = new QHBoxLayout(holder);
        row->setContentsMargins(2, 0, 2, 0);
        row->setSpacing(4);
        if (name == u"area" || name == u"type") {
            auto* picture = new QLabel(holder);
            picture->setObjectName(name + QStringLiteral("Picture"));
            picture->setFixedSize(16, 16);
            panelPictures_.insert(name, picture);
            row->addWidget(picture);
        }
        auto* panel = new QLabel(holder);
        panel->setObjectName(name);
        panel->setMinimumWidth(name == u"message" ? 240 : 100);
        row->addWidget(panel, 1);
        panels.insert(name, panel);
        pnlStatusBar->addWidget(holder, name == u"message" ? 1 : 0);
    }
    // A click on the page display offers the pages, unless there is only the one.
    panels.value(QStringLiteral("area"))->installEventFilter(this);
    tmrLed.setObjectName(QStringLiteral("tmrLed"));
    tmrLed.setInterval(1500);
    connect(&tmrLed, &QTimer::timeout, this, [this] { pages_.ledTick(); });
}

void frmMain::registerFrameCommands()
{
    setCommand(QStringLiteral("mnuFileExit"), [this] { closeProgram(); });
    for (const auto& [name, view] : {std::pair{"mnuViewLargeIcons", 0}, std::pair{"mnuViewList", 2},
                                     std::pair{"mnuViewDetails", 3}, std::pair{"mnuResultClickViewLargeIcons", 0},
                                     std::pair{"mnuResultClickViewList", 2}, std::pair{"mnuResultClickViewDetails", 3}}) {
        const int chosen = view;
        setCommand(QString::fromLatin1(name), [this, chosen] { setResultView(chosen); });
    }
    setCommand(QStringLiteral("selection:changed"), [this] { applySelection(); });
    for (int i = 0; i < 3; ++i) {
        for (const char* array : {"mnuViewArrange", "mnuResultClickViewArrange"})
            setCommand(arrayName(array, i), [this, i] { pages_.arrangeBy(i); });
    }
    setCommand(QStringLiteral("mnuGoFirstPage"), [this] { pages_.firstPage(); });
    setCommand(QStringLiteral("mnuGoPrevPage"), [this] { pages_.previousPage(); });
    setCommand(QStringLiteral("mnuGoNextPage"), [this] { pages_.nextPage(); });
    setCommand(QStringLiteral("mnuGoLastPage"), [this] { pages_.lastPage(); });
    setCommand(QStringLiteral("mnuViewBackColor"), [this] { chooseBackColor(); });
    setCommand(QStringLiteral("mnuResultClickViewBackColor"), [this] { chooseBackColor(); });
    setCommand(QStringLiteral("mnuViewStatusBar"), [this] { setStatusBarShown(!pnlStatusBar->isVisible()); });
    setCommand(QStringLiteral("mnuViewToolbarStandard"), [this] { setBandVisible(1, !bandVisible(1)); });
    setCommand(QStringLiteral("mnuViewToolbarYour"), [this] { setBandVisible(2, !bandVisible(2)); });
    setCommand(QStringLiteral("mnuViewToolbarKeyword"), [this] { setBandVisible(3, !bandVisible(3)); });
    setCommand(QStringLiteral("mnuViewToolbarTextLabels"), [this] {
        setTextLabels(pnlToolBar->toolButtonStyle() == Qt::ToolButtonIconOnly);
    });
    setCommand(QStringLiteral("mnuViewToolbarCustomize"), [this] { customizeToolbar(); });
    setCommand(QStringLiteral("mnuHelpTopics"), [this] { showHelpTopics(); });
    setCommand(QStringLiteral("mnuHelpTip"), [this] { showTips(); });
    setCommand(QStringLiteral("mnuHelpAbout"), [this] {
        frmInfo about(context_, settings_, desktopAboutActions(), this);
        about.exec();
    });
    setCommand(QStringLiteral("mnuHelpSearch"), [this] { showHelpTopics(); });
    setCommand(QStringLiteral("mnuGoHomePage"), [] { QDesktopServices::openUrl(QUrl(QString::fromLatin1(kHomePageUrl))); });
    setCommand(QStringLiteral("mnuGoMail"), [] { QDesktopServices::openUrl(QUrl(QString::fromLatin1(kMailUrl))); });
}

void frmMain::setCommand(const QString& name, std::function<void()> handler)
{
    commands_[name] = std::move(handler);
}

void frmMain::runCommand(const QString& name)
{
    const auto found = commands_.find(name);
    if (found != commands_.end() && found->second)
        found->second();
}

void frmMain::setCommandEnabled(const QString& name, bool enabled)
{
    if (QAction* entry = actions_.value(name))
        entry->setEnabled(enabled);
    for (QAction* button : std::as_const(buttons_)) {
        if (button->property("command").toString() == name)
            button->setEnabled(enabled);
    }
}

void frmMain::load()
{
    // 1. Windows version and folder icons.
    GetOsVersion(context_.platform.system(), context_.OsName, context_.OsCode);
    FolderIconsSupported = folderIconsSupported(context_);
    setCommandEnabled(QStringLiteral("mnuToolsDefaultFolder"), FolderIconsSupported);
    // 3 and 5 to 15 read here, applied below in the same order.
    loaded_ = readMainWindowSettings(context_, settings_, design_);
    pages_.setIconsPerPage(loaded_.iconsPerPage);
    pages_.setFolderIconsSupported(FolderIconsSupported);
    // 4. Marked for the single-instance search; then the own command line.
    MarkMainWindow();
    HandleCommandLine(context_, *this, commandLine_);
    applyLoadedSettings();
    // 16. A path from the command line may have filled the results already.
    if (resultCount() == 0) {
        pages_.clearView();
        panels.value(QStringLiteral("type"))->setText(QStringLiteral("No icon selected."));
    }
    // 17.
    panels.value(QStringLiteral("count"))->setText(LoadCatalogue(context_));
    fillKeywordBar();
    // 18.
    navClick_->setFavoritesRoot(loaded_.favoritesRoot);
    navClick_->setSearchFavorites(loaded_.searchFavorites);
    BuildNavigationTree();
    // 20.
    if (lightNoticeWanted(context_, settings_))
        ShowMessage(context_.platform.dialogs(), lightNoticeText(), QString::fromLatin1(setting::GlypharyLight.name),
                    QStringLiteral("Glyphary Light"), QString());
    // 21.
    placeWindow();
    context_.platform.dialogs().setMousePointer(platform::MousePointerDefault);
}

void frmMain::applyLoadedSettings()
{
    const MainWindowSettings& s = loaded_;
    setResultView(s.viewType);
    setTextLabels(s.textLabels);
    setStatusBarShown(s.statusBar);
    setBandVisible(1, s.standardBand);
    setBandVisible(2, s.yourBand);
    setBandVisible(3, s.keywordBand);
    // A band that does not begin a new row shares the row before it; the stored width of the band
    // before it then applies.
    if (s.yourBand && !s.yourNewRow) {
        removeToolBarBreak(pnlToolbarYour);
        pnlToolBar->setMaximumWidth(std::max(100, s.standardToolbarWidth));
    }
    if (s.keywordBand && !s.keywordNewRow) {
        removeToolBarBreak(pnlKeywordBand);
        pnlToolbarYour->setMaximumWidth(std::max(100, s.yourToolbarWidth));
    }
    for (int i = 0; i < 3; ++i) {
        pnlResult->setColumnWidth(i, s.columnWidths[static_cast<std::size_t>(i)]);
        pnlDummy->setColumnWidth(i, s.columnWidths[static_cast<std::size_t>(i)]);
    }
    picSplitV->setSizes({s.splitter >= 0 ? s.splitter : design_.navigationWidth, 10000});
    pnlResult->setBackColor(s.backColor);
    pnlDummy->setBackColor(s.backColor);
    pnlResult->setHotTracking(s.hotTracking);
    setWindowTitle(QStringLiteral("Glyphary"));
}

void frmMain::placeWindow()
{
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens << screen->availableGeometry();
    const QScreen* primary = QGuiApplication::primaryScreen();
    QRect fallback = design_.geometry;
    if (primary)
        fallback.moveCenter(primary->availableGeometry().center());
    setGeometry(visibleGeometry(loaded_.geometry, fallback, screens));
    if (loaded_.maximized)
        setWindowState(windowState() | Qt::WindowMaximized);
}

void frmMain::setResultView(int view)
{
    pnlResult->setView(view);
    pnlDummy->setView(view);
    const int shown = pnlResult->view();
    ApplyViewChecks(shown == 0, shown == 2, shown == 3);
}

void frmMain::ApplyViewChecks(bool largeIcons, bool list, bool details)
{
    for (const auto& [prefix, unused] : {std::pair{"mnuView", 0}, std::pair{"mnuResultClickView", 0}}) {
        (void)unused;
        actions_.value(QString::fromLatin1(prefix) + QStringLiteral("LargeIcons"))->setChecked(largeIcons);
        actions_.value(QString::fromLatin1(prefix) + QStringLiteral("List"))->setChecked(list);
        actions_.value(QString::fromLatin1(prefix) + QStringLiteral("Details"))->setChecked(details);
    }
}

void frmMain::setTextLabels(bool on)
{
    for (QToolBar* bar : {pnlToolBar, pnlToolbarYour}) {
        bar->setToolButtonStyle(on ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonIconOnly);
        for (QAction* button : bar->actions())
            button->setText(on ? button->property("tag").toString() : QString());
    }
    actions_.value(QStringLiteral("mnuViewToolbarTextLabels"))->setChecked(on);
}

void frmMain::setStatusBarShown(bool on)
{
    pnlStatusBar->setVisible(on);
    actions_.value(QStringLiteral("mnuViewStatusBar"))->setChecked(on);
}

void frmMain::setBandVisible(int band, bool visible)
{
    QToolBar* bars[] = {pnlToolBar, pnlToolbarYour, pnlKeywordBand};
    const char* checks[] = {"mnuViewToolbarStandard", "mnuViewToolbarYour", "mnuViewToolbarKeyword"};
    if (band < 1 || band > 3)
        return;
    bars[band - 1]->setVisible(visible);
    actions_.value(QString::fromLatin1(checks[band - 1]))->setChecked(visible);
}

bool frmMain::bandVisible(int band) const
{
    const QToolBar* bars[] = {pnlToolBar, pnlToolbarYour, pnlKeywordBand};
    return band >= 1 && band <= 3 && !bars[band - 1]->isHidden();
}

void frmMain::chooseBackColor()
{
    if (const auto colour = context_.platform.dialogs().chooseColor(pnlResult->backColor())) {
        pnlResult->setBackColor(*colour);
        pnlDummy->setBackColor(*colour);
    }
}

void frmMain::customizeToolbar()
{
    frmCustomizeToolbar dialog(pnlToolBar, this);
    dialog.exec();
}

void frmMain::showHelpTopics()
{
    cmbSearch->setFocus();
    const QString host = context_.platform.paths().toHost(loaded_.helpFile);
    if (host.isEmpty() || !QFileInfo(host).isFile()) {
        context_.platform.dialogs().messageBox(QStringLiteral("The Glyphary Help file could not be found."),
                                               QStringLiteral("Help error"), platform::MB_ICONEXCLAMATION);
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(host));
}

void frmMain::showTips()
{
    // One tip window at a time; it deletes itself when closed.
    if (tipWindow_) {
        ActivateWindow(tipWindow_);
        return;
    }
    tipWindow_ = new frmTip(settings_, this);
    tipWindow_->setAttribute(Qt::WA_DeleteOnClose);
    tipWindow_->setWindowFlag(Qt::Window);
    tipWindow_->show();
}

void frmMain::MarkMainWindow()
{
    platform::MarkedWindow::Handlers handlers;
    handlers.isVisible = [this] { return isVisible(); };
    handlers.copyData = [this](const QByteArray& payload) { receiveHandOver(payload); };
    handlers.activate = [this] { ActivateWindow(this); };
    marked_ = std::make_unique<platform::MarkedWindow>(
        platform::scopedInstanceName(QString::fromLatin1(platform::kInstancePropertyName), context_.platform.paths().root()),
        std::move(handlers));
}

void frmMain::receiveHandOver(const QByteArray& payload)
{
    if (payload.isEmpty())
        return;
    HandleCommandLine(context_, *this, formats::fromCp1252(payload));
}

void frmMain::ReleaseInstance()
{
    instanceMutex_.release();
}

void frmMain::closeProgram(ShutdownQuestions questions)
{
    marked_.reset();
    ReleaseInstance();
    if (!shutdown_.run(context_, settings_, *this, questions))
        return;
    QApplication::quit();
}

void frmMain::unloadWithoutSaving()
{
    sessionEnding_ = true;
    close();
}

void frmMain::closeEvent(QCloseEvent* event)
{
    marked_.reset();
    ReleaseInstance();
    if (closing_ || sessionEnding_ || !event->spontaneous()) {
        event->accept();
        return;
    }
    // The person closed the window: the shutdown sequence, then the end of the program.
    event->ignore();
    closeProgram();
}

void frmMain::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    if (isMinimized() || !pnlResult)
        return;
    // The Name column takes what the other two leave, so that no column runs off the list.
    const int width = resultStack_->width() - pnlResult->columnWidth(1) - pnlResult->columnWidth(2) - 10;
    pnlResult->setColumnWidth(0, std::max(40, width));
    pnlDummy->setColumnWidth(0, std::max(40, width));
    showSourceCaption();
}

void frmMain::setSourceCaption(const QString& caption)
{
    sourceCaption_ = caption;
    showSourceCaption();
}

void frmMain::showSourceCaption()
{
    const QFontMetrics metrics(font());
    const QString caption = nameColumnCaption(sourceCaption_, pnlResult->columnWidth(0),
                                              [&metrics](const QString& text) { return metrics.horizontalAdvance(text); });
    pnlResult->setHeaderCaption(caption);
    pnlDummy->setHeaderCaption(caption);
}

void frmMain::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        AbortRequested = kTrue;
    QMainWindow::keyPressEvent(event);
}

void frmMain::keyReleaseEvent(QKeyEvent* event)
{
    // The "3" and "2" keys page back and forth (not Page Up and Page Down).
    if (event->key() == Qt::Key_3)
        pages_.previousPage();
    else if (event->key() == Qt::Key_2)
        pages_.nextPage();
    QMainWindow::keyReleaseEvent(event);
}

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    // Events may arrive while the window is still being built.
    if (!pnlNav || !cmbSearch || panels.isEmpty())
        return QMainWindow::eventFilter(watched, event);
    QLabel* area = panels.value(QStringLiteral("area"));
    if (watched == area && event->type() == QEvent::MouseButtonPress && !area->text().isEmpty()
        && area->text() != u"Page 1 of 1" && pnlNav->isEnabled()) {
        if (QMenu* goBar = menus_.value(QStringLiteral("mnuGoBar")))
            goBar->popup(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        // The keyword bar and the tree see Esc before the window does.
        if ((watched == cmbSearch || watched == cmbSearch->lineEdit() || watched == pnlNav) && key == Qt::Key_Escape)
            AbortRequested = kTrue;
        if (watched == cmbSearch->lineEdit() && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            setSourceCaption(cmbSearch->currentText());
            listings_->EnterKeyword(cmbSearch->currentText(), loaded_.searchFavorites);
            return true;
        }
    }
    if (watched == pnlNav->viewport() && navigationDragEvent(event))
        return true;
    if (watched == pnlResult && resultListEvent(event))
        return true;
    return QMainWindow::eventFilter(watched, event);
}

int frmMain::resultCount() const
{
    return cmbResult.count();
}

void frmMain::clearResults()
{
    lstFiles.clear();
    cmbResult.clear();
    updateSelectionState();
}

std::optional<ErrorInfo> frmMain::openPendingPath()
{
    setSourceCaption(context_.PendingOpenPath);
    struct ReaderHost : FileIconReaderHost {
        frmMain& window;
        explicit ReaderHost(frmMain& w) : window(w) {}
        void showCount(const QString& text) override { window.setPanelText(StatusPanel::Count, text); }
        void doEvents() override { window.doEvents(); }
    } host(*this);
    FileIconReader reader(context_.platform.paths(), icons_, cmbResult, host);
    return OpenPendingPath(context_, reader, [this] { pages_.startListing(); });
}

void frmMain::activateMainWindow()
{
    setFocus();
    ActivateWindow(this);
}

MainWindowPreferences frmMain::preferences() const
{
    const int tx = std::max<int>(1, context_.TwipsPerPixelX);
    const int ty = std::max<int>(1, context_.TwipsPerPixelY);
    MainWindowPreferences p;
    p.viewType = pnlResult->view();
    p.textLabels = actions_.value(QStringLiteral("mnuViewToolbarTextLabels"))->isChecked();
    p.statusBar = actions_.value(QStringLiteral("mnuViewStatusBar"))->isChecked();
    p.standardBand = bandVisible(1);
    p.yourBand = bandVisible(2);
    p.keywordBand = bandVisible(3);
    p.yourNewRow = toolBarBreak(pnlToolbarYour);
    p.keywordNewRow = toolBarBreak(pnlKeywordBand);
    p.standardToolbarWidth = pnlToolBar->width() * tx;
    p.yourToolbarWidth = pnlToolbarYour->width() * tx;
    p.backColor = colourValue(pnlResult->backColor());
    p.iconsPerPage = loaded_.iconsPerPage;
    p.hotTracking = pnlResult->hotTracking();
    for (int i = 0; i < 3; ++i)
        p.columnWidths[static_cast<std::size_t>(i)] = pnlResult->columnWidth(i) * tx;
    p.splitter = (picSplitV->sizes().isEmpty() ? 0 : picSplitV->sizes().first()) * tx;
    p.minimized = isMinimized();
    p.maximized = isMaximized();
    const QRect frame = normalGeometry().isValid() ? normalGeometry() : geometry();
    p.top = frame.top() * ty;
    p.left = frame.left() * tx;
    p.width = frame.width() * tx;
    p.height = frame.height() * ty;
    return p;
}

void frmMain::rebuildIconCache()
{
    runCommand(QStringLiteral("mnuToolsRebuild"));
}

void frmMain::unloadWindows()
{
    closing_ = true;
    // Secondary windows first, the main window last.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != this && window->isVisible())
            window->close();
    }
    close();
}

} // namespace glyphary
