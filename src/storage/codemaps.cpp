#include "codemaps.h"

namespace quadrela {

const std::array<NamedColor, kColorCount> kTextColors = {{
    {0x000000, "Preto"},
    {0x000080, "Marrom"},
    {0x008000, "Verde"},
    {0x008080, "Oliva"},
    {0x800000, "Azul Marinho"},
    {0x800080, "Roxo"},
    {0x808000, "Verde Escuro"},
    {0x808080, "Cinza"},
    {0xC0C0C0, "Prata"},
    {0x0000FF, "Vermelho"},
    {0x00FF00, "Verde limão"},
    {0x00FFFF, "Amarelo"},
    {0xFF0000, "Azul"},
    {0xFF00FF, "Rosa"},
    {0xFFFF00, "Azul Claro"},
    {0xFFFFFF, "Branco"},
}};

int KindToCode(quint8 kind)
{
    switch (kind) {
    case PictureItem:
        return 2;
    case TextItem:
        return 3;
    default:
        return 1;
    }
}

std::optional<quint8> CodeToKind(int code)
{
    switch (code) {
    case 1:
        return BorderItem;
    case 2:
        return PictureItem;
    case 3:
        return TextItem;
    default:
        return std::nullopt;
    }
}

QString colorName(int index)
{
    if (index < 1 || index > kColorCount)
        return QString();
    return QString::fromUtf8(kTextColors[index - 1].name);
}

int ColorToIndex(ColorRef color)
{
    const ColorRef rgb = color & 0x00FFFFFFu;
    for (int i = 0; i < kColorCount; ++i) {
        if (kTextColors[i].value == rgb)
            return i + 1;
    }
    return 1;
}

ColorRef IndexToColor(int index)
{
    if (index < 1 || index > kColorCount)
        return kTextColors[0].value;
    return kTextColors[index - 1].value;
}

int AlignmentToCode(quint8 alignment)
{
    return alignment <= 2 ? alignment + 1 : 1;
}

quint8 CodeToAlignment(int code)
{
    return code >= 1 && code <= 3 ? quint8(code - 1) : quint8(0);
}

int StyleToCode(quint8 style)
{
    const bool bold = style & StyleBold;
    const bool italic = style & StyleItalic;
    return (bold ? 2 : 0) + (italic ? 1 : 0);
}

quint8 CodeToStyle(int code)
{
    switch (code) {
    case 1:
        return StyleItalic;
    case 2:
        return StyleBold;
    case 3:
        return StyleBold | StyleItalic;
    default:
        return 0;
    }
}

int LayoutToCode(int layout)
{
    switch (layout) {
    case FoldedCard:
        return 2;
    case BusinessCard:
        return 3;
    default:
        return 1;
    }
}

std::optional<int> CodeToLayout(int code)
{
    switch (code) {
    case 1:
        return FullPage;
    case 2:
        return FoldedCard;
    case 3:
        return BusinessCard;
    default:
        return std::nullopt;
    }
}

} // namespace quadrela
