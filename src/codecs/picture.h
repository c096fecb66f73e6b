// The generic picture holder: reads any picture type the program knows, choosing the codec
// by the file-name extension, and keeps the file's bytes so the picture can be copied back
// out exactly as it was read.
#pragma once

#include "codecs/png.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <memory>
#include <optional>

class QPainter;
class QPoint;
class QRect;
class QSvgRenderer;

namespace quadrela {

enum class PictureFormat { None, Png, Jpeg, Bmp, Ico, Wmf, Emf };

// "png", "jpg", "jpeg", "bmp", "ico", "wmf", "emf" in any case; None otherwise.
PictureFormat formatForExtension(const QString& ext);

// The extension of a path: what follows the last dot of its file name, as written.
QString pictureExtension(const QString& path);

class TPicture
{
public:
    TPicture();
    ~TPicture();
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;
    TPicture(TPicture&&) noexcept;
    TPicture& operator=(TPicture&&) noexcept;

    // Throws quadrela::unknownExtension for an extension without a codec, and
    // quadrela::Error with the codec's message for a file it cannot decode. On failure the
    // picture keeps what it held before.
    void LoadFromFile(const QString& path);
    // Decodes bytes as the given format (what LoadFromFile does after reading the file).
    void LoadFromData(const QByteArray& bytes, PictureFormat format);

    // Writes the bytes exactly as they were read.
    void SaveToFile(const QString& path) const;

    bool isEmpty() const { return m_format == PictureFormat::None; }
    PictureFormat format() const { return m_format; }
    int width() const { return m_size.width(); }
    int height() const { return m_size.height(); }

    // Premultiplied ARGB32 at the picture's size, transparent where the picture is: PNG
    // transparency, icon masks, and the background of metafiles, which are rendered at their
    // frame size at 96 dots per inch.
    QImage toImage() const;

    const TPNGObject* png() const { return m_png ? &*m_png : nullptr; }
    // The decoded bitmap of a JPEG, BMP or ICO picture as the codec gave it (JPEG: RGB32);
    // null for the other formats. Shared, not copied.
    const QImage& raster() const { return m_raster; }
    const QByteArray& data() const { return m_data; }

    // Metafiles are drawn as vectors, so printing at a high resolution stays sharp.
    void draw(QPainter& p, QPoint at) const;
    void stretchDraw(QPainter& p, const QRect& r) const;

private:
    PictureFormat m_format = PictureFormat::None;
    QByteArray m_data;
    QSize m_size;
    std::optional<TPNGObject> m_png;
    QImage m_raster; // JPEG, BMP and ICO
    std::unique_ptr<QSvgRenderer> m_svg;
};

} // namespace quadrela
