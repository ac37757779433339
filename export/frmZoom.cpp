#include "export/frmZoom.h"

#include "core/AppContext.h"
#include "core/MainSession.h"
#include "core/MainWindowPort.h"
#include "core/SettingsTable.h"
#include "core/WindowPosition.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPointer>
#include <QScreen>

namespace glyphary {

using exporting::ZoomPurpose;
using exporting::ZoomView;

frmZoom::frmZoom(AppContext& context, Settings& settings, ZoomView view, QWidget* parent)
    : QDialog(parent), context_(context), settings_(settings), view_(std::move(view))
{
    setObjectName(QStringLiteral("frmZoom"));
    picZoom = new QLabel(this);
    picZoom->setObjectName(QStringLiteral("picZoom"));
    picZoom->installEventFilter(this);
    lblHotspot = new QLabel(exporting::kHotSpotLabel, this);
    lblHotspot->setObjectName(QStringLiteral("lblHotspot"));
    showView(view_);
    move(restoredWindowPosition(settings_, setting::ZoomTop, setting::ZoomLeft, context_.TwipsPerPixelX,
                                context_.TwipsPerPixelY, screen()->availableGeometry(), size()));
}

void frmZoom::showView(ZoomView view)
{
    view_ = std::move(view);
    view_.load();
    setWindowTitle(view_.caption());
    const QRect picture = view_.pictureRect();
    picZoom->setGeometry(picture);
    picZoom->setPixmap(QPixmap::fromImage(view_.enlarged()));
    const bool placing = view_.placesHotSpot();
    picZoom->setCursor(placing ? Qt::CrossCursor : Qt::ArrowCursor);
    lblHotspot->setVisible(placing);
    int bottom = picture.bottom() + 1;
    if (placing) {
        lblHotspot->setGeometry(picture.left(), bottom + 4, picture.width(), lblHotspot->sizeHint().height());
        bottom = lblHotspot->geometry().bottom() + 1;
    }
    setFixedSize(picture.right() + 1 + exporting::kZoomMargin, bottom + exporting::kZoomMargin);
}

bool frmZoom::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == picZoom) {
        if (event->type() == QEvent::MouseButtonRelease) {
            view_.release(static_cast<QMouseEvent*>(event)->position().toPoint());
            return true;
        }
        if (event->type() == QEvent::MouseButtonDblClick) {
            copyToClipboard();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmZoom::copyToClipboard()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setImage(view_.enlarged());
}

void frmZoom::done(int result)
{
    saveWindowPosition(settings_, setting::ZoomTop, setting::ZoomLeft,
                       pixelsToTwips(pos(), context_.TwipsPerPixelX, context_.TwipsPerPixelY), isMinimized());
    QDialog::done(result);
}

namespace {

// The one zoom window the menu opens, and the modal one that places a hot spot.
class ZoomWindows {
public:
    ZoomWindows(MainSession& session, QWidget* mainWindow) : session_(session), mainWindow_(mainWindow) {}
    ~ZoomWindows() { delete shown_; }
    ZoomWindows(const ZoomWindows&) = delete;
    ZoomWindows& operator=(const ZoomWindows&) = delete;

    void look(int argument)
    {
        session_.context().ZoomFactor = static_cast<std::int16_t>(
            exporting::zoomFactorFor(argument, session_.loaded().doubleClickZoom));
        if (shown_) {
            shown_->showView(view(ZoomPurpose::Look));
        } else {
            shown_ = new frmZoom(session_.context(), session_.settings(), view(ZoomPurpose::Look), mainWindow_);
            shown_->setAttribute(Qt::WA_DeleteOnClose);
            shown_->show();
        }
        shown_->raise();
        shown_->activateWindow();
    }

    void placeHotSpot(const QImage& image)
    {
        // Two zoom windows would leave the person wondering which one places the hot spot.
        if (shown_)
            shown_->close();
        frmZoom placing(session_.context(), session_.settings(), view(ZoomPurpose::PlaceHotSpot, image), mainWindow_);
        placing.exec();
    }

private:
    // On `image` when one is given (a picture that is no result row), else on the selected row.
    ZoomView view(ZoomPurpose purpose, const QImage& image = QImage()) const
    {
        std::optional<SelectedRow> row = session_.window().selectedRow();
        if (!image.isNull()) {
            row = SelectedRow();
            row->image = image;
        }
        return ZoomView(session_.context(), std::move(row), session_.window().shownWindow().backColor, purpose);
    }

    MainSession& session_;
    QWidget* mainWindow_;
    QPointer<frmZoom> shown_;
};

} // namespace

void installZoomWindow(MainSession& session, QWidget* mainWindow)
{
    ZoomWindows& windows = session.keep(std::make_unique<ZoomWindows>(session, mainWindow));
    session.handle(Command::Zoom, [&windows](int argument) { windows.look(argument); });
    session.setHotSpotPlacer([&windows](const QImage& image) { windows.placeHotSpot(image); });
}

} // namespace glyphary
