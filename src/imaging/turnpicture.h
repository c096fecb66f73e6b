// Turning and mirroring pictures: quarter turns and flips of a picture file's contents,
// made for a new file that replaces the old one on the page.
#pragma once

#include "codecs/picture.h"

#include <QByteArray>
#include <QString>

namespace quadrela {

enum class PictureTurn
{
    Right,
    Left,
    MirrorHorizontal,
    MirrorVertical
};

// Whether the turn swaps the picture's width and height.
constexpr bool swapsSides(PictureTurn turn)
{
    return turn == PictureTurn::Right || turn == PictureTurn::Left;
}

struct TurnedPicture
{
    QByteArray bytes;
    QString extension; // "jpg" or "png", without the dot
};

// The picture turned, as the contents of a new file. A JPEG stays a JPEG: its coded blocks
// are moved as they stand when its size allows that without cutting an edge, otherwise it is
// decoded and encoded again at the highest quality. Every other picture becomes a PNG that
// keeps its transparency (and a PNG its palette and transparent colour). Throws
// quadrela::Error for a picture the codecs cannot read.
TurnedPicture turnPicture(const QByteArray& bytes, PictureFormat format, PictureTurn turn);

} // namespace quadrela
