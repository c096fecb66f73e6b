#include "application.h"

#include "codecs/png.h"
#include "core/dialogs.h"
#include "core/errors.h"

#include <QFile>
#include <QFont>
#include <QGroupBox>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOption>
#include <qdrawutil.h>

#include <algorithm>

namespace quadrela {

namespace {

// Fusion draws a group box's frame by stretching a small nine-part picture over the box.
// It reads that picture anew for every frame, through Qt's image reader, which loads every
// image plugin there is to ask it about PNG (four libraries at the first dialog); and it
// stretches the picture's centre as a picture, which the raster engine hands to its thread
// pool for every box taller than about 96 rows. The stretched parts of the picture are
// flat, so here it is read once with the program's PNG codec, its corners and edges are
// drawn where Fusion puts them, and its centre is filled with its one colour, in bands
// short enough to stay on the painting thread. The pixels are Fusion's own.
constexpr int kFusionTopMargin = 3; // Fusion's space above the frame
constexpr int kTileMargin = 6;      // the picture's unstretched border
constexpr int kBandRows = 16;       // with the clip, well below the 96 spans Qt hands out

struct FrameTile
{
    QImage picture;  // premultiplied
    QRgb centre = 0; // premultiplied
    bool usable = false;
};

// The picture, when it is as described: flat between its borders, and with a centre colour
// that QColor carries without loss.
FrameTile readFusionFrameTile()
{
    FrameTile tile;
    QFile file(QStringLiteral(":/qt-project.org/styles/commonstyle/images/fusion_groupbox.png"));
    if (!file.open(QIODevice::ReadOnly))
        return tile;
    try {
        TPNGObject png;
        png.LoadFromData(file.readAll());
        tile.picture = png.toImage();
    } catch (const Error&) {
        return tile;
    }
    const QImage& p = tile.picture;
    const int m = kTileMargin;
    if (p.width() <= 2 * m || p.height() <= 2 * m)
        return tile;
    // Where a stretched coordinate lands in the picture's first stretched row or column.
    const auto flat = [m](int v, int size) { return v >= m && v < size - m ? m : v; };
    for (int y = 0; y < p.height(); ++y)
        for (int x = 0; x < p.width(); ++x)
            if (p.pixel(x, y) != p.pixel(flat(x, p.width()), flat(y, p.height())))
                return tile;
    tile.centre = p.pixel(m, m);
    tile.usable = qPremultiply(qUnpremultiply(tile.centre)) == tile.centre;
    return tile;
}

class GroupBoxFrames : public QProxyStyle
{
public:
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override
    {
        if (element != PE_FrameGroupBox || !option || !painter ||
            !drawFusionFrame(*option, *painter, widget))
            QProxyStyle::drawPrimitive(element, option, painter, widget);
    }

private:
    bool drawFusionFrame(const QStyleOption& option, QPainter& painter, const QWidget* widget) const
    {
        if (baseStyle()->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) != 0)
            return false;
        static const FrameTile tile = readFusionFrameTile();
        if (!tile.usable)
            return false;
        // Below the title, as Fusion places it.
        const auto* box = qobject_cast<const QGroupBox*>(widget);
        const int top = box && !box->isCheckable() && box->title().isEmpty()
                            ? kFusionTopMargin
                            : std::max(baseStyle()->pixelMetric(PM_ExclusiveIndicatorHeight),
                                       option.fontMetrics.height()) +
                                  kFusionTopMargin;
        const QRect frame = option.rect.adjusted(0, top, 0, 0);
        const int m = kTileMargin;
        const QImage& p = tile.picture;
        if (frame.width() < 2 * m || frame.height() < 2 * m) {
            // Too small for the borders: Fusion's own call, which is short enough here.
            qDrawBorderPixmap(&painter, frame, QMargins(m, m, m, m), QPixmap::fromImage(p));
            return true;
        }

        const int pw = p.width();
        const int ph = p.height();
        const int left = frame.left();
        const int right = frame.left() + frame.width() - m;
        const int inner = frame.width() - 2 * m;
        painter.save();
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        // The top and bottom borders: corners, and one column of the edge stretched.
        const auto border = [&](int y, int sourceY) {
            painter.drawImage(QRect(left, y, m, m), p, QRect(0, sourceY, m, m));
            painter.drawImage(QRect(left + m, y, inner, m), p, QRect(m, sourceY, 1, m));
            painter.drawImage(QRect(right, y, m, m), p, QRect(pw - m, sourceY, m, m));
        };
        border(frame.top(), 0);
        border(frame.top() + frame.height() - m, ph - m);
        // The sides and the centre, one row of the picture stretched.
        const QColor centre = QColor::fromRgba(qUnpremultiply(tile.centre));
        const int bottom = frame.top() + frame.height() - m;
        for (int y = frame.top() + m; y < bottom; y += kBandRows) {
            const int rows = std::min(kBandRows, bottom - y);
            painter.drawImage(QRect(left, y, m, rows), p, QRect(0, m, m, 1));
            painter.fillRect(QRect(left + m, y, inner, rows), centre);
            painter.drawImage(QRect(right, y, m, rows), p, QRect(pw - m, m, m, 1));
        }
        painter.restore();
        return true;
    }
};

} // namespace

Application::Application(int& argc, char** argv) : QApplication(argc, argv)
{
    // Only the name: once a display name is set, the X11 platform appends it to every
    // window title that lacks it ("Texto — Quadrela"), and each caption must read as given.
    setApplicationName(kAppTitle);
    // Settings (the printer offsets) go to ~/.config/Quadrela/Quadrela.conf.
    setOrganizationName(kAppTitle);
    setStyle(new GroupBoxFrames);
    speakBrazilianPortuguese();
    // The windows are laid out for a narrow 8-point face; without it fontconfig falls back
    // to a wider one and captions are cut. Liberation Sans has Arial's metrics.
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
}

void Application::speakBrazilianPortuguese()
{
    // Whatever the machine's language: dates, numbers and Qt's own dialogs too.
    const QLocale portuguese(QLocale::Portuguese, QLocale::Brazil);
    QLocale::setDefault(portuguese);
    if (m_qtTexts.load(portuguese, QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(&m_qtTexts);
}

bool Application::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const Error& e) {
        reportError(e.message());
    } catch (const std::bad_alloc&) {
        reportError(QStringLiteral("Memória insuficiente para concluir a operação."));
    } catch (const std::exception& e) {
        reportError(QString::fromLocal8Bit(e.what()));
    }
    return false;
}

void Application::reportError(const QString& message)
{
    if (m_dialogs) {
        m_dialogs->message(activeWindow(), message, Buttons::Ok);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, kAppTitle, message, QMessageBox::Ok, activeWindow());
    box.exec();
}

} // namespace quadrela
