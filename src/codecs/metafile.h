// Windows metafiles (WMF through libwmf, EMF through libemf2svg), both turned into SVG
// and drawn with Qt SVG.
#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>

namespace quadrela {

struct MetafileSvg
{
    QByteArray svg;
    QSize size; // the picture's frame at 96 dots per inch
};

// Where the fonts the WMF converter draws with are installed.
QString wmfFontFolder();

// Both throw quadrela::Error when the file is not a metafile of that kind, when the
// converter fails, crashes or takes too long, and when the frame exceeds the picture bounds.
// The converters run in a child process, so a damaged file cannot take the program down.
// The WMF converter needs the fonts of fontFolder, and says so when they are missing there.
MetafileSvg convertWmf(const QByteArray& bytes, const QString& fontFolder = wmfFontFolder());
MetafileSvg convertEmf(const QByteArray& bytes);

} // namespace quadrela
