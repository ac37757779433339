#include "options/frmOptions.h"

#include "core/MainSession.h"
#include "options/Install.h"
#include "options/OptionsController.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

namespace glyphary {

using options::Association;
using options::OptionsValues;

namespace {

struct TabDef {
    const char* caption;
    const char* key;
    const char* toolTip;
};
constexpr TabDef kTabs[] = {
    {"General", "results", "General Options"},
    {"Shell Integration", "shell", "Shell Integration Options"},
    {"Double Click Icon", "doubleclick", "Define Action when Doubleclicking Icons"},
    {"Favorites", "favorites", "Favorite Options"},
};

struct CheckDef {
    QCheckBox* frmOptions::*box;
    bool OptionsValues::*value;
};
constexpr CheckDef kChecks[] = {
    {&frmOptions::chkHoverSelection, &OptionsValues::hotTracking},
    {&frmOptions::chkRebuild, &OptionsValues::noRebuildReminders},
    {&frmOptions::chkRestart, &OptionsValues::noRestartReminders},
    {&frmOptions::chkSendTo, &OptionsValues::sendTo},
    {&frmOptions::chkChange, &OptionsValues::changeFirst},
    {&frmOptions::chkRun, &OptionsValues::runFirst},
    {&frmOptions::chkRef, &OptionsValues::referenceFirst},
    {&frmOptions::chkPlay, &OptionsValues::playFirst},
    {&frmOptions::chkSearchFav, &OptionsValues::searchFavorites},
};

struct AssociationBox {
    QCheckBox* frmOptions::*box;
    Association which;
};
constexpr AssociationBox kAssociationBoxes[] = {
    {&frmOptions::chkAsoANI, Association::ANI}, {&frmOptions::chkAsoCUR, Association::CUR},
    {&frmOptions::chkAsoDLL, Association::DLL}, {&frmOptions::chkAsoICL, Association::ICL},
    {&frmOptions::chkAsoICO, Association::ICO},
};

struct ActionDef {
    QRadioButton* frmOptions::*button;
    const char* word;
};
constexpr ActionDef kActions[] = {
    {&frmOptions::optNone, "None"}, {&frmOptions::optProp, "Prop"}, {&frmOptions::optZoom, "Zoom"},
    {&frmOptions::optSave, "Save"}, {&frmOptions::optCopy, "Copy"}, {&frmOptions::optEditWith, "EditWith"},
};

template <class W>
W* named(W* widget, const char* name, const char* toolTip = nullptr)
{
    widget->setObjectName(QString::fromLatin1(name));
    if (toolTip)
        widget->setToolTip(QString::fromLatin1(toolTip));
    return widget;
}

QCheckBox* check(const char* name, const char* caption)
{
    return named(new QCheckBox(QString::fromLatin1(caption)), name);
}

QPushButton* button(const char* name, const char* caption, const char* toolTip = nullptr)
{
    return named(new QPushButton(QString::fromLatin1(caption)), name, toolTip);
}

QGroupBox* frame(const char* caption, QLayout* layout)
{
    auto* box = new QGroupBox(QString::fromLatin1(caption));
    box->setLayout(layout);
    return box;
}

} // namespace

frmOptions::frmOptions(MainSession& session, options::OptionsController& controller, QWidget* parent)
    : QDialog(parent), session_(session), controller_(controller)
{
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("Options"));
    tbsOptions = named(new QTabBar, "tbsOptions");
    auto* panes = new QStackedWidget;
    QWidget* const created[] = {createGeneral(), createShell(), createDoubleClick(), createFavorites()};
    for (std::size_t i = 0; i < picOptions.size(); ++i) {
        const TabDef& tab = kTabs[i];
        const int index = tbsOptions->addTab(QString::fromLatin1(tab.caption));
        tbsOptions->setTabData(index, QString::fromLatin1(tab.key));
        tbsOptions->setTabToolTip(index, QString::fromLatin1(tab.toolTip));
        picOptions[i] = named(created[i], "picOptions");
        panes->addWidget(picOptions[i]);
    }
    connect(tbsOptions, &QTabBar::currentChanged, panes, &QStackedWidget::setCurrentIndex);

