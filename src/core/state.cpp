#include "state.h"

namespace quadrela {

QSize pageSizeFor(int layout)
{
    switch (layout) {
    case FoldedCard:
        return {541, 382};
    case BusinessCard:
        return {380, 217};
    default:
        return {496, 702};
    }
}

} // namespace quadrela
