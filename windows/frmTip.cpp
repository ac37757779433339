#include "windows/frmTip.h"

#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace glyphary {

namespace {

// A light bulb with a few rays, drawn here so that the window needs no artwork.
QPixmap lightBulbPicture()
{
    constexpr int kSize = 48;
    QPixmap picture(kSize, kSize);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);

    painter.setPen(QPen(QColor(230, 170, 0), 2, Qt::SolidLine, Qt::RoundCap));
    const QPointF centre(24, 19);
    for (const QLineF ray : {QLineF(24, 1, 24, 4), QLineF(9, 7, 11, 9), QLineF(39, 7, 37, 9), QLineF(4, 19, 7, 19),
                             QLineF(44, 19, 41, 19)})
        painter.drawLine(ray);

    QPainterPath glass;
    glass.addEllipse(centre, 12, 12);
    QPainterPath neck;
    neck.moveTo(17, 27);
    neck.lineTo(19, 35);
    neck.lineTo(29, 35);
    neck.lineTo(31, 27);
    neck.closeSubpath();
    QRadialGradient glow(QPointF(21, 15), 14);
    glow.setColorAt(0, QColor(255, 255, 220));
    glow.setColorAt(1, QColor(255, 214, 40));
    painter.setPen(QPen(QColor(160, 120, 0), 1.2));
    painter.setBrush(glow);
    painter.drawPath(glass.united(neck));

    painter.setPen(QPen(QColor(90, 90, 90), 1));
    painter.setBrush(QColor(170, 170, 170));
    painter.drawRoundedRect(QRectF(18.5, 35, 11, 8), 2, 2);
    painter.drawLine(QPointF(18.5, 38), QPointF(29.5, 38));
    painter.drawLine(QPointF(18.5, 40.5), QPointF(29.5, 40.5));
    painter.setBrush(QColor(90, 90, 90));
    painter.drawEllipse(QRectF(21.5, 42.5, 5, 3));
    painter.end();
    return picture;
}

} // namespace

frmTip::frmTip(Settings& settings, QWidget* parent) : QDialog(parent), state_(settings)
{
    setObjectName(QStringLiteral("frmTip"));
    setWindowTitle(QStringLiteral("Tip of the Day"));
    setModal(false);
    createControls();
    state_.load();
    chkTip->setChecked(state_.showOnStartup());
    showTip();
}

void frmTip::createControls()
{
    picTipBack = new QFrame(this);
    picTipBack->setObjectName(QStringLiteral("picTipBack"));
    picTipBack->setFrameShape(QFrame::StyledPanel);
    picTipBack->setAutoFillBackground(true);
    QPalette back = picTipBack->palette();
    back.setColor(QPalette::Window, QColor(255, 255, 238));
    back.setColor(QPalette::WindowText, Qt::black);
    picTipBack->setPalette(back);

    picLogo = new QLabel(picTipBack);
    picLogo->setObjectName(QStringLiteral("picLogo"));
    picLogo->setPixmap(lightBulbPicture());
    picLogo->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    txtTitle = new QLabel(picTipBack);
    txtTitle->setObjectName(QStringLiteral("txtTitle"));
    QFont bold = txtTitle->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    txtTitle->setFont(bold);

    txtTip = new QLabel(picTipBack);
    txtTip->setObjectName(QStringLiteral("txtTip"));
    txtTip->setWordWrap(true);
    txtTip->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    txtTip->setMinimumSize(340, 110);

    chkTip = new QCheckBox(QStringLiteral("&Show Tips on Startup"), this);
    chkTip->setObjectName(QStringLiteral("chkTip"));
    cmdNextTip = new QPushButton(QStringLiteral("&Next Tip"), this);
    cmdNextTip->setObjectName(QStringLiteral("cmdNextTip"));
    cmdOK = new QPushButton(QStringLiteral("&Close"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);

    connect(cmdNextTip, &QPushButton::clicked, this, [this] {
        state_.next();
        showTip();
    });
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);

    auto* textColumn = new QVBoxLayout;
    textColumn->addWidget(txtTitle);
    textColumn->addWidget(txtTip, 1);
    auto* backLayout = new QHBoxLayout(picTipBack);
    backLayout->addWidget(picLogo);
    backLayout->addLayout(textColumn, 1);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(chkTip);
    buttonRow->addStretch(1);
    buttonRow->addWidget(cmdNextTip);
    buttonRow->addWidget(cmdOK);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(picTipBack, 1);
    layout->addLayout(buttonRow);
}

void frmTip::showTip()
{
    txtTitle->setText(state_.title());
    txtTip->setText(state_.text());
}

void frmTip::done(int result)
{
    if (!stored_) {
        stored_ = true;
        state_.close(chkTip->isChecked());
    }
    QDialog::done(result);
}

void frmTip::showEvent(QShowEvent* event)
{
    // Shown again after a close: that next close is remembered as well.
    stored_ = false;
    QDialog::showEvent(event);
}

} // namespace glyphary
