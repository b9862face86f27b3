#include "platform/media/PictureFit.h"

#include <cstdint>

namespace media {

QRect fitPicture(QSize area, QSize picture, int parN, int parD) {
    if (area.isEmpty() || picture.isEmpty()) {
        return {};
    }
    if (parN <= 0 || parD <= 0) {
        parN = parD = 1;
    }
    // The shape as a fraction shown wide / shown high, in 64-bit integers: the whole width
    // is used unless that makes the picture taller than the area.
    const std::int64_t shownWide = std::int64_t(picture.width()) * parN;
    const std::int64_t shownHigh = std::int64_t(picture.height()) * parD;
    int width = area.width();
    int height = static_cast<int>((width * shownHigh + shownWide / 2) / shownWide);
    if (height > area.height()) {
        height = area.height();
        width = static_cast<int>((height * shownWide + shownHigh / 2) / shownHigh);
    }
    width = qMax(width, 1);
    height = qMax(height, 1);
    return QRect((area.width() - width) / 2, (area.height() - height) / 2, width, height);
}

} // namespace media
