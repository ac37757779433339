#pragma once
// The Properties command: frmProp for catalogue and Windows Default rows, the file properties
// window for rows that come from a file.

class QWidget;

namespace glyphary {
class MainSession;

void installPropertiesWindows(MainSession& session, QWidget* mainWindow);

} // namespace glyphary
