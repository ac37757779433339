#pragma once
// Drawing one result item of each kind into a row of the result page: its 32 x 32 picture (and on
// a dense screen the sharp one of an icon file), name, type and origin. Frames of one animated file on a page share one load.

#include "platform/IconFunctions.h"
#include "core/CursorRoles.h"
#include "core/ResultPageView.h"

#include <QImage>
#include <QString>
#include <QStringList>

namespace glyphary {

struct AppContext;
class CoreLibrary;
class ItemList;

// The picture shown where an icon cannot be had.
QImage noIconPicture();

class ResultDrawing : public ResultRowReader {
public:
    ResultDrawing(AppContext& context, platform::IconFunctions& icons, CoreLibrary& library, const ItemList& lstFiles);

    std::optional<RowResult> readRow(const QString& item, std::int32_t itemData, int position) override;
    // Names the files of the page whose decoding was cut short, so the missing pictures are explained.
    QString pageNote() override;
    void setPictureScale(int scale) override { pictureScale_ = scale; }

    // Loads of animated files so far (one per file while its frames follow each other).
    int animationLoads() const { return animationLoads_; }

private:
    QImage bookPicture(const QString& item);
    QImage filePicture(const QString& file, const QString& number);
    QImage sharpFilePicture(const QString& file, const QString& number);
    QImage animationFrame(const QString& file, int step);
    QImage builtInCursor(int resourceNumber);
    void noteCutShort(const QString& file);

    AppContext& context_;
    platform::IconFunctions& icons_;
    CoreLibrary& library_;
    const ItemList& lstFiles_;
    QRgb maskColour_ = 0xFFFFFFFF;
    int pictureScale_ = 1;
    QString animationFile_;
    platform::LoadedIcon animation_;
    int animationLoads_ = 0;
    QString sharpAnimationFile_;
    platform::LoadedIcon sharpAnimation_;
    QStringList cutShort_; // files of the page being drawn
};

} // namespace glyphary
