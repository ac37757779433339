#include "app/frmMain.h"

#include "app/CommandLine.h"
#include "app/ResultListWidget.h"
#include "app/Subsystems.h"
#include "app/frmCustomizeToolbar.h"
#include "catalogue/CatalogueFiles.h"
#include "core/AppContext.h"
#include "core/MainMenus.h"
#include "core/SelectionDispatch.h"
#include "core/Settings.h"
#include "core/SettingsTable.h"
#include "core/ShowMessage.h"
#include "formats/Cp1252.h"
#include "platform/SingleInstance.h"
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
    : context_(context), settings_(settings), instanceMutex_(instanceMutex), commandLine_(std::move(commandLine)),
      session_(context, settings, static_cast<MainWindowPort&>(*this))
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Glyphary"));
    setGeometry(design_.geometry);
    createActions();
    createMenus();
    createToolBars();
    createPanes();
    createStatusBar();
    installSubsystems(session_, this);
    registerFrameCommands();
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
                connect(action, &QAction::triggered, this, [this, name] { session_.runEntry(name); });
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
                session_.runEntry(command);
            else if (key == u"abort")
                session_.run(Command::Abort);
            else
                session_.runEntry(buttonCommand(key, {session_.loaded().doubleClickZoom, pnlResult->view()}));
        });
        if (!def.dropDown.empty()) {
            auto* menu = new QMenu(bar);
            for (const DropDownEntry& entry : def.dropDown) {
                QAction* item = menu->addAction(QString::fromLatin1(entry.caption));
                item->setObjectName(QString::fromLatin1(entry.key));
                const QString entryCommand = QString::fromLatin1(entry.command);
                connect(item, &QAction::triggered, this, [this, entryCommand] { session_.runEntry(entryCommand); });
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
        session_.setSourceCaption(cmbSearch->itemText(position));
        if (Navigation* navigation = session_.navigation())
            navigation->searchKeyword(position);
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
        if (item)
            session_.clickNode(item->data(0, Qt::UserRole).toString());
    });
    connect(pnlNav, &QTreeWidget::itemExpanded, this, &frmMain::showNodeOpened);
    connect(pnlNav, &QTreeWidget::itemCollapsed, this, &frmMain::showNodeOpened);
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

    connect(pnlResult, &ResultListWidget::headerClicked, this, [this](int column) { session_.pages().sortByColumn(column); });
    connect(pnlResult, &ResultListWidget::contextMenuWanted, this, [this](const QPoint& where, bool onItem) {
        QMenu* popUp = menus_.value(onItem ? QStringLiteral("mnuResultClick") : QStringLiteral("mnuWhite"));
        if (!popUp)
            return;
        // The double-click action is the bold entry.
        const char* bold = defaultPopupEntry(session_.selection().doubleClickAction);
        for (QAction* entry : popUp->actions()) {
            QFont font = entry->font();
            font.setBold(bold && entry->objectName() == QLatin1StringView(bold));
            entry->setFont(font);
        }
        popUp->popup(where);
    });
    connect(pnlResult, &ResultListWidget::selectionChanged, this, [this] { session_.selectionChanged(); });
    connect(pnlResult, &ResultListWidget::itemDoubleClicked, this, [this] { doubleClickResult(); });
    pnlResult->installEventFilter(this);
    pnlResult->setAcceptDrops(true);
    pnlResult->setDragFileMaker([this](int row) {
        return session_.dragFileFor(SelectedRow{pnlResult->text(row, 0), pnlResult->text(row, 1), pnlResult->text(row, 2),
                                                pnlResult->tag(row), pnlResult->image(row)});
    });
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
    connect(&tmrLed, &QTimer::timeout, this, [this] { session_.pages().ledTick(); });
}

// The window's own commands: views, bands, paging, help and the end of the program.
void frmMain::registerFrameCommands()
{
    session_.handle(Command::Exit, [this] { closeProgram(); });
    session_.handle(Command::ViewLargeIcons, [this] { setResultView(0); });
    session_.handle(Command::ViewList, [this] { setResultView(2); });
    session_.handle(Command::ViewDetails, [this] { setResultView(3); });
    ResultPages& pages = session_.pages();
    session_.handle(Command::ArrangeBy, [&pages](int column) { pages.arrangeBy(column); });
    session_.handle(Command::ToPage, [&pages](int page) { pages.toPage(page); });
    session_.handle(Command::FirstPage, [&pages] { pages.firstPage(); });
    session_.handle(Command::PrevPage, [&pages] { pages.previousPage(); });
    session_.handle(Command::NextPage, [&pages] { pages.nextPage(); });
    session_.handle(Command::LastPage, [&pages] { pages.lastPage(); });
    session_.handle(Command::BackColor, [this] { chooseBackColor(); });
    session_.handle(Command::ToggleStatusBar, [this] { setStatusBarShown(!pnlStatusBar->isVisible()); });
    session_.handle(Command::ToggleStandardBand, [this] { setBandVisible(1, !bandVisible(1)); });
    session_.handle(Command::ToggleYourBand, [this] { setBandVisible(2, !bandVisible(2)); });
    session_.handle(Command::ToggleKeywordBand, [this] { setBandVisible(3, !bandVisible(3)); });
    session_.handle(Command::ToggleTextLabels, [this] { setTextLabels(pnlToolBar->toolButtonStyle() == Qt::ToolButtonIconOnly); });
    session_.handle(Command::CustomizeToolbar, [this] { customizeToolbar(); });
    session_.handle(Command::HelpTopics, [this] { showHelpTopics(); });
    session_.handle(Command::HelpSearch, [this] { showHelpTopics(); });
    session_.handle(Command::TipOfTheDay, [this] { showTips(); });
    session_.handle(Command::About, [this] {
        frmInfo about(context_, settings_, desktopAboutActions(), this);
        about.exec();
    });
    session_.handle(Command::HomePage, [] { QDesktopServices::openUrl(QUrl(QString::fromLatin1(kHomePageUrl))); });
    session_.handle(Command::Mail, [] { QDesktopServices::openUrl(QUrl(QString::fromLatin1(kMailUrl))); });
}

