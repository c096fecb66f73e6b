#include "screencursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace quadrela {

void setScreenCursor(Qt::CursorShape shape)
{
    if (shape == Qt::ArrowCursor) {
        resetScreenCursor();
        return;
    }
    if (QGuiApplication::overrideCursor())
        QGuiApplication::changeOverrideCursor(QCursor(shape));
    else
        QGuiApplication::setOverrideCursor(QCursor(shape));
}

void resetScreenCursor()
{
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
}

Qt::CursorShape screenCursor()
{
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor ? cursor->shape() : Qt::ArrowCursor;
}

} // namespace quadrela
