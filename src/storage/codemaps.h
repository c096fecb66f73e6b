// How the in-memory enumerations are stored in the record files. The file codes
// differ from the values in memory; every reader tolerates codes outside the tables.
#pragma once

#include "core/state.h"

#include <QString>
#include <array>
#include <optional>

namespace quadrela {

// Item kind: border 0 -> 1, picture 1 -> 2, text 2 -> 3.
int KindToCode(quint8 kind);
// Codes other than 1..3 have no kind: the record holding one cannot be read.
std::optional<quint8> CodeToKind(int code);

// The sixteen text colours, in the order of the text dialog's colour list; the
// colour index stored in the files is the 1-based place in this table.
struct NamedColor
{
    ColorRef value;   // 0x00BBGGRR
    const char* name; // Portuguese, UTF-8, as the colour list shows it
};
inline constexpr int kColorCount = 16;
extern const std::array<NamedColor, kColorCount> kTextColors;
QString colorName(int index); // empty for an index outside 1..16

// A colour that is not one of the sixteen is stored as index 1 (black). Only the
// low 24 bits take part in the comparison.
int ColorToIndex(ColorRef color);
// An index outside 1..16 reads as black.
ColorRef IndexToColor(int index);

// Alignment: left 0 -> 1, centre 1 -> 2, right 2 -> 3; anything else is stored as
// left, and codes outside 1..3 read as left.
int AlignmentToCode(quint8 alignment);
quint8 CodeToAlignment(int code);

// Style: the position in the style list "Normal", "Itálico", "Negrito",
// "Negrito Itálico". Bits other than bold and italic are ignored; codes outside
// 0..3 read as normal.
int StyleToCode(quint8 style);
quint8 CodeToStyle(int code);

// Page layout: full page 0 -> 1, folded card 1 -> 2, business card 2 -> 3.
int LayoutToCode(int layout);
// Codes outside 1..3 give no layout; the caller then leaves page and layout alone.
std::optional<int> CodeToLayout(int code);

} // namespace quadrela