void frmMain::setEntryEnabled(const QString& name, bool enabled)
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
    // 1 and 3 to 15: the Windows version, folder icons and the stored preferences, applied below.
    session_.loadSettings(design_);
    setEntryEnabled(QStringLiteral("mnuToolsDefaultFolder"), session_.folderIconsSupported());
    // 4. Marked for the single-instance search; then the own command line.
    MarkMainWindow();
    HandleCommandLine(session_, commandLine_);
    applyLoadedSettings();
    // 16. A path from the command line may have filled the results already.
    if (session_.cmbResult.count() == 0) {
        session_.pages().clearView();
        panels.value(QStringLiteral("type"))->setText(QStringLiteral("No icon selected."));
    }
    // 17. Icons from the command line keep their count.
    const QString keywords = LoadCatalogue(context_);
    if (session_.cmbResult.count() == 0)
        panels.value(QStringLiteral("count"))->setText(keywords);
    showKeywordBar();
    // 18.
    session_.rebuildNavigationTree();
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
    const MainWindowSettings& s = session_.loaded();
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
    setGeometry(visibleGeometry(session_.loaded().geometry, fallback, screens));
    if (session_.loaded().maximized)
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
    const QString host = context_.platform.paths().toHost(session_.loaded().helpFile);
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
    HandleCommandLine(session_, formats::fromCp1252(payload));
}

void frmMain::ReleaseInstance()
{
    instanceMutex_.release();
}

void frmMain::closeProgram(ShutdownQuestions questions)
{
    marked_.reset();
    ReleaseInstance();
    if (!shutdown_.run(session_, questions))
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
    const int width = nameColumnWidth(resultStack_->width(), pnlResult->columnWidth(1), pnlResult->columnWidth(2));
    pnlResult->setColumnWidth(0, width);
    pnlDummy->setColumnWidth(0, width);
    showSourceCaption(session_.sourceCaption());
}

void frmMain::setHotTracking(bool on)
{
    pnlResult->setHotTracking(on);
}

void frmMain::showSourceCaption(const QString& sourceCaption)
{
    const QFontMetrics metrics(font());
    const QString caption = nameColumnCaption(sourceCaption, pnlResult->columnWidth(0),
                                              [&metrics](const QString& text) { return metrics.horizontalAdvance(text); });
    pnlResult->setHeaderCaption(caption);
    pnlDummy->setHeaderCaption(caption);
}

void frmMain::keyPressEvent(QKeyEvent* event)
{
    if (keyAborts(event->key()))
        session_.run(Command::Abort);
    QMainWindow::keyPressEvent(event);
}

void frmMain::keyReleaseEvent(QKeyEvent* event)
{
    if (const auto command = keyReleaseCommand(event->key()))
        session_.run(*command);
    QMainWindow::keyReleaseEvent(event);
}

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    // Events may arrive while the window is still being built.
    if (!pnlNav || !cmbSearch || panels.isEmpty())
        return QMainWindow::eventFilter(watched, event);
    QLabel* area = panels.value(QStringLiteral("area"));
    if (watched == area && event->type() == QEvent::MouseButtonPress && pageDisplayOffersPages(area->text(), pnlNav->isEnabled())) {
        if (QMenu* goBar = menus_.value(QStringLiteral("mnuGoBar")))
            goBar->popup(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        // The keyword bar and the tree see Esc before the window does.
        if ((watched == cmbSearch || watched == cmbSearch->lineEdit() || watched == pnlNav) && keyAborts(key))
            session_.run(Command::Abort);
        if (watched == cmbSearch->lineEdit() && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            session_.setSourceCaption(cmbSearch->currentText());
            if (Navigation* navigation = session_.navigation())
                navigation->enterKeyword(cmbSearch->currentText());
            return true;
        }
    }
    if (watched == pnlNav->viewport() && navigationDragEvent(event))
        return true;
    if (watched == pnlResult && resultListEvent(event))
        return true;
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::activateMainWindow()
{
    setFocus();
    ActivateWindow(this);
}

ShownWindow frmMain::shownWindow() const
{
    ShownWindow shown;
    shown.viewType = pnlResult->view();
    shown.textLabels = actions_.value(QStringLiteral("mnuViewToolbarTextLabels"))->isChecked();
    shown.statusBar = actions_.value(QStringLiteral("mnuViewStatusBar"))->isChecked();
    shown.standardBand = bandVisible(1);
    shown.yourBand = bandVisible(2);
    shown.keywordBand = bandVisible(3);
    shown.yourNewRow = toolBarBreak(pnlToolbarYour);
    shown.keywordNewRow = toolBarBreak(pnlKeywordBand);
    shown.standardToolbarWidth = pnlToolBar->width();
    shown.yourToolbarWidth = pnlToolbarYour->width();
    shown.backColor = pnlResult->backColor();
    shown.hotTracking = pnlResult->hotTracking();
    for (int i = 0; i < 3; ++i)
        shown.columnWidths[static_cast<std::size_t>(i)] = pnlResult->columnWidth(i);
    shown.splitter = picSplitV->sizes().isEmpty() ? 0 : picSplitV->sizes().first();
    shown.minimized = isMinimized();
    shown.maximized = isMaximized();
    shown.frame = normalGeometry().isValid() ? normalGeometry() : geometry();
    return shown;
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