    cmdApply = button("cmdApply", "A&pply");
    cmdCancel = button("cmdCancel", "C&ancel");
    cmdOK = button("cmdOK", "&Close");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {cmdOK, cmdCancel, cmdApply})
        buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tbsOptions);
    layout->addWidget(panes);
    layout->addLayout(buttons);
    connectControls();
    // F1 opens the program's help file, as in the main window.
    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, [this] { session_.run(Command::HelpTopics); });
    showValues();
}

QWidget* frmOptions::createGeneral()
{
    cmbIconsPerPage = named(new QComboBox, "cmbIconsPerPage");
    cmbIconsPerPage->setEditable(true);
    cmbIconsPerPage->addItems(options::kIconsPerPageEntries);
    auto* results = new QHBoxLayout;
    results->addWidget(new QLabel(QStringLiteral("Icons Per Page:")));
    results->addWidget(cmbIconsPerPage);
    chkHoverSelection = check("chkHoverSelection", "&Hot Tracking");
    chkRebuild = check("chkRebuild", "Do Not &Show Rebuild Windows Icon Cache Reminders");
    chkRestart = check("chkRestart", "Do &Not Show Windows Restart Reminders");

    chkMaskUseBackground = check("chkMaskUseBackground", "&Use Results Pane Background Color");
    cmbMaskSystemColor = named(new QComboBox, "cmbMaskSystemColor", "System Colors");
    cmbMaskSystemColor->addItems(options::systemColorTexts());
    cmdMaskCustom = button("cmdMaskCustom", "C&ustom", "Custom Colors");
    shpMaskColor = named(new QFrame, "shpMaskColor");
    shpMaskColor->setFrameShape(QFrame::Box);
    shpMaskColor->setFixedSize(32, 20);
    shpMaskColor->setAutoFillBackground(true);
    auto* mask = new QGridLayout;
    mask->addWidget(chkMaskUseBackground, 0, 0, 1, 3);
    mask->addWidget(cmbMaskSystemColor, 1, 0);
    mask->addWidget(cmdMaskCustom, 1, 1);
    mask->addWidget(shpMaskColor, 1, 2);

    auto* pane = new QWidget;
    auto* layout = new QVBoxLayout(pane);
    layout->addWidget(frame("Results Pane", results));
    for (QWidget* w : std::initializer_list<QWidget*>{chkHoverSelection, chkRebuild, chkRestart})
        layout->addWidget(w);
    layout->addWidget(frame("Copy to Clipboard Maskcolor", mask));
    layout->addStretch();
    return pane;
}

QWidget* frmOptions::createShell()
{
    cmdDesktop = button("cmdDesktop", "Add &Desktop Icon");
    chkSendTo = check("chkSendTo", "Add to &Send To Menu");
    chkAsoICO = check("chkAsoICO", "&Icons (*.ico)");
    chkAsoDLL = check("chkAsoDLL", "Dynamic &Link Libraries (*.dll)");
    chkAsoCUR = check("chkAsoCUR", "C&ursors (*.cur)");
    chkAsoANI = check("chkAsoANI", "A&nimated Icons (*.ani)");
    chkAsoICL = check("chkAsoICL", "Icon &Libraries (*.icl)");
    auto* associations = new QVBoxLayout;
    for (QCheckBox* box : {chkAsoICO, chkAsoDLL, chkAsoCUR, chkAsoANI, chkAsoICL})
        associations->addWidget(box);
    auto* pane = new QWidget;
    auto* layout = new QVBoxLayout(pane);
    layout->addWidget(cmdDesktop);
    layout->addWidget(chkSendTo);
    layout->addWidget(frame("File Associations", associations));
    layout->addStretch();
    return pane;
}

