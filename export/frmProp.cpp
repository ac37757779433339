#include "export/frmProp.h"

namespace glyphary {

void installPropertiesWindows(MainSession&, QWidget*) {}

} // namespace glyphary
