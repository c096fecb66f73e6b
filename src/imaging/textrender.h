// On the page a text block is rendered once into a picture whose white is transparent and
// shown like any other picture; print draws the same layout as text.
#pragma once

#include "core/state.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QSize>
#include <QString>

namespace quadrela {

// The font a text block is drawn with: face, points at 96 dpi, bold and italic.
QFont textFont(const TextAttributes& attributes);

struct TextLine
{
    QString text;
    QPoint baseline; // where the line starts on its baseline
    int width = 0;   // its advance
};

// A text laid out as RenderTextBitmap draws it, in pixels at 96 dpi: the bitmap's size and
// each line that is drawn (none for an unknown alignment).
struct TextLayout
{
    QFont font;
    QColor color;
    QSize size;
    QList<TextLine> lines;
};

// Throws where RenderTextBitmap does, for the same reasons.
TextLayout layoutText(const TextAttributes& attributes, const QString& text);

// Lays the text out and draws it black-on-white into an RGB32 bitmap: as wide as the
// widest line plus 15 pixels, as high as the number of lines times the tallest line.
// An empty text is one empty line. Throws when the bitmap would exceed the picture bound.
// At a scale other than 1 the same layout is drawn that much larger (a zoomed page).
QImage RenderTextBitmap(const TextAttributes& attributes, const QString& text,
                        double scale = 1.0);

// Renders the text and writes it as a PNG whose single transparent colour is white to
// outPath. The old file is deleted first, so a failed rendering never leaves another
// text's picture behind. Throws quadrela::Error on failure.
void RenderTextPicture(const TextAttributes& attributes, const QString& text,
                       const QString& outPath);

} // namespace quadrela