QWidget* frmOptions::createDoubleClick()
{
    optNone = named(new QRadioButton(QStringLiteral("&None")), "optNone");
    optProp = named(new QRadioButton(QStringLiteral("&Properties")), "optProp");
    optZoom = named(new QRadioButton(QStringLiteral("&Zoom")), "optZoom");
    optSave = named(new QRadioButton(QStringLiteral("&Save As")), "optSave");
    optCopy = named(new QRadioButton(QStringLiteral("&Copy to Clipboard")), "optCopy");
    optEditWith = named(new QRadioButton(QStringLiteral("&Edit With")), "optEditWith");
    lstZoom = named(new QListWidget, "lstZoom");
    lstZoom->addItems(options::kZoomEntries);
    lstZoom->setMaximumHeight(60);
    lstZoom->installEventFilter(this);
    txtEdit = named(new QLineEdit, "txtEdit");
    cmdBrowseEdit = button("cmdBrowseEdit", "Browse", "Browse for External Editor");
    auto* normal = new QGridLayout;
    normal->addWidget(optNone, 0, 0);
    normal->addWidget(optProp, 1, 0);
    normal->addWidget(optZoom, 2, 0);
    normal->addWidget(lstZoom, 2, 1);
    normal->addWidget(optSave, 3, 0);
    normal->addWidget(optCopy, 4, 0);
    normal->addWidget(optEditWith, 5, 0);
    normal->addWidget(txtEdit, 5, 1);
    normal->addWidget(cmdBrowseEdit, 5, 2);

    chkChange = check("chkChange", "C&hange System Icon if Applicable");
    chkRun = check("chkRun", "&Run Application if Shortcut Icon");
    chkRef = check("chkRef", "&Add Reference if Opened Icon");
    chkPlay = check("chkPlay", "&Play if Animated Icon");
    auto* priority = new QVBoxLayout;
    for (QCheckBox* box : {chkChange, chkRun, chkRef, chkPlay})
        priority->addWidget(box);
    auto* pane = new QWidget;
    auto* layout = new QVBoxLayout(pane);
    layout->addWidget(frame("Normal Action", normal));
    layout->addWidget(frame("Priority Over Normal Action", priority));
    layout->addStretch();
    return pane;
}

QWidget* frmOptions::createFavorites()
{
    chkSearchFav = check("chkSearchFav", "&Also Search Favorites when Searching on Keywords");
    txtFavHomeDir = named(new QLineEdit, "txtFavHomeDir");
    cmdBrowse = button("cmdBrowse", "&Browse", "Browse to set the Favorites Home Folder");
    cmdCreate = button("cmdCreate", "&Default", "Browse to set the Favorites Home Folder");
    auto* folder = new QHBoxLayout;
    folder->addWidget(txtFavHomeDir);
    folder->addWidget(cmdBrowse);
    folder->addWidget(cmdCreate);
    auto* pane = new QWidget;
    auto* layout = new QVBoxLayout(pane);
    layout->addWidget(chkSearchFav);
    layout->addWidget(new QLabel(QStringLiteral("Favorites Home Folder")));
    layout->addLayout(folder);
    layout->addStretch();
    return pane;
}

template <class F>
void frmOptions::change(F&& f)
{
    if (showing_)
        return;
    takeValues();
    f(controller_);
    showValues();
}

