#include "windows/frmImport.h"

#include "core/AppContext.h"
#include "core/MainSession.h"
#include "core/SettingsTable.h"
#include "core/WindowPosition.h"
#include "platform/Platform.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <span>

namespace glyphary {

using Act = frmImport::Act;

namespace {

const QString kOpenPrompt = QStringLiteral("Open or paste from the Clipboard");
const QString kClickPrompt = QStringLiteral("Click to set the transparancy color");

struct ButtonDef {
    const char* key;
    const char* toolTip;
    QStyle::StandardPixmap picture;
    Act act;
};
constexpr ButtonDef kButtons[] = {
    {"open", "Open Graphic File", QStyle::SP_DialogOpenButton, Act::Open},
    {"save", "Save As...", QStyle::SP_DialogSaveButton, Act::SaveAs},
    {"copy", "Copy", QStyle::SP_FileDialogContentsView, Act::Copy},
    {"paste", "Paste", QStyle::SP_ArrowDown, Act::Paste},
    {"close", "Close Pictoforge", QStyle::SP_DialogCloseButton, Act::Close},
};

// An entry without a member is a separator.
struct EntryDef {
    QAction* frmImport::*entry;
    const char* name;
    const char* caption;
    Act act;
};
constexpr EntryDef kSeparator{nullptr, nullptr, nullptr, Act::Open};
constexpr EntryDef kFileEntries[] = {
    {&frmImport::mnuFileOpen, "mnuFileOpen", "&Open...", Act::Open},
    {&frmImport::mnuFileSaveAs, "mnuFileSaveAs", "Save &As...", Act::SaveAs},
    kSeparator,
    {&frmImport::mnuFileClose, "mnuFileClose", "&Close", Act::Close},
};
constexpr EntryDef kEditEntries[] = {
    {&frmImport::mnuEditCopy, "mnuEditCopy", "&Copy", Act::Copy},
    {&frmImport::mnuEditPaste, "mnuEditPaste", "&Paste", Act::Paste},
};
constexpr EntryDef kViewEntries[] = {
    {&frmImport::mnuViewBackColor, "mnuViewBackColor", "&BackColor...", Act::BackColor},
};
constexpr EntryDef kIconClickEntries[] = {
    {&frmImport::mnuIconClickSaveAs, "mnuIconClickSaveAs", "&Save As..", Act::SaveAs},
    {&frmImport::mnuIconClickCopy, "mnuIconClickCopy", "&Copy", Act::Copy},
    kSeparator,
    {&frmImport::mnuIconClickBackColor, "mnuIconClickBackColor", "&Backcolor...", Act::BackColor},
};
constexpr EntryDef kImportClickEntries[] = {
    {&frmImport::mnuImportClickOpen, "mnuImportClickOpen", "&Open", Act::Open},
    {&frmImport::mnuImportClickPaste, "mnuImportClickPaste", "&Paste", Act::Paste},
};

struct MenuDef {
    QMenu* frmImport::*menu;
    const char* name;
    const char* title;
    std::span<const EntryDef> entries;
    bool popUp;
};
const MenuDef kMenus[] = {
    {&frmImport::mnuFile, "mnuFile", "&File", kFileEntries, false},
    {&frmImport::mnuEdit, "mnuEdit", "&Edit", kEditEntries, false},
    {&frmImport::mnuView, "mnuView", "&View", kViewEntries, false},
    {&frmImport::mnuIconClick, "mnuIconClick", "IconClick", kIconClickEntries, true},
    {&frmImport::mnuImportClick, "mnuImportClick", "ImportClick", kImportClickEntries, true},
};

bool needsPicture(Act act)
{
    return act == Act::SaveAs || act == Act::Copy;
}

void fillBackground(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace

frmImport::frmImport(MainSession& session, QWidget* parent)
    : QMainWindow(parent, Qt::Window), session_(session), import_(session)
{
    setObjectName(QStringLiteral("frmImport"));
    setWindowTitle(QStringLiteral("Pictoforge"));
    setAcceptDrops(true);
    createMenus();
    createToolbar();
    createBoxes();
    createStatusBar();
    showPicture();
}

void frmImport::createMenus()
{
    for (const MenuDef& def : kMenus) {
        auto* menu = new QMenu(QString::fromLatin1(def.title), this);
        menu->setObjectName(QString::fromLatin1(def.name));
        this->*def.menu = menu;
        if (!def.popUp)
            menuBar()->addMenu(menu);
        for (const EntryDef& entry : def.entries) {
            if (!entry.entry) {
                menu->addSeparator();
                continue;
            }
            QAction* action = menu->addAction(QString::fromLatin1(entry.caption));
            action->setObjectName(QString::fromLatin1(entry.name));
            this->*entry.entry = action;
            commands_.emplace_back(action, entry.act);
        }
    }
}

void frmImport::createToolbar()
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
        commands_.emplace_back(action, def.act);
    }
    addToolBar(Qt::TopToolBarArea, pnlToolbar);
    for (const auto& [action, act] : commands_)
        connect(action, &QAction::triggered, this, [this, act = act] { run(act); });
}

void frmImport::createBoxes()
{
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    auto* lneShadow = new QFrame(central);
    lneShadow->setObjectName(QStringLiteral("lneShadow"));
    lneShadow->setFrameShape(QFrame::HLine);
    lneShadow->setFrameShadow(QFrame::Sunken);
    layout->addWidget(lneShadow);

    auto makeBox = [&](const char* backName, const char* pictureName, const char* labelName, const char* caption,
                       int side, QFrame*& back, QLabel*& picture, QLabel*& label, QMenu* popUp) {
        auto* column = new QVBoxLayout;
        label = new QLabel(QString::fromLatin1(caption), central);
        label->setObjectName(QString::fromLatin1(labelName));
        back = new QFrame(central);
        back->setObjectName(QString::fromLatin1(backName));
        back->setFrameShape(QFrame::StyledPanel);
        back->setFrameShadow(QFrame::Sunken);
        auto* inner = new QVBoxLayout(back);
        picture = new QLabel(back);
        picture->setObjectName(QString::fromLatin1(pictureName));
        picture->setFixedSize(side, side);
        inner->addWidget(picture, 0, Qt::AlignCenter);
        label->setBuddy(picture);
        for (QWidget* clickable : {static_cast<QWidget*>(back), static_cast<QWidget*>(picture)}) {
            clickable->setContextMenuPolicy(Qt::CustomContextMenu);
            connect(clickable, &QWidget::customContextMenuRequested, popUp,
                    [clickable, popUp](const QPoint& at) { popUp->popup(clickable->mapToGlobal(at)); });
        }
        column->addWidget(label, 0, Qt::AlignHCenter);
        column->addWidget(back, 1);
        return column;
    };
    auto* boxes = new QHBoxLayout;
    boxes->addLayout(makeBox("picImportBack", "picImport", "lblResource", "Resource", PictureImport::kBoxSide,
                             picImportBack, picImport, lblResource, mnuImportClick));
    boxes->addLayout(makeBox("picIconBack", "picIcon", "lblIcon", "Icon", PictureImport::kIconSide, picIconBack,
                             picIcon, lblIcon, mnuIconClick));
    picIconBack->setMinimumSize(picImportBack->sizeHint());
    layout->addLayout(boxes);
    auto* lneLight = new QFrame(central);
    lneLight->setObjectName(QStringLiteral("lneLight"));
    lneLight->setFrameShape(QFrame::HLine);
    lneLight->setFrameShadow(QFrame::Raised);
    layout->addWidget(lneLight);
    picImport->setMouseTracking(true);
    picImport->setCursor(Qt::CrossCursor);
    picImport->installEventFilter(this);
    setCentralWidget(central);
}

void frmImport::createStatusBar()
{
    pnlStatusbar = new QStatusBar(this);
    pnlStatusbar->setObjectName(QStringLiteral("pnlStatusbar"));
    statusText = new QLabel(kOpenPrompt, pnlStatusbar);
    statusText->setObjectName(QStringLiteral("statusText"));
    pnlStatusbar->addWidget(statusText, 1);
    setStatusBar(pnlStatusbar);
}

QAction* frmImport::button(const QString& key) const
{
    return pnlToolbar->findChild<QAction*>(key, Qt::FindDirectChildrenOnly);
}

void frmImport::run(Act act)
{
    switch (act) {
    case Act::Open:
        import_.open();
        break;
    case Act::SaveAs:
        import_.saveAs();
        break;
    case Act::Copy:
        import_.copy();
        break;
    case Act::Paste: {
        const QClipboard* clipboard = QGuiApplication::clipboard();
        const QString status = import_.paste(clipboard ? clipboard->mimeData() : nullptr);
        if (!status.isEmpty())
            statusText->setText(status);
        break;
    }
    case Act::Close:
        close();
        return;
    case Act::BackColor:
        import_.chooseBackColor();
        break;
    }
    showPicture();
}

void frmImport::showPicture()
{
    if (import_.hasPicture()) {
        picImport->setPixmap(QPixmap::fromImage(import_.boxPicture()));
        picIcon->setPixmap(QPixmap::fromImage(import_.icon()));
    } else {
        picImport->clear();
        picIcon->clear();
    }
    picIcon->setProperty("Tag", import_.iconName());
    for (QWidget* box : {static_cast<QWidget*>(picIconBack), static_cast<QWidget*>(picIcon)})
        fillBackground(box, import_.backColor());
    for (const auto& [action, act] : commands_)
        action->setEnabled(!needsPicture(act) || import_.hasPicture());
}

void frmImport::showAtStoredPlace()
{
    if (!isVisible()) {
        const AppContext& context = session_.context();
        adjustSize();
        move(restoredWindowPosition(session_.settings(), setting::ImportTop, setting::ImportLeft,
                                    context.TwipsPerPixelX, context.TwipsPerPixelY, screen()->availableGeometry(),
                                    size()));
    }
    show();
    raise();
    activateWindow();
}

bool frmImport::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == picImport) {
        if (event->type() == QEvent::MouseMove) {
            statusText->setText(kClickPrompt);
        } else if (event->type() == QEvent::MouseButtonPress) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton) {
                import_.clickAt(mouse->position().toPoint());
                showPicture();
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmImport::closeEvent(QCloseEvent* event)
{
    const AppContext& context = session_.context();
    saveWindowPosition(session_.settings(), setting::ImportTop, setting::ImportLeft,
                       pixelsToTwips(pos(), context.TwipsPerPixelX, context.TwipsPerPixelY), isMinimized());
    event->accept();
}

void frmImport::dragEnterEvent(QDragEnterEvent* event)
{
    const QMimeData* data = event->mimeData();
    const QList<QUrl> urls = data->urls();
    if (data->hasImage() || std::any_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); }))
        event->acceptProposedAction();
    else
        event->ignore();
}

