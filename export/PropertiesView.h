#pragma once
// The Properties command apart from its windows: which window a row's properties are shown in,
// and what frmProp shows of a catalogue or Windows Default row.

#include "core/Selection.h"

#include <QImage>
#include <QString>
#include <QStringView>

namespace glyphary {
class KeywordTable;
}

namespace glyphary::exporting {

enum class PropertiesWindow {
    Icon, // frmProp: what the program knows of the icon
    File, // the properties of a file on disk
};

struct PropertiesTarget {
    PropertiesWindow window = PropertiesWindow::Icon;
    QString file;          // Windows path, for PropertiesWindow::File
    bool shortcut = false; // the file is a shortcut (.lnk), whose icons are not read
};

// By the row's columns: "Windows Default" and "Glyphary" rows show frmProp; "File Favorite",
// "File" and "Reference" rows and theme cursors their icon file (the item's first field); shortcut
// rows (origin "Desktop..." or "Start Menu...") their .lnk file in the Windows folder
// (`windowsFolder` without trailing "\"). Any other row shows frmProp, so that Properties always
// shows something.
PropertiesTarget propertiesTargetOf(const SelectedRow& row, const QString& windowsFolder);

// True when the ";"-terminated token list holds `token` as one whole token.
bool tokenListHas(QStringView tokenList, QStringView token);

// The texts of every keyword (numbers 0 to 3000) under which the catalogue item is listed, in
// keyword order, separated by ", "; "" for items of other kinds.
QString catalogueKeywordsOf(const QString& item, const KeywordTable& table);

// What frmProp shows.
struct IconProperties {
    QImage picture;
    QString name;
    QString type;
    QString origin;
    QString keywords; // catalogue rows
    QString file;     // where the icon comes from: the library member of a catalogue row, the source
                      // (registry location or cursor id) of a Windows Default row, else the item's file
};

IconProperties iconPropertiesOf(const SelectedRow& row, const KeywordTable& table);

} // namespace glyphary::exporting
