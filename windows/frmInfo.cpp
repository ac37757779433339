#include "windows/frmInfo.h"

#include "core/AppContext.h"
#include "windows/AboutInfo.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QVBoxLayout>

namespace glyphary {

namespace {

QLabel* linkLabel(QWidget* parent, const char* name, const QString& url, const QString& shown)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::RichText);
    label->setText(QStringLiteral("<a href=\"%1\">%2</a>").arg(url.toHtmlEscaped(), shown.toHtmlEscaped()));
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    // The window decides how links open, so that a test can watch it.
    label->setOpenExternalLinks(false);
    return label;
}

// Draws "name<TAB>state" lines as two aligned columns, as a list box with a tab stop would.
class TabStopDelegate : public QStyledItemDelegate {
public:
    TabStopDelegate(int tabStop, QObject* parent) : QStyledItemDelegate(parent), tabStop_(tabStop) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem blank = option;
        initStyleOption(&blank, index);
        blank.text.clear();
        const QStyle* style = blank.widget ? blank.widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &blank, painter, blank.widget);

        const QString text = index.data(Qt::DisplayRole).toString();
        const qsizetype tab = text.indexOf(QLatin1Char('\t'));
        const QRect area = option.rect.adjusted(4, 0, -4, 0);
        painter->save();
        painter->setFont(option.font);
        painter->setPen(option.palette.color(QPalette::Text));
        painter->drawText(area, Qt::AlignVCenter | Qt::AlignLeft, text.left(tab));
        if (tab >= 0)
            painter->drawText(area.adjusted(tabStop_, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, text.mid(tab + 1));
        painter->restore();
    }

private:
    int tabStop_;
};

} // namespace

AboutActions desktopAboutActions()
{
    return {[](const QUrl& url) { return QDesktopServices::openUrl(url); },
            [](const QString& hostProgram) { return QProcess::startDetached(hostProgram, QStringList()); }};
}

frmInfo::frmInfo(AppContext& context, Settings& settings, AboutActions actions, QWidget* parent)
    : QDialog(parent), context_(context), settings_(settings), actions_(std::move(actions))
{
    setObjectName(QStringLiteral("frmInfo"));
    setWindowTitle(QStringLiteral("About Glyphary"));
    createControls();
    showFrame(0);
}

void frmInfo::createControls()
{
    tabStrip = new QTabBar(this);
    tabStrip->setObjectName(QStringLiteral("tabStrip"));
    for (const AboutTab& tab : aboutTabs()) {
        const int index = tabStrip->addTab(QString::fromLatin1(tab.caption));
        tabStrip->setTabData(index, QString::fromLatin1(tab.key));
        tabStrip->setTabToolTip(index, QString::fromLatin1(tab.toolTip));
    }

    auto* frames = new QVBoxLayout;
    frames->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < static_cast<int>(fraInfo.size()); ++i) {
        fraInfo[static_cast<std::size_t>(i)] = createFrame(i);
        frames->addWidget(fraInfo[static_cast<std::size_t>(i)]);
    }

    // Version.
    lblBuild = new QLabel(buildText(), fraInfo[0]);
    lblBuild->setObjectName(QStringLiteral("lblBuild"));
    QFont bold = lblBuild->font();
    bold.setBold(true);
    lblBuild->setFont(bold);
    lblWinVerCaption = new QLabel(QStringLiteral("windows version:"), fraInfo[0]);
    lblWinVerCaption->setObjectName(QStringLiteral("lblWinVerCaption"));
    lblWinVer = new QLabel(context_.OsName, fraInfo[0]);
    lblWinVer->setObjectName(QStringLiteral("lblWinVer"));
    auto* version = new QGridLayout(fraInfo[0]);
    version->addWidget(lblBuild, 0, 0, 1, 2);
    version->addWidget(lblWinVerCaption, 1, 0);
    version->addWidget(lblWinVer, 1, 1);
    version->setColumnStretch(1, 1);
    version->setRowStretch(2, 1);

    // Disclaimer.
    txtDisclaimer = new QLabel(disclaimerText(), fraInfo[1]);
    txtDisclaimer->setObjectName(QStringLiteral("txtDisclaimer"));
    txtDisclaimer->setWordWrap(true);
    txtDisclaimer->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    (new QVBoxLayout(fraInfo[1]))->addWidget(txtDisclaimer);

    // Icon Resources.
    txtIconUpdate = new QListWidget(fraInfo[2]);
    txtIconUpdate->setObjectName(QStringLiteral("txtIconUpdate"));
    txtIconUpdate->setSelectionMode(QAbstractItemView::NoSelection);
    txtIconUpdate->setItemDelegate(
        new TabStopDelegate(txtIconUpdate->fontMetrics().horizontalAdvance(QStringLiteral("IconUpdate 10")) + 24, txtIconUpdate));
    txtIconUpdate->addItems(iconResourceLines(context_.platform.paths(), context_.ProgramFolder, QLocale()));
    (new QVBoxLayout(fraInfo[2]))->addWidget(txtIconUpdate);

    // Contact.
    const QString homePage = QString::fromLatin1(kHomePageUrl);
    const QString mail = QString::fromLatin1(kMailUrl);
    txtURL = linkLabel(fraInfo[3], "txtURL", homePage, homePage);
    txtMail = linkLabel(fraInfo[3], "txtMail", mail, mail.mid(mail.indexOf(QLatin1Char(':')) + 1));
    for (QLabel* link : {txtURL, txtMail})
        connect(link, &QLabel::linkActivated, this, [this](const QString& url) { actions_.openUrl(QUrl(url)); });
    auto* contact = new QGridLayout(fraInfo[3]);
    contact->addWidget(new QLabel(QStringLiteral("Home page:"), fraInfo[3]), 0, 0);
    contact->addWidget(txtURL, 0, 1);
    contact->addWidget(new QLabel(QStringLiteral("E-mail:"), fraInfo[3]), 1, 0);
    contact->addWidget(txtMail, 1, 1);
    contact->setColumnStretch(1, 1);
    contact->setRowStretch(2, 1);

    cmdSysInfo = new QPushButton(QStringLiteral("&System Info"), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    const QString msInfo = msInfoPath(settings_);
    cmdSysInfo->setProperty("tag", msInfo);
    cmdSysInfo->setVisible(!msInfo.isEmpty());
    cmdOK = new QPushButton(QStringLiteral("&Close"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);

    connect(tabStrip, &QTabBar::currentChanged, this, &frmInfo::showFrame);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmInfo::runSystemInfo);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(cmdSysInfo);
    buttonRow->addStretch(1);
    buttonRow->addWidget(cmdOK);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabStrip);
    layout->addLayout(frames, 1);
    layout->addLayout(buttonRow);
    resize(460, 320);
}

QFrame* frmInfo::createFrame(int index)
{
    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("fraInfo"));
    frame->setProperty("index", index);
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setVisible(false);
    return frame;
}

void frmInfo::showFrame(int index)
{
    for (std::size_t i = 0; i < fraInfo.size(); ++i)
        fraInfo[i]->setVisible(static_cast<int>(i) == index);
}

void frmInfo::runSystemInfo()
{
    const QString program = cmdSysInfo->property("tag").toString();
    const QString host = hostProgram(context_.platform.paths(), program);
    if (host.isEmpty() || !actions_.startProgram(host)) {
        context_.platform.dialogs().messageBox(
            QStringLiteral("The System Information program could not be started:\r") + program,
            QStringLiteral("System Info"), platform::MB_ICONEXCLAMATION);
    }
}

} // namespace glyphary
