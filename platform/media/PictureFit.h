// Where a picture goes in an area: as large as it fits with its shape kept, in the middle.
#pragma once

#include <QRect>
#include <QSize>

namespace media {

// The picture's shape on screen is its pixel size stretched by its pixels' aspect
// (parN / parD, 1 / 1 for square pixels). Empty when either size is empty.
QRect fitPicture(QSize area, QSize picture, int parN = 1, int parD = 1);

} // namespace media
