// The program's artwork (banner, logo, button glyphs, credits picture, window icon),
// rendered from SVG when the program is built and compiled in under ":/art/<name>.png"
// (and "<name>@2x.png" at twice the size).
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>
#include <QStringList>

namespace quadrela {

// The picture <name> stretched to exactly `size` on a transparent background.
// With a devicePixelRatio above 1 the pixmap holds size × ratio device pixels and reports
// `size` as its device-independent size, so it stays sharp on high-density screens.
// An unknown name, a picture that does not parse or an empty size gives a null pixmap.
QPixmap artPixmap(const QString& name, QSize size, qreal devicePixelRatio = 1.0);

// The size a picture is drawn for (its declared width and height); invalid if unknown.
QSize artSize(const QString& name);

// Names of every picture in the library, without folder or extension, sorted.
QStringList artNames();

// The window and application icon, at the usual icon sizes.
QIcon appIcon();

} // namespace quadrela
