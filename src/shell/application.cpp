#include "application.h"

#include "core/dialogs.h"
#include "core/errors.h"

#include <QMessageBox>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOption>

namespace quadrela {

namespace {

// The raster engine hands every fill of more than about 96 spans to the global thread pool.
// The Fusion style draws a group box's frame by stretching a small picture over the whole
// box, so the first dialog with a group box started threads (and their hand-offs) for a few
// thousand pixels: a good part of the time the program takes to come up. Drawn in strips
// of a few rows, with the same pixels, the frame stays on the painting thread.
class GroupBoxInStrips : public QProxyStyle
{
public:
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override
    {
        constexpr int kStripRows = 16;
        if (element != PE_FrameGroupBox || !option || !painter ||
            option->rect.height() <= kStripRows) {
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            return;
        }
        const QRect frame = option->rect;
        for (int top = frame.top(); top <= frame.bottom(); top += kStripRows) {
            painter->save();
            painter->setClipRect(QRect(frame.left(), top, frame.width(), kStripRows),
                                 Qt::IntersectClip);
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            painter->restore();
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
    setStyle(new GroupBoxInStrips);
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
