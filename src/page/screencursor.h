// The pointer shape for the whole application (the screen cursor), not per control.
#pragma once

#include <Qt>

namespace quadrela {

void setScreenCursor(Qt::CursorShape shape);
// Back to the default: every control shows its own pointer again.
void resetScreenCursor();
// The shape in force; the arrow when none is set.
Qt::CursorShape screenCursor();

} // namespace quadrela
