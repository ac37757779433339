#pragma once
// Picture import apart from its widgets: the loaded picture, the transparency colour, the 32 x 32
// icon built from them, and Open, Paste, Save As and Copy.
//
// The picture is stretched to the import box (kBoxSide square, three times the icon side) for
// display and clicks; the icon takes the centre pixel of each 3 x 3 cell of that box. So every icon
// pixel is a pixel the person sees and can click, and a clicked colour matches exactly; smoothing
// happens once, when the picture is stretched to the box.

#include "formats/ByteReader.h"

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QString>
#include <QStringList>

class QMimeData;

namespace glyphary {

class MainSession;

class PictureImport {
public:
    static constexpr int kIconSide = 32;
    static constexpr int kCell = 3;
    static constexpr int kBoxSide = kIconSide * kCell;
    // Files over this size are not read at all.
    static constexpr qint64 kMaxFileSize = 256 * 1024 * 1024;
    static inline const QColor kDefaultTransparency{128, 0, 0};

    explicit PictureImport(MainSession& session);

    // The Open dialog's filter: the six classic entries, then the other formats this build reads.
    static QString openFilter();
    static QString saveFilter();
    // Save As entry (1-based) to bits per pixel: 1, 4 give 4; 2, 5 give 8; 3, 6 give 16.
    static int depthOfEntry(int entry);
    static bool entryIsCursor(int entry) { return entry >= 4 && entry <= 6; }
    // "C:\Pics\sun.new.jpg" gives "sun.new"; "C:\Pics\sun" gives "sun".
    static QString iconNameOf(const QString& windowsPath);
    // The folder part up to and without the last "\".
    static QString folderOf(const QString& windowsPath);

    // A picture replaces the current one only when it could be read; otherwise the error is
    // returned and everything stays as it was.
    QString loadBytes(formats::Bytes file);
    QString loadFile(const QString& windowsPath);
    void setPicture(const QImage& picture);
    // The clipboard's picture: image data, or the first local file among its URLs that reads as one.
    // The status text to show.
    QString paste(const QMimeData* data);

    // Commands as the window runs them; errors are shown through the dialogs port.
    void open();
    // What Open does with the chosen file, also for a file dropped on the window.
    void openPath(const QString& windowsPath);
    void saveAs();
    void copy() const;
    void chooseBackColor();

    // A click on the import box at `point` (box pixels): that pixel's colour becomes transparent.
    void clickAt(QPoint point);

    bool hasPicture() const { return !picture_.isNull(); }
    const QImage& picture() const { return picture_; }
    const QImage& boxPicture() const { return box_; }
    // ARGB32, transparent where the box had the transparency colour; null before a picture.
    const QImage& icon() const { return icon_; }
    QColor transparency() const { return transparency_; }
    const QString& iconName() const { return iconName_; }
    QColor backColor() const { return backColor_; }

private:
    void build();
    void showError(const QString& text) const;

    MainSession& session_;
    QImage picture_; // picTransfer
    QImage box_;     // picImport
    QImage icon_;    // picIcon
    QColor transparency_ = kDefaultTransparency;
    QString iconName_;
    QColor backColor_ = Qt::white;
};

} // namespace glyphary
