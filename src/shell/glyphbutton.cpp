#include "glyphbutton.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace quadrela {

GlyphButton::GlyphButton(const QString& caption, const QPixmap& glyph, QWidget* parent)
    : QPushButton(caption, parent), m_glyph(glyph)
{
    QFont captionFont(QStringLiteral("Arial"), 9);
    captionFont.setBold(true);
    captionFont.setItalic(true);
    setFont(captionFont);
    setFocusPolicy(Qt::TabFocus);
}

void GlyphButton::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    option.icon = QIcon();
    painter.drawControl(QStyle::CE_PushButton, option);

    const int shift = isDown() ? 1 : 0;
    const QSize glyphSize = m_glyph.deviceIndependentSize().toSize();
    const int gx = m_margin + shift;
    const int gy = (height() - glyphSize.height()) / 2 + shift;
    // A disabled button's glyph is faded like its caption.
    painter.setOpacity(isEnabled() ? 1.0 : 0.4);
    painter.drawPixmap(gx, gy, m_glyph);
    painter.setOpacity(1.0);

    const QRect textRect(gx + glyphSize.width() + m_spacing, shift,
                         width() - gx - glyphSize.width() - m_spacing, height());
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                   QPalette::ButtonText));
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, text());
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(3, 3, -3, -3);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

} // namespace quadrela
