#include "art/artwork.h"

#include <QDir>
#include <QImage>
#include <QImageReader>
#include <cmath>

namespace quadrela {

namespace {

QString resourcePath(const QString& name)
{
    return QStringLiteral(":/art/%1.png").arg(name);
}

bool isPlainName(const QString& name)
{
    // A name is looked up under ":/art" only; anything that could leave that folder
    // or name a file of another kind is refused rather than resolved.
    return !name.isEmpty() && !name.contains(u'/') && !name.contains(u'\\') &&
           !name.startsWith(u'.') && !name.contains(u'@');
}

// Read as PNG outright: left to guess, the reader first offers the file to every image
// format plugin, which loads them all (the SVG one among them) at start-up.
QImage readPicture(const QString& path)
{
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

} // namespace

QPixmap artPixmap(const QString& name, QSize size, qreal devicePixelRatio)
{
    if (!isPlainName(name) || size.isEmpty() || !(devicePixelRatio > 0.0))
        return {};
    const QSize pixels(int(std::ceil(size.width() * devicePixelRatio)),
                       int(std::ceil(size.height() * devicePixelRatio)));
    // Each drawing was rendered at its own size and at twice it: the smallest of the two
    // that is not smaller than wanted, so scaling, when needed at all, mostly shrinks.
    QImage image = readPicture(resourcePath(name));
    if (image.isNull())
        return {};
    if (pixels.width() > image.width() || pixels.height() > image.height()) {
        QImage large = readPicture(resourcePath(name + QStringLiteral("@2x")));
        if (!large.isNull())
            image = std::move(large);
    }
    if (image.size() != pixels)
        image = image.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (image.isNull())
        return {};
    QPixmap pixmap =
        QPixmap::fromImage(std::move(image).convertToFormat(QImage::Format_ARGB32_Premultiplied));
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

QSize artSize(const QString& name)
{
    if (!isPlainName(name))
        return {};
    // The picture at 1x has the size the drawing declares; only its header is read.
    QImageReader reader(resourcePath(name), "png");
    reader.setAutoDetectImageFormat(false);
    return reader.size();
}

QStringList artNames()
{
    QStringList names;
    const QStringList files =
        QDir(QStringLiteral(":/art")).entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name);
    for (const QString& file : files)
        if (!file.contains(u'@'))
            names << file.chopped(4);
    // Sorted by the bare names: "creditos" comes before "creditos-picture", which a sort
    // of the file names (where "-" precedes ".") would reverse.
    names.sort();
    return names;
}

QIcon appIcon()
{
    QIcon icon;
    // Each size is read only when something draws the icon at it.
    const QStringList files = QDir(QStringLiteral(":/art/icon")).entryList(QDir::Files);
    for (const QString& file : files) {
        const int side = file.chopped(4).toInt();
        if (side > 0)
            icon.addFile(QStringLiteral(":/art/icon/") + file, QSize(side, side));
    }
    return icon;
}

} // namespace quadrela
