#include "results/frmKey.h"

#include "core/AppContext.h"
#include "core/MainSession.h"
#include "core/SettingsTable.h"
#include "core/WindowPosition.h"
#include "platform/DialogsPort.h"
#include "platform/Win32Types.h"
#include "results/Install.h"

#include <QEvent>
#include <QGridLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>

namespace glyphary {

frmKey::frmKey(MainSession& session, results::Collections& collections, QWidget* parent)
    : QDialog(parent), session_(session), collections_(collections), editor_(session.context())
{
    setObjectName(QStringLiteral("frmKey"));
    setWindowTitle(results::kKeywordWindowTitle);
    txtKey = new QLineEdit(this);
    txtKey->setObjectName(QStringLiteral("txtKey"));
    lstKey = new QListWidget(this);
    lstKey->setObjectName(QStringLiteral("lstKey"));
    cmdAdd = new QPushButton(QStringLiteral("&Add"), this);
    cmdAdd->setObjectName(QStringLiteral("cmdAdd"));
    cmdDelete = new QPushButton(QStringLiteral("&Delete"), this);
    cmdDelete->setObjectName(QStringLiteral("cmdDelete"));
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    for (QPushButton* button : {cmdAdd, cmdDelete, cmdCancel})
        button->setAutoDefault(false);

    auto* layout = new QGridLayout(this);
    layout->addWidget(txtKey, 0, 0);
    layout->addWidget(cmdAdd, 0, 1);
    layout->addWidget(lstKey, 1, 0, 3, 1);
    layout->addWidget(cmdDelete, 1, 1);
    layout->addWidget(cmdCancel, 2, 1);

    txtKey->installEventFilter(this);
    lstKey->installEventFilter(this);
    connect(txtKey, &QLineEdit::textChanged, this, [this](const QString& text) {
        editor_.textChanged(text);
        showState();
    });
    connect(lstKey, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        editor_.listClicked(lstKey->row(item));
        showState();
    });
    connect(cmdAdd, &QPushButton::clicked, this, &frmKey::addKeyword);
    connect(cmdDelete, &QPushButton::clicked, this, &frmKey::deleteKeyword);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    fillList();
    showState();
    AppContext& context = session_.context();
    adjustSize();
    move(restoredWindowPosition(session_.settings(), setting::KeyTop, setting::KeyLeft, context.TwipsPerPixelX,
                                context.TwipsPerPixelY, screen()->availableGeometry(), size()));
}

void frmKey::fillList()
{
    const QSignalBlocker quiet(lstKey);
    lstKey->clear();
    for (const ItemList::Entry& entry : session_.context().catalogueLists.lstKey.entries())
        lstKey->addItem(entry.text);
}

void frmKey::showState()
{
    cmdAdd->setEnabled(editor_.addEnabled());
    cmdDelete->setEnabled(editor_.deleteEnabled());
    {
        const QSignalBlocker quiet(lstKey);
        lstKey->setCurrentRow(editor_.selected());
    }
    if (txtKey->text() != editor_.text()) {
        const QSignalBlocker quiet(txtKey);
        txtKey->setText(editor_.text());
    }
}

void frmKey::addKeyword()
{
    platform::DialogsPort& dialogs = session_.context().platform.dialogs();
    switch (editor_.add()) {
    case results::AddKeywordOutcome::Added:
        fillList();
        collections_.keywordsChanged();
        break;
    case results::AddKeywordOutcome::Duplicate:
        dialogs.messageBox(results::kDuplicateKeywordText, results::kKeywordMessageTitle, platform::MB_ICONINFORMATION);
        break;
    case results::AddKeywordOutcome::TableFull:
        dialogs.messageBox(results::kKeywordTableFullText, results::kKeywordMessageTitle, platform::MB_ICONEXCLAMATION);
        break;
    case results::AddKeywordOutcome::Empty:
        break;
    }
    showState();
}

void frmKey::deleteKeyword()
{
    if (editor_.remove()) {
        fillList();
        collections_.keywordsChanged();
    }
    showState();
}

bool frmKey::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        const bool in = event->type() == QEvent::FocusIn;
        if (watched == txtKey)
            editor_.setTextFocus(in);
        else if (watched == lstKey)
            editor_.setListFocus(in);
    }
    return QDialog::eventFilter(watched, event);
}

void frmKey::done(int result)
{
    AppContext& context = session_.context();
    saveWindowPosition(session_.settings(), setting::KeyTop, setting::KeyLeft,
                       pixelsToTwips(pos(), context.TwipsPerPixelX, context.TwipsPerPixelY), isMinimized());
    QDialog::done(result);
}

void installKeywordWindow(MainSession& session, results::Collections& collections, QWidget* mainWindow)
{
    collections.showKeywordWindow = [&session, &collections, mainWindow] {
        frmKey window(session, collections, mainWindow);
        window.exec();
    };
}

} // namespace glyphary
