#include "art/artwork.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QSvgRenderer>
#include <cmath>

namespace quadrela {

namespace {

QString resourcePath(const QString& name)
{
    return QStringLiteral(":/art/%1.svg").arg(name);
}

bool isPlainName(const QString& name)
{
    // A name is looked up under ":/art" only; anything that could leave that folder
    // or name a file of another kind is refused rather than resolved.
    return !name.isEmpty() && !name.contains(u'/') && !name.contains(u'\\') &&
           !name.startsWith(u'.');
}

} // namespace

QPixmap artPixmap(const QString& name, QSize size, qreal devicePixelRatio)
{
    if (!isPlainName(name) || size.isEmpty() || !(devicePixelRatio > 0.0))
        return {};
    if (!QFile::exists(resourcePath(name)))
        return {};
    QSvgRenderer renderer(resourcePath(name));
    if (!renderer.isValid())
        return {};

    const QSize pixels(int(std::ceil(size.width() * devicePixelRatio)),
                       int(std::ceil(size.height() * devicePixelRatio)));
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return {};
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(pixels)));
    }
    QPixmap pixmap = QPixmap::fromImage(std::move(image));
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

QSize artSize(const QString& name)
{
    if (!isPlainName(name) || !QFile::exists(resourcePath(name)))
        return {};
    QSvgRenderer renderer(resourcePath(name));
    return renderer.isValid() ? renderer.defaultSize() : QSize();
}

QStringList artNames()
{
    QStringList names;
    const QStringList files =
        QDir(QStringLiteral(":/art")).entryList({QStringLiteral("*.svg")}, QDir::Files, QDir::Name);
    for (const QString& file : files)
        names << file.chopped(4);
    // Sorted by the bare names: "creditos" comes before "creditos-picture", which a sort
    // of the file names (where "-" precedes ".") would reverse.
    names.sort();
    return names;
}

QIcon appIcon()
{
    QIcon icon;
    for (int side : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QPixmap pixmap = artPixmap(QStringLiteral("icon"), QSize(side, side));
        if (!pixmap.isNull())
            icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace quadrela
