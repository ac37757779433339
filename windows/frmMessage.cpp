#include "windows/frmMessage.h"

#include "core/Settings.h"
#include "windows/MessageWindow.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

namespace glyphary {

frmMessage::frmMessage(Settings& settings, int twipsPerPixel, const platform::MessageRequest& request, QWidget* parent)
    : QDialog(parent), settings_(settings), twipsPerPixel_(twipsPerPixel > 0 ? twipsPerPixel : 15)
{
    setObjectName(QStringLiteral("frmMessage"));
    createControls(request);
    placeWindow();
}

void frmMessage::createControls(const platform::MessageRequest& request)
{
    setWindowTitle(request.title);

    picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    picIcon->setAlignment(Qt::AlignTop);

    txtMessage = new QLabel(request.text, this);
    txtMessage->setObjectName(QStringLiteral("txtMessage"));
    txtMessage->setWordWrap(true);
    txtMessage->setMinimumWidth(320);

    chkNoShow = new QCheckBox(QStringLiteral("&Don't show this message again."), this);
    chkNoShow->setObjectName(QStringLiteral("chkNoShow"));
    chkNoShow->setProperty("tag", request.flagName);

    cmdOK = new QPushButton(QStringLiteral("&Close"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdRestart = new QPushButton(request.secondButton, this);
    cmdRestart->setObjectName(QStringLiteral("cmdRestart"));
    cmdRestart->setVisible(!request.secondButton.isEmpty());

    connect(cmdOK, &QPushButton::clicked, this, [this] {
        closedWithSecondButton_ = false;
        accept();
    });
    connect(cmdRestart, &QPushButton::clicked, this, [this] {
        closedWithSecondButton_ = true;
        accept();
    });

    auto* textRow = new QHBoxLayout;
    textRow->addWidget(picIcon);
    textRow->addWidget(txtMessage, 1);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(chkNoShow);
    buttonRow->addStretch(1);
    buttonRow->addWidget(cmdRestart);
    buttonRow->addWidget(cmdOK);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(textRow);
    layout->addLayout(buttonRow);
}

void frmMessage::placeWindow()
{
    adjustSize();
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    QPoint topLeft = available.center() - QPoint(width() / 2, height() / 2);
    if (const auto stored = storedMessagePosition(settings_)) {
        const QPoint pixels(stored->x() / twipsPerPixel_, stored->y() / twipsPerPixel_);
        // A position stored on a screen that is gone would hide the window.
        if (available.intersects(QRect(pixels, size())))
            topLeft = pixels;
    }
    move(topLeft);
}

bool frmMessage::showModal()
{
    exec();
    return closedWithSecondButton_;
}

void frmMessage::done(int result)
{
    if (!stored_) {
        stored_ = true;
        const QPoint twips(pos().x() * twipsPerPixel_, pos().y() * twipsPerPixel_);
        storeMessageWindowClose(settings_, chkNoShow->property("tag").toString(), chkNoShow->isChecked(),
                                isMinimized(), twips);
    }
    QDialog::done(result);
}

} // namespace glyphary
