#include "windows/frmAni.h"

namespace glyphary {

void installAnimationPlayer(MainSession&, exporting::Exporter&, QWidget*) {}

} // namespace glyphary
