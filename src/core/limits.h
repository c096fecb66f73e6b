// Bounds that keep damaged or hostile input from exhausting memory or disk.
#pragma once

#include <QtGlobal>

namespace quadrela {

// A picture may be at most this many pixels a side and this many pixels in all. Photos of
// 50 megapixels pass; the pixel bound keeps printing one (decoded at four bytes a pixel,
// with the next one read ahead) well within a gigabyte and a half.
inline constexpr int kMaxPictureSide = 30000;
inline constexpr qint64 kMaxPicturePixels = 64LL * 1000 * 1000;

// Largest width or height a widget may take (the toolkit's own limit).
inline constexpr int kMaxWidgetSize = 16777215;

// Unpacking an archive stops with an error beyond these.
inline constexpr qint64 kMaxArchiveEntries = 100000;
inline constexpr qint64 kMaxUnpackedBytes = 4LL * 1024 * 1024 * 1024;

bool pictureSizeAllowed(qint64 width, qint64 height);

// The memory the system can still give this process without swapping, in bytes; -1 when
// it does not say.
qint64 availableMemoryBytes();

} // namespace quadrela
