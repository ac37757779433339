#pragma once
// The icon pictures of the default Windows installation: Tango theme artwork (16 and 32 pixels) made
// into .ico files and resource-only executables whose icon indexes line up with what the system icon
// table, the file types and the shortcuts of the installation name.

#include "formats/ByteReader.h"

#include <QImage>
#include <QString>

#include <map>
#include <vector>

namespace glyphary {

// Theme pictures by name ("folder", "computer"), from any context folder of the theme. A name the
// theme lacks gets a plain drawn picture, so that a missing theme still gives a complete installation.
class InstallationArtwork {
public:
    explicit InstallationArtwork(QString themeFolder);

    QImage picture(const QString& name, int side) const;
    // 16 and 32 pixels at 32 bpp and 32 pixels at 256 colours.
    formats::ByteVector icoFile(const QString& name) const;
    bool foundInTheme(const QString& name) const;

private:
    QString themeFolder_;
};

// One executable to build: the artwork name of each icon index, from 0 up.
struct IconExecutable {
    QString windowsPath; // lower case, as the table writes it, e.g. "c:\windows\system\shell32.dll"
    std::vector<QString> icons;
};

// Icons named by "file,index" texts: every index up to the highest one named gets a picture (the
// named ones their artwork, the gaps a generic one), so that ExtractIcon's indexes match.
class IconExecutableSet {
public:
    // Names a picture for `file`,`index`; a later name for the same place is ignored.
    void name(const QString& file, int index, const QString& artwork);
    // "file,index" as the registry holds it (quotes and all); false when it names no index.
    bool nameLocation(const QString& location, const QString& artwork);
    std::vector<IconExecutable> executables() const;

private:
    std::map<QString, std::map<int, QString>> icons_; // by file, lower case
};

// The resource-only PE file with one icon group per picture; groups that show the same picture
// share its images.
formats::ByteVector iconExecutableBytes(const IconExecutable& executable, const InstallationArtwork& artwork);

} // namespace glyphary
