// A push button with a glyph at a fixed margin from its left edge and the caption at a
// fixed spacing after the glyph, as the main window's buttons are drawn.
#pragma once

#include <QPushButton>

namespace quadrela {

class GlyphButton : public QPushButton
{
    Q_OBJECT
public:
    GlyphButton(const QString& caption, const QPixmap& glyph, QWidget* parent);

    int glyphMargin() const { return m_margin; }
    int glyphSpacing() const { return m_spacing; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_glyph;
    int m_margin = 5;
    int m_spacing = 8;
};

} // namespace quadrela
