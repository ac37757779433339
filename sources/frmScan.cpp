#include "sources/frmScan.h"

#include "core/AppContext.h"
#include "core/FolderPicker.h"
#include "core/MainSession.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace glyphary {
namespace {

QCheckBox* checkBox(const char* name, const char* caption, QWidget* parent)
{
    auto* box = new QCheckBox(QString::fromLatin1(caption), parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QPushButton* button(const char* name, const char* caption, QWidget* parent)
{
    auto* push = new QPushButton(QString::fromLatin1(caption), parent);
    push->setObjectName(QString::fromLatin1(name));
    return push;
}

} // namespace

frmScan::frmScan(AppContext& context, Settings& settings, OpenAndScan& open, QWidget* parent)
    : QDialog(parent), context_(context), settings_(settings), open_(open)
{
    setObjectName(QStringLiteral("frmScan"));
    setWindowTitle(QStringLiteral("Open by Folder"));
    setModal(true);

    txtDir = new QLineEdit(this);
    txtDir->setObjectName(QStringLiteral("txtDir"));
    cmdBrowse = button("cmdBrowse", "Browse", this);
    cmdBrowse->setToolTip(QStringLiteral("Browse for Folder to Scan"));
    auto* filter = new QGroupBox(QStringLiteral("Filter"), this);
    chkALL = checkBox("chkALL", "All Libraries", filter);
    chkICL = checkBox("chkICL", "Icon Libraries (*.icl)", filter);
    chkEXE = checkBox("chkEXE", "Executables (*.exe)", filter);
    chkDLL = checkBox("chkDLL", "Dynamic Link Libraries (*.dll)", filter);
    chkANI = checkBox("chkANI", "Animated Icons (*.ani)", filter);
    chkCUR = checkBox("chkCUR", "Cursors (*.cur)", filter);
    chkICO = checkBox("chkICO", "Icons (*.ico)", filter);
    chkScanSubDir = checkBox("chkScanSubDir", "Scan Subfolders", this);
    cmdStart = button("cmdStart", "Start", this);
    cmdCancel = button("cmdCancel", "Cancel", this);
    cmdStart->setDefault(true);

    auto* folderRow = new QHBoxLayout;
    auto* folderLabel = new QLabel(QStringLiteral("Folders:"), this);
    folderLabel->setBuddy(txtDir);
    folderRow->addWidget(folderLabel);
    folderRow->addWidget(txtDir, 1);
    folderRow->addWidget(cmdBrowse);
    auto* boxes = new QGridLayout(filter);
    boxes->addWidget(chkALL, 0, 0, 1, 2);
    QCheckBox* types[] = {chkICL, chkEXE, chkDLL, chkANI, chkCUR, chkICO};
    for (int i = 0; i < 6; ++i)
        boxes->addWidget(types[i], 1 + i / 2, i % 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(chkScanSubDir);
    buttons->addStretch(1);
    buttons->addWidget(cmdStart);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(folderRow);
    layout->addWidget(filter);
    layout->addLayout(buttons);

    const ScanWindowState loaded = loadScanWindow(settings_);
    showState(loaded);
    if (loaded.position)
        move(twipsToPixels(*loaded.position, context_.TwipsPerPixelX, context_.TwipsPerPixelY));
    connect(chkALL, &QCheckBox::toggled, this, [this] { showState(state()); });
    connect(txtDir, &QLineEdit::textEdited, this, [this] { cmdStart->setEnabled(state().startEnabled()); });
    connect(cmdBrowse, &QPushButton::clicked, this, &frmScan::browse);
    connect(cmdStart, &QPushButton::clicked, this, &frmScan::start);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

QCheckBox* frmScan::typeBox(int type) const
{
    QCheckBox* const boxes[] = {chkANI, chkCUR, chkDLL, chkEXE, chkICL, chkICO};
    return boxes[type];
}

ScanWindowState frmScan::state() const
{
    ScanWindowState state;
    state.folder = txtDir->text();
    state.all = chkALL->isChecked();
    for (int i = 0; i < kIconFileTypes; ++i)
        state.types[static_cast<std::size_t>(i)] = typeBox(i)->isChecked();
    state.subfolders = chkScanSubDir->isChecked();
    return state;
}

void frmScan::showState(const ScanWindowState& state)
{
    txtDir->setText(state.folder);
    chkALL->setChecked(state.all);
    for (int i = 0; i < kIconFileTypes; ++i) {
        typeBox(i)->setChecked(state.types[static_cast<std::size_t>(i)]);
        typeBox(i)->setEnabled(state.typeBoxesEnabled());
    }
    chkScanSubDir->setChecked(state.subfolders);
    cmdStart->setEnabled(state.startEnabled());
}

void frmScan::browse()
{
    if (const auto folder = BrowseForFolder(context_.platform.dialogs(), FolderPickerCaller::ScanDialog, txtDir->text())) {
        txtDir->setText(*folder);
        cmdStart->setEnabled(true);
    }
}

void frmScan::start()
{
    const auto request = startScan(settings_, context_.platform.dialogs(), state());
    if (!request) {
        cmdStart->setEnabled(false);
        return;
    }
    // The window goes once the icons are listed.
    hide();
    open_.scan(*request);
    accept();
}

void frmScan::done(int result)
{
    saveScanWindowPosition(settings_, pixelsToTwips(pos(), context_.TwipsPerPixelX, context_.TwipsPerPixelY), isMinimized());
    QDialog::done(result);
}

void installScanWindow(MainSession& session, OpenAndScan& open, QWidget* parent)
{
    session.handle(Command::OpenFolder, [&session, &open, parent] {
        frmScan scan(session.context(), session.settings(), open, parent);
        scan.exec();
    });
}

} // namespace glyphary
