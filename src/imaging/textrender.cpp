#include "textrender.h"

#include "codecs/png.h"
#include "core/convert.h"
#include "core/errors.h"
#include "core/limits.h"
#include "core/textfile.h"

#include <QFile>
#include <QFontMetrics>
#include <QPainter>

#include <cerrno>
#include <cmath>

namespace quadrela {

namespace {

constexpr int kRightMargin = 15;
constexpr int kDotsPerMeter96 = 3780;  // 96 dpi

Error textTooLarge(qint64 width, qint64 height)
{
    return Error(QStringLiteral("O texto é grande demais para ser desenhado (%1 × %2 pixels).")
                     .arg(width)
                     .arg(height));
}

// A single line already beyond the bound: its height is what is reported.
Error textTooLarge(qint64 lineHeight)
{
    return Error(QStringLiteral("O texto é grande demais para ser desenhado (linhas de %1 pixels de altura).")
                     .arg(lineHeight));
}

// A line refused by its length alone, before the font engine measures it.
Error lineTooLong(qsizetype characters)
{
    return Error(QStringLiteral("O texto é grande demais para ser desenhado (uma linha de %1 "
                                "caracteres).")
                     .arg(characters));
}

QColor colorFromRef(ColorRef c)
{
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

} // namespace

QFont textFont(const TextAttributes& attributes)
{
    QFont font(attributes.FontName);
    // Sizes of 0 or below come only from hand-edited records; draw them at the default.
    const int points = attributes.FontSize > 0 ? attributes.FontSize : 10;
    font.setPointSizeF(points);
    font.setBold(attributes.Style & StyleBold);
    font.setItalic(attributes.Style & StyleItalic);
    return font;
}

TextLayout layoutText(const TextAttributes& attributes, const QString& text)
{
    QStringList lines = splitLines(text);
    if (lines.isEmpty())
        lines.append(QString());
    // A drawn character takes a pixel or more of width, so a line of more characters than
    // the bound has pixels cannot fit it. Measuring such a line takes seconds and
    // gigabytes, and the engine's widths overflow on the way.
    for (const QString& line : lines) {
        if (line.size() > kMaxPictureSide)
            throw lineTooLong(line.size());
    }

    // Measure against a 96 dpi device, so a point is 96/72 pixel.
    QImage probe(1, 1, QImage::Format_RGB32);
    probe.setDotsPerMeterX(kDotsPerMeter96);
    probe.setDotsPerMeterY(kDotsPerMeter96);
    TextLayout layout;
    layout.font = textFont(attributes);
    layout.color = colorFromRef(attributes.Color);
    // The font engine does not report sizes far beyond the picture bound: its metrics wrap
    // around, or it quietly draws at a small default size. A line that cannot fit the bound
    // is refused before measuring.
    const double linePixels = layout.font.pointSizeF() * 96.0 / 72.0;
    if (linePixels > kMaxPictureSide)
        throw textTooLarge(qint64(std::ceil(linePixels)));
    const QFontMetrics metrics(layout.font, &probe);
    if (metrics.height() <= 0)
        throw textTooLarge(qint64(std::ceil(linePixels)));

    qint64 maxW = 0;
    QList<int> widths;
    widths.reserve(lines.size());
    for (const QString& line : lines) {
        const int w = metrics.horizontalAdvance(line);
        widths.append(w);
        maxW = std::max<qint64>(maxW, w);
    }
    const qint64 width = maxW + kRightMargin;
    const qint64 height = qint64(lines.size()) * metrics.height();
    if (!pictureSizeAllowed(width, height))
        throw textTooLarge(width, height);
    layout.size = QSize(int(width), int(height));

    for (int i = 0; i < lines.size(); ++i) {
        const int w = widths.at(i);
        int x = 0;
        switch (attributes.Alignment) {
        case 0:
            x = 0;
            break;
        case 1:
            x = int(maxW / 2) - w / 2;
            break;
        case 2:
            x = int(maxW) - w;
            break;
        default:
            continue;  // an unknown alignment draws nothing
        }
        layout.lines.append({lines.at(i), QPoint(x, i * metrics.height() + metrics.ascent()), w});
    }
    return layout;
}

QImage RenderTextBitmap(const TextAttributes& attributes, const QString& text, double scale)
{
    const TextLayout layout = layoutText(attributes, text);
    const qint64 scaledWidth = qint64(std::ceil(layout.size.width() * scale));
    const qint64 scaledHeight = qint64(std::ceil(layout.size.height() * scale));
    if (!pictureSizeAllowed(scaledWidth, scaledHeight))
        throw textTooLarge(scaledWidth, scaledHeight);

    QImage bitmap(int(scaledWidth), int(scaledHeight), QImage::Format_RGB32);
    if (bitmap.isNull())
        throw Error(QStringLiteral("Memória insuficiente para desenhar o texto."));
    bitmap.setDotsPerMeterX(kDotsPerMeter96);
    bitmap.setDotsPerMeterY(kDotsPerMeter96);
    bitmap.fill(Qt::white);

    QPainter painter(&bitmap);
    painter.scale(scale, scale);
    painter.setFont(layout.font);
    painter.setPen(layout.color);
    painter.setBackground(Qt::white);
    painter.setBackgroundMode(Qt::OpaqueMode);
    for (const TextLine& line : layout.lines)
        painter.drawText(line.baseline, line.text);
    painter.end();
    return bitmap;
}

void RenderTextPicture(const TextAttributes& attributes, const QString& text,
                       const QString& outPath)
{
    if (QFile::exists(outPath) && !QFile::remove(outPath))
        throw Error(QStringLiteral("Não foi possível substituir o arquivo %1.").arg(outPath));
    const QImage bitmap = RenderTextBitmap(attributes, text);
    TPNGObject png = TPNGObject::fromBitmap(bitmap);
    png.setTransparentColor(qRgb(255, 255, 255));
    // The scratch picture is read back at once and replaced by the next rendering: it is
    // compressed lightly and not forced to disk, which at printing sizes saves more time
    // than the drawing itself takes.
    const QByteArray bytes = png.encode(PngCompression::Fast);
    QFile file(outPath);
    errno = 0;
    bool written = file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                   file.write(bytes) == bytes.size() && file.flush();
    if (written) {
        // Closing can still report a write the file system deferred.
        file.close();
        written = file.error() == QFileDevice::NoError;
    }
    if (!written) {
        const QString reason = failureReason(file, errno);
        file.close();
        QFile::remove(outPath);
        throw Error(QStringLiteral("Não foi possível criar o arquivo %1: %2").arg(outPath, reason));
    }
}

} // namespace quadrela
