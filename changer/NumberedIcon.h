#pragma once
// The selected icon written as a numbered .ico of the Icons folder at its own colour depth, for
// targets that name the file themselves (folders, dropped shortcuts); the icon they named before
// goes only once the new one is named in its place.

#include "changer/IconsFolder.h"
#include "libs/glsave32/Glsave32.h"

#include <QImage>
#include <QString>

namespace glyphary {
struct AppContext;
}

namespace glyphary::changer {

struct NumberedIcon {
    QString file;   // the Windows path written; "" on failure
    QString error;  // why nothing was written
    bool full = false; // all numbers are taken
    bool samePath = false; // `previous` had this very name and now holds the new icon
};

class NumberedIconWriter {
public:
    explicit NumberedIconWriter(AppContext& context);

    const IconsFolder& folder() const { return icons_; }

    // Writes `image` at `depth` bits per pixel under the smallest free number, `previous` (the
    // target's icon so far) counting as free when it is ours. With `png` a PNG of the icon is kept
    // beside it under the same number, for desktops that do not read .ico files.
    NumberedIcon write(const QImage& image, int depth, const QString& previous, bool png = false);

    // Removes `previous` (and its PNG) when it is ours and not `kept`. True when it went.
    bool retire(const QString& previous, const QString& kept = QString());
    // Removes a file the target no longer names after its write failed; a file that replaced
    // `previous` in place stays.
    void discard(const NumberedIcon& written);

    // "...\Icons\N.png" for one of our numbered files; "" for any other.
    QString pngOf(const QString& file) const;

private:
    AppContext& context_;
    IconsFolder icons_;
    Glsave32 writer_;
};

} // namespace glyphary::changer