void frmOptions::connectControls()
{
    using Controller = options::OptionsController;
    for (const ActionDef& action : kActions) {
        const QString word = QString::fromLatin1(action.word);
        connect(this->*action.button, &QRadioButton::clicked, this, [this, word] {
            change([&word](Controller& c) { c.chooseAction(word); });
        });
    }
    connect(lstZoom, &QListWidget::currentRowChanged, this, [this](int row) {
        change([row](Controller& c) { c.chooseZoom(row); });
    });
    connect(cmdBrowseEdit, &QPushButton::clicked, this, [this] { change([](Controller& c) { c.browseEditor(); }); });
    connect(chkMaskUseBackground, &QCheckBox::clicked, this, [this](bool on) {
        change([on](Controller& c) { c.useBackground(on); });
    });
    connect(cmbMaskSystemColor, &QComboBox::activated, this, [this](int entry) {
        change([entry](Controller& c) { c.chooseSystemColor(entry); });
    });
    connect(cmdMaskCustom, &QPushButton::clicked, this, [this] { change([](Controller& c) { c.chooseCustomColor(); }); });
    connect(cmdBrowse, &QPushButton::clicked, this, [this] { change([](Controller& c) { c.browseFavorites(); }); });
    connect(cmdCreate, &QPushButton::clicked, this, [this] { change([](Controller& c) { c.defaultFavorites(); }); });
    connect(cmdDesktop, &QPushButton::clicked, this, [this] { controller_.addDesktopIcon(); });
    connect(cmdApply, &QPushButton::clicked, this, [this] { change([](Controller& c) { c.apply(); }); });
    connect(cmdOK, &QPushButton::clicked, this, [this] {
        change([](Controller& c) { c.apply(); });
        close();
    });
    connect(cmdCancel, &QPushButton::clicked, this, &QWidget::close);
}

bool frmOptions::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lstZoom && event->type() == QEvent::FocusIn)
        change([this](options::OptionsController& c) { c.chooseZoom(std::max(0, lstZoom->currentRow())); });
    return QDialog::eventFilter(watched, event);
}

QRadioButton* frmOptions::actionButton(const QString& word) const
{
    for (const ActionDef& action : kActions)
        if (word == QLatin1StringView(action.word))
            return this->*action.button;
    return optNone;
}

void frmOptions::showValues()
{
    showing_ = true;
    const OptionsValues& v = controller_.values;
    cmbIconsPerPage->setCurrentText(v.iconsPerPage);
    for (const CheckDef& c : kChecks)
        (this->*c.box)->setChecked(v.*c.value);
    for (const AssociationBox& a : kAssociationBoxes)
        (this->*a.box)->setChecked(v.association(a.which));
    chkMaskUseBackground->setChecked(!v.useMask);
    cmbMaskSystemColor->setCurrentIndex(v.systemColorEntry);
    QPalette palette = shpMaskColor->palette();
    palette.setColor(QPalette::Window, controller_.maskSample());
    shpMaskColor->setPalette(palette);
    actionButton(v.action)->setChecked(true);
    lstZoom->setCurrentRow(v.zoomLevel);
    txtEdit->setText(controller_.editorText());
    txtFavHomeDir->setText(v.favoritesFolder);
    showing_ = false;
}

void frmOptions::takeValues()
{
    OptionsValues& v = controller_.values;
    v.iconsPerPage = cmbIconsPerPage->currentText();
    for (const CheckDef& c : kChecks)
        v.*c.value = (this->*c.box)->isChecked();
    for (const AssociationBox& a : kAssociationBoxes)
        v.association(a.which) = (this->*a.box)->isChecked();
    v.zoomLevel = std::max(0, lstZoom->currentRow());
    // A typed editor path counts as a browsed one.
    const QString editor = txtEdit->text();
    if (editor != controller_.editorText()) {
        const qsizetype cut = editor.lastIndexOf(u'\\');
        v.editorFolder = editor.left(cut + 1);
        v.editorFile = editor.mid(cut + 1);
    }
    v.favoritesFolder = txtFavHomeDir->text();
}

void installOptionsWindow(MainSession& session, options::Options& options, QWidget* mainWindow)
{
    auto window = std::make_shared<QPointer<frmOptions>>();
    options.showOptionsWindow = [&session, &options, mainWindow, window] {
        if (!*window) {
            *window = new frmOptions(session, options.controller, mainWindow);
            (*window)->setAttribute(Qt::WA_DeleteOnClose);
        }
        (*window)->showValues();
        (*window)->show();
        (*window)->raise();
    };
}

} // namespace glyphary
