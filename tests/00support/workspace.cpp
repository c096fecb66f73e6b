#include "workspace.h"

#include "core/errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>

namespace quadrela::test {

Workspace::Workspace(QSize printerPage) : m_printerPage(printerPage)
{
    state.dataFolder = m_dir.path() + QStringLiteral("/dados/");
    state.workingFolder = state.dataFolder + QStringLiteral("project/");
    QDir().mkpath(state.workingFolder);
    QDir().mkpath(state.dataFolder + QStringLiteral("cliparts"));
    QDir().mkpath(outside());
    state.printerPageSize = [this] {
        if (m_printerBroken)
            throw Error(QStringLiteral("A impressora não respondeu."));
        return m_printerPage;
    };
}

QImage testPicture(QSize size, QColor fill)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(fill);
    QPainter p(&image);
    p.fillRect(QRect(QPoint(size.width() / 4, size.height() / 4), size / 2), Qt::black);
    return image;
}

QString writePicture(const QString& path, QSize size, QColor fill)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QString ext = QFileInfo(path).suffix().toLower();
    const char* format = ext == u"jpg" || ext == u"jpeg" ? "JPG" : ext == u"bmp" ? "BMP" : "PNG";
    return testPicture(size, fill).save(path, format) ? path : QString();
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace quadrela::test
