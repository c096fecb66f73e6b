#include "application.h"

#include "core/dialogs.h"
#include "core/errors.h"

#include <QGroupBox>
#include <QMessageBox>
#include <QPainter>
#include <QPixmapCache>
#include <QProxyStyle>
#include <QStyleOption>

#include <algorithm>

namespace quadrela {

namespace {

// The Fusion style draws a group box's frame by stretching a small picture over the whole
// box with smooth scaling, and on a widget (whose painter clips to the region being
// painted) the raster engine hands every such fill taller than about 96 rows to the global
// thread pool: the first dialog with a group box started threads (and their hand-offs) for
// a few thousand pixels, a good part of the time the program takes to come up. Here each
// frame size is drawn once into a picture that nothing clips, with plain scaling (the
// stretched parts are flat, so no pixel moves by more than 2/255), and copied onto the
// widget a few rows at a time, all on the painting thread.
class GroupBoxFrames : public QProxyStyle
{
public:
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override
    {
        if (element != PE_FrameGroupBox || !option || !painter || option->rect.isEmpty() ||
            !painter->device()) {
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            return;
        }
        const QRect frame = option->rect;
        const qreal dpr = painter->device()->devicePixelRatioF();
        const auto* box = qobject_cast<const QGroupBox*>(widget);
        // Everything the frame's look depends on.
        const QString key = QStringLiteral("quadrela-groupbox-%1x%2@%3-%4-%5-%6")
                                .arg(frame.width())
                                .arg(frame.height())
                                .arg(dpr)
                                .arg(option->fontMetrics.height())
                                .arg(int(painter->renderHints()))
                                .arg(box && !box->isCheckable() && box->title().isEmpty());
        QPixmap drawn;
        if (!QPixmapCache::find(key, &drawn)) {
            QImage image(frame.size() * dpr, QImage::Format_ARGB32_Premultiplied);
            image.setDevicePixelRatio(dpr);
            image.fill(Qt::transparent);
            QPainter onImage(&image);
            onImage.setRenderHints(painter->renderHints());
            onImage.setRenderHint(QPainter::SmoothPixmapTransform, false);
            QStyleOption atOrigin(*option);
            atOrigin.rect.moveTo(0, 0);
            QProxyStyle::drawPrimitive(element, &atOrigin, &onImage, widget);
            onImage.end();
            drawn = QPixmap::fromImage(image);
            QPixmapCache::insert(key, drawn);
        }
        constexpr int kStripRows = 16;
        for (int top = 0; top < frame.height(); top += kStripRows) {
            const int rows = std::min(kStripRows, frame.height() - top);
            painter->drawPixmap(QRectF(frame.left(), frame.top() + top, frame.width(), rows), drawn,
                                QRectF(0, top * dpr, frame.width() * dpr, rows * dpr));
        }
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