void frmImport::dropEvent(QDropEvent* event)
{
    const QMimeData* data = event->mimeData();
    event->acceptProposedAction();
    // A file opens as Open opens it (its name and folder kept); a dragged picture without a file
    // comes in as a paste does.
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) {
            import_.openPath(session_.context().platform.paths().toWindows(url.toLocalFile()));
            showPicture();
            return;
        }
    }
    const QString status = import_.paste(data);
    if (!status.isEmpty())
        statusText->setText(status);
    showPicture();
}

namespace {

// The one import window; deleted with the session at the latest, never after it.
class ImportWindow {
public:
    ImportWindow(MainSession& session, QWidget* mainWindow) : session_(session), mainWindow_(mainWindow) {}
    ~ImportWindow() { delete shown_; }
    ImportWindow(const ImportWindow&) = delete;
    ImportWindow& operator=(const ImportWindow&) = delete;

    void open()
    {
        if (!shown_) {
            shown_ = new frmImport(session_, mainWindow_);
            shown_->setAttribute(Qt::WA_DeleteOnClose);
        }
        shown_->showAtStoredPlace();
    }

private:
    MainSession& session_;
    QWidget* mainWindow_;
    QPointer<frmImport> shown_;
};

} // namespace

void installPictureImport(MainSession& session, QWidget* mainWindow)
{
    ImportWindow& window = session.keep(std::make_unique<ImportWindow>(session, mainWindow));
    session.handle(Command::Import, [&window] { window.open(); });
}

} // namespace glyphary
