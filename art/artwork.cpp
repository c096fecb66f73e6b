#include "art/artwork.h"

#include <QDir>
#include <QIconEngine>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <cmath>
#include <map>

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

namespace {

// The window icon's pictures, each decoded the first time something asks for its size:
// a platform that shows no icon (or only a small one) never decodes the 256-pixel picture.
class LazyIconEngine : public QIconEngine
{
public:
    explicit LazyIconEngine(std::map<int, QString> files) : m_files(std::move(files)) {}

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        const int side = sideFor(size);
        if (side == 0)
            return {};
        QPixmap& cached = m_pixmaps[side];
        if (cached.isNull())
            cached = QPixmap::fromImage(readPicture(m_files.at(side)));
        QPixmap result = cached;
        if (result.width() > size.width() || result.height() > size.height())
            result = result.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        // One look for every mode and state: the icon only ever stands for the window.
        Q_UNUSED(mode);
        Q_UNUSED(state);
        return result;
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap picture = pixmap(rect.size() * ratio, mode, state);
        picture.setDevicePixelRatio(ratio);
        const QSize shown = picture.deviceIndependentSize().toSize();
        painter->drawPixmap(QRect(rect.topLeft() + QPoint((rect.width() - shown.width()) / 2,
                                                          (rect.height() - shown.height()) / 2),
                                  shown),
                            picture);
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override
    {
        const int side = sideFor(size);
        if (side == 0)
            return {};
        return QSize(side, side).boundedTo(size);
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> sizes;
        for (const auto& entry : m_files)
            sizes << QSize(entry.first, entry.first);
        return sizes;
    }

    QIconEngine* clone() const override { return new LazyIconEngine(*this); }
    QString key() const override { return QStringLiteral("quadrela-lazy"); }

private:
    // The smallest picture not smaller than asked for, else the largest.
    int sideFor(const QSize& size) const
    {
        if (m_files.empty() || size.isEmpty())
            return 0;
        const auto fits = m_files.lower_bound(std::max(size.width(), size.height()));
        return fits != m_files.end() ? fits->first : m_files.rbegin()->first;
    }

    std::map<int, QString> m_files;
    std::map<int, QPixmap> m_pixmaps;
};

} // namespace

QIcon appIcon()
{
    std::map<int, QString> files;
    const QStringList names = QDir(QStringLiteral(":/art/icon")).entryList(QDir::Files);
    for (const QString& name : names) {
        const int side = name.chopped(4).toInt();
        if (side > 0)
            files.emplace(side, QStringLiteral(":/art/icon/") + name);
    }
    return QIcon(new LazyIconEngine(std::move(files)));
}

} // namespace quadrela
