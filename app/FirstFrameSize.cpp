#include "app/FirstFrameSize.h"

#include <algorithm>

namespace {
constexpr QSize kWanted(1024, 720);
// The frame the window manager draws round the window: a caption above, borders.
constexpr QSize kDecorations(16, 48);
// Never smaller than this, whatever the screen claims.
constexpr QSize kSmallest(320, 240);
} // namespace

QSize FirstFrameSize(const QRect& available) {
    if (available.isEmpty())
        return kWanted;
    const QSize room = available.size() - kDecorations;
    return kWanted.boundedTo(room).expandedTo(kSmallest);
}
