#include "changer/frmChange.h"

#include "changer/Install.h"
#include "core/AppContext.h"
#include "core/MainSession.h"
#include "core/SettingsTable.h"
#include "core/WindowPosition.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPointer>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

namespace glyphary {

namespace {

struct ButtonDef {
    const char* key;
    const char* toolTip;
    QStyle::StandardPixmap picture;
};

constexpr ButtonDef kButtons[] = {
    {"apply", "Apply", QStyle::SP_DialogApplyButton},
    {"lookalike", "View Look-a-Likes", QStyle::SP_FileDialogContentsView},
    {"default", "Windows Default", QStyle::SP_DialogResetButton},
    {"group", "Back to Group", QStyle::SP_ArrowBack},
    {"build", "Rebuild Windows Icon Cache", QStyle::SP_BrowserReload},
    {"applyexit", "Apply and Close", QStyle::SP_DialogOkButton},
};

QAction* menuEntry(QMenu* menu, const char* name, const char* caption)
{
    QAction* action = menu->addAction(QString::fromLatin1(caption));
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

} // namespace

frmChange::frmChange(MainSession& session, changer::ChangeController& controller, QWidget* parent)
    : QMainWindow(parent, Qt::Window), session_(session), controller_(controller)
{
    setObjectName(QStringLiteral("frmChange"));
    createMenus();
    createToolbar();
    createBoxes();
    pnlStatusbar = new QStatusBar(this);
    pnlStatusbar->setObjectName(QStringLiteral("pnlStatusbar"));
    statusPrompt = new QLabel(pnlStatusbar);
    pnlStatusbar->addWidget(statusPrompt, 1);
    setStatusBar(pnlStatusbar);

    connect(mnuFileApply, &QAction::triggered, this, [this] { controller_.apply(); });
    connect(mnuFileCloseApply, &QAction::triggered, this, [this] {
        controller_.apply();
        close();
    });
    connect(mnuFileClose, &QAction::triggered, this, &QWidget::close);
    connect(mnuViewEquiv, &QAction::triggered, this, [this] { controller_.lookAlikes(); });
    connect(mnuViewDefault, &QAction::triggered, this, [this] { controller_.windowsDefault(); });
    connect(mnuViewGroup, &QAction::triggered, this, [this] { controller_.backToGroup(); });
    connect(mnuToolsRebuild, &QAction::triggered, this, [this] { controller_.rebuildIconCache(); });
    connect(mnuViewBackcolor, &QAction::triggered, this, [this] {
        if (const auto color = session_.context().platform.dialogs().chooseColor(backColor_))
            setBackColor(*color);
    });
    // A button does what its menu entry does.
    const std::pair<const char*, QAction*> twins[] = {
        {"apply", mnuFileApply}, {"lookalike", mnuViewEquiv}, {"default", mnuViewDefault},
        {"group", mnuViewGroup}, {"build", mnuToolsRebuild}, {"applyexit", mnuFileCloseApply},
    };
    for (const auto& [key, entry] : twins)
        connect(button(QString::fromLatin1(key)), &QAction::triggered, entry, &QAction::trigger);
    controller_.viewChanged = [this] { showState(); };
    setBackColor(backColor_);
}

void frmChange::createMenus()
{
    QMenu* mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuFileApply = menuEntry(mnuFile, "mnuFileApply", "&Apply");
    mnuFileCloseApply = menuEntry(mnuFile, "mnuFileCloseApply", "A&pply and Close");
    mnuFile->addSeparator();
    mnuFileClose = menuEntry(mnuFile, "mnuFileClose", "&Close");
    QMenu* mnuView = menuBar()->addMenu(QStringLiteral("&View"));
    mnuView->setObjectName(QStringLiteral("mnuView"));
    mnuViewEquiv = menuEntry(mnuView, "mnuViewEquiv", "&Look-a-Likes");
    mnuViewDefault = menuEntry(mnuView, "mnuViewDefault", "&Windows Default");
    mnuView->addSeparator();
    mnuViewGroup = menuEntry(mnuView, "mnuViewGroup", "&Back to &Group");
    mnuView->addSeparator();
    mnuViewBackcolor = menuEntry(mnuView, "mnuViewBackcolor", "&Backcolor...");
    QMenu* mnuTools = menuBar()->addMenu(QStringLiteral("&Tools"));
    mnuTools->setObjectName(QStringLiteral("mnuTools"));
    mnuToolsRebuild = menuEntry(mnuTools, "mnuToolsRebuild", "&Rebuild Icon Cache");
}

void frmChange::createToolbar()
{
    // The cool bar holds the one tool bar; here they are the same band.
    pnlToolbar = new QToolBar(this);
    pnlToolbar->setObjectName(QStringLiteral("pnlToolbar"));
    pnlToolbar->setMovable(false);
    CoolBar1 = pnlToolbar;
    for (const ButtonDef& def : kButtons) {
        QAction* action = pnlToolbar->addAction(style()->standardIcon(def.picture), QString::fromLatin1(def.toolTip));
        action->setObjectName(QString::fromLatin1(def.key));
        action->setToolTip(QString::fromLatin1(def.toolTip));
    }
    addToolBar(Qt::TopToolBarArea, pnlToolbar);
}

void frmChange::createBoxes()
{
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    lblTitle = new QLabel(central);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    layout->addWidget(lblTitle);
    auto* lneShadow = new QFrame(central);
    lneShadow->setObjectName(QStringLiteral("lneShadow"));
    lneShadow->setFrameShape(QFrame::HLine);
    lneShadow->setFrameShadow(QFrame::Sunken);
    layout->addWidget(lneShadow);

    const QSize side(32, 32); // screen pixels, whatever the twips per pixel
    auto makeBox = [&](const char* backName, const char* pictureName, const char* labelName, const char* caption,
                       QFrame*& back, QLabel*& picture, QLabel*& label) {
        auto* column = new QVBoxLayout;
        label = new QLabel(QString::fromLatin1(caption), central);
        label->setObjectName(QString::fromLatin1(labelName));
        back = new QFrame(central);
        back->setObjectName(QString::fromLatin1(backName));
        back->setFrameShape(QFrame::StyledPanel);
        back->setAutoFillBackground(true);
        auto* inner = new QVBoxLayout(back);
        picture = new QLabel(back);
        picture->setObjectName(QString::fromLatin1(pictureName));
        picture->setFixedSize(side);
        inner->addWidget(picture, 0, Qt::AlignCenter);
        column->addWidget(label, 0, Qt::AlignHCenter);
        column->addWidget(back);
        return column;
    };
    auto* boxes = new QHBoxLayout;
    boxes->addLayout(makeBox("picImportBack", "picImport", "lblResource", "Current", picImportBack, picImport, lblResource));
    boxes->addLayout(makeBox("picIconBack", "picIcon", "lblIcon", "New", picIconBack, picIcon, lblIcon));
    layout->addLayout(boxes);
    auto* lneLight = new QFrame(central);
    lneLight->setObjectName(QStringLiteral("lneLight"));
    lneLight->setFrameShape(QFrame::HLine);
    lneLight->setFrameShadow(QFrame::Raised);
    layout->addWidget(lneLight);
    picIcon->setAcceptDrops(true);
    picIconBack->setAcceptDrops(true);
    picIcon->installEventFilter(this);
    picIconBack->installEventFilter(this);
    setCentralWidget(central);
}

QAction* frmChange::button(const QString& key) const
{
    return pnlToolbar->findChild<QAction*>(key, Qt::FindDirectChildrenOnly);
}

void frmChange::setBackColor(const QColor& color)
{
    backColor_ = color;
    for (QFrame* box : {picImportBack, picIconBack}) {
        QPalette palette = box->palette();
        palette.setColor(QPalette::Window, color);
        box->setPalette(palette);
    }
}

void frmChange::showState()
{
    const changer::ChangeView& view = controller_.view();
    setWindowTitle(view.caption);
    lblTitle->setText(view.title);
    statusPrompt->setText(view.prompt);
    picImport->setPixmap(QPixmap::fromImage(view.current));
    if (view.next.isNull())
        picIcon->clear();
    else
        picIcon->setPixmap(QPixmap::fromImage(view.next));
    for (QAction* action : {mnuFileApply, mnuFileCloseApply, button(QStringLiteral("apply")), button(QStringLiteral("applyexit"))})
        action->setEnabled(view.applyEnabled);
    for (QAction* action : {mnuViewEquiv, button(QStringLiteral("lookalike"))})
        action->setEnabled(view.lookAlikeEnabled);
    for (QAction* action : {mnuViewDefault, button(QStringLiteral("default"))})
        action->setEnabled(view.defaultEnabled);
}

void frmChange::showAtStoredPlace()
{
    showState();
    if (!placed_) {
        const AppContext& context = session_.context();
        adjustSize();
        move(restoredWindowPosition(session_.settings(), setting::ChangeTop, setting::ChangeLeft, context.TwipsPerPixelX,
                                    context.TwipsPerPixelY, screen()->availableGeometry(), size()));
        placed_ = true;
    }
    show();
    raise();
    activateWindow();
}

frmChange::~frmChange()
{
    controller_.viewChanged = nullptr;
}

void frmChange::closeEvent(QCloseEvent* event)
{
    const AppContext& context = session_.context();
    saveWindowPosition(session_.settings(), setting::ChangeTop, setting::ChangeLeft,
                       pixelsToTwips(pos(), context.TwipsPerPixelX, context.TwipsPerPixelY), isMinimized());
    placed_ = false;
    event->accept();
}

bool frmChange::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != picIcon && watched != picIconBack)
        return QMainWindow::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        // Only a drag that carries text can name an entry of the result list.
        if (drag->mimeData()->hasText())
            drag->acceptProposedAction();
        else
            drag->ignore();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        controller_.drop(drop->mimeData()->hasText() ? drop->mimeData()->text() : QString());
        drop->acceptProposedAction();
        return true;
    }
    default:
        return QMainWindow::eventFilter(watched, event);
    }
}

void installChangeWindow(MainSession& session, changer::Changer& changer, QWidget* mainWindow)
{
    auto window = std::make_shared<QPointer<frmChange>>();
    changer.showChangeWindow = [&session, &changer, mainWindow, window] {
        if (!*window)
            *window = new frmChange(session, changer.controller, mainWindow);
        (*window)->showAtStoredPlace();
    };
}

} // namespace glyphary
