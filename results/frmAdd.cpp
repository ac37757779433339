#include "results/frmAdd.h"

#include "core/AppContext.h"
#include "core/MainSession.h"
#include "core/SettingsTable.h"
#include "core/WindowPosition.h"
#include "results/Install.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace glyphary {

frmAdd::frmAdd(MainSession& session, results::Collections& collections, QWidget* parent)
    : QDialog(parent), session_(session), collections_(collections)
{
    setObjectName(QStringLiteral("frmAdd"));
    setWindowTitle(results::kReferenceTitle);
    fraType = new QGroupBox(QStringLiteral("Icon Type"), this);
    fraType->setObjectName(QStringLiteral("fraType"));
    auto* types = new QGridLayout(fraType);
    for (int k = 0; k < 9; ++k) {
        optType[static_cast<std::size_t>(k)] = new QRadioButton(results::kReferenceTypeCaptions[static_cast<std::size_t>(k)], fraType);
        QRadioButton* option = optType[static_cast<std::size_t>(k)];
        option->setObjectName(QStringLiteral("optType_%1").arg(k));
        types->addWidget(option, k % 3, k / 3);
        connect(option, &QRadioButton::clicked, this, [this, k] { chosenType_ = k; });
    }
    auto* label = new QLabel(QStringLiteral("Keyword:"), this);
    cmbSearch = new QComboBox(this);
    cmbSearch->setObjectName(QStringLiteral("cmbSearch"));
    cmbSearch->setEditable(false);
    cmdAdd = new QPushButton(QStringLiteral("&Add"), this);
    cmdAdd->setObjectName(QStringLiteral("cmdAdd"));
    cmdAdd->setEnabled(false);
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    auto* layout = new QGridLayout(this);
    layout->addWidget(fraType, 0, 0, 1, 3);
    layout->addWidget(label, 1, 0);
    layout->addWidget(cmbSearch, 1, 1, 1, 2);
    layout->addWidget(cmdAdd, 2, 1);
    layout->addWidget(cmdCancel, 2, 2);

    connect(cmbSearch, qOverload<int>(&QComboBox::activated), this, [this](int) { cmdAdd->setEnabled(true); });
    connect(cmdAdd, &QPushButton::clicked, this, &frmAdd::add);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    AppContext& context = session_.context();
    adjustSize();
    move(restoredWindowPosition(session_.settings(), setting::AddTop, setting::AddLeft, context.TwipsPerPixelX,
                                context.TwipsPerPixelY, screen()->availableGeometry(), size()));
}

void frmAdd::prepare(const ReferenceTypeOptions& types)
{
    const QString keyword = cmbSearch->currentText();
    {
        const QSignalBlocker quiet(cmbSearch);
        cmbSearch->clear();
        for (const ItemList::Entry& entry : session_.context().catalogueLists.cmbAddKeyword.entries())
            cmbSearch->addItem(entry.text);
        cmbSearch->setCurrentIndex(keyword.isEmpty() ? -1 : cmbSearch->findText(keyword, Qt::MatchExactly | Qt::MatchCaseSensitive));
    }
    if (cmbSearch->currentIndex() < 0)
        cmdAdd->setEnabled(false);
    // Every option off, then the ones the selected row's type allows.
    for (QRadioButton* option : optType) {
        option->setAutoExclusive(false);
        option->setChecked(false);
        option->setAutoExclusive(true);
    }
    chosenType_ = -1;
    for (int k = 0; k < 9; ++k)
        optType[static_cast<std::size_t>(k)]->setEnabled(types.enabled.test(static_cast<std::size_t>(k)));
    if (types.preselected && *types.preselected >= 0 && *types.preselected < 9) {
        chosenType_ = *types.preselected;
        optType[static_cast<std::size_t>(chosenType_)]->setChecked(true);
    }
}

void frmAdd::add()
{
    if (chosenType_ < 0 || cmbSearch->currentIndex() < 0)
        return;
    cmdAdd->setEnabled(false);
    switch (collections_.addReference(chosenType_, cmbSearch->currentText())) {
    case results::AddReferenceOutcome::Added:
        accept();
        break;
    case results::AddReferenceOutcome::Duplicate:
        cmdAdd->setEnabled(true);
        break;
    case results::AddReferenceOutcome::NotAnIcon:
        break;
    }
}

void frmAdd::done(int result)
{
    AppContext& context = session_.context();
    saveWindowPosition(session_.settings(), setting::AddTop, setting::AddLeft,
                       pixelsToTwips(pos(), context.TwipsPerPixelX, context.TwipsPerPixelY), isMinimized());
    QDialog::done(result);
}

namespace {

// One dialog for the session's run, so that the keyword chosen last is still there.
class ReferenceWindow {
public:
    ReferenceWindow(MainSession& session, results::Collections& collections, QWidget* mainWindow)
        : session_(session), collections_(collections), mainWindow_(mainWindow)
    {
    }
    ~ReferenceWindow() { delete window_; }
    ReferenceWindow(const ReferenceWindow&) = delete;
    ReferenceWindow& operator=(const ReferenceWindow&) = delete;

    void show()
    {
        if (!window_)
            window_ = new frmAdd(session_, collections_, mainWindow_);
        window_->prepare(session_.selection().referenceTypes);
        window_->exec();
    }

private:
    MainSession& session_;
    results::Collections& collections_;
    QWidget* mainWindow_;
    QPointer<frmAdd> window_;
};

} // namespace

void installReferenceWindow(MainSession& session, results::Collections& collections, QWidget* mainWindow)
{
    ReferenceWindow& window = session.keep(std::make_unique<ReferenceWindow>(session, collections, mainWindow));
    collections.showReferenceWindow = [&window] { window.show(); };
}

} // namespace glyphary
