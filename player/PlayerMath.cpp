#include "player/PlayerMath.h"

#include "platform/input/VirtualKeys.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
constexpr int32_t kSilence = -10000;
constexpr int32_t kVolumeStep = 100;
constexpr int kSlideStep = 500;
constexpr long kCaptionAllowance = 38;
} // namespace

int SecondsOf(int64_t units) {
    return static_cast<int>(units / kUnitsPerSecond);
}

int SliderTop(int seconds) {
    return std::max(seconds, 1);
}

int64_t SeekTarget(int position, int64_t units, int seconds) {
    if (seconds <= 0)
        return 0;
    return static_cast<int64_t>(position) * units / seconds;
}

std::optional<long> FittedVideoHeight(int cx, long w, long h) {
    if (w <= 0)
        return std::nullopt;
    const long long product = static_cast<long long>(cx) * h;
    return static_cast<long>(static_cast<double>(product) / static_cast<double>(w));
}

long VideoWindowHeight(long h) {
    return std::max(0L, h - kCaptionAllowance);
}

int VolumeLevel(int32_t volume) {
    return 100 - (-volume / kVolumeStep);
}

int32_t VolumeAtLevel(int level) {
    return -(100 - std::clamp(level, 0, 100)) * kVolumeStep;
}

int32_t VolumeAfterKey(unsigned key, int32_t volume) {
    switch (key) {
    case vk::VK_END:
        return kSilence;
    case vk::VK_HOME:
        return 0;
    case vk::VK_UP:
        return volume <= -kVolumeStep ? volume + kVolumeStep : volume;
    case vk::VK_DOWN:
        return volume >= kSilence + kVolumeStep ? volume - kVolumeStep : volume;
    default:
        return volume;
    }
}

int SlideDelayAfterKey(unsigned key, int delayMs) {
    if (key == vk::VK_ADD && delayMs <= std::numeric_limits<int>::max() - kSlideStep)
        return delayMs + kSlideStep;
    if (key == vk::VK_SUBTRACT && delayMs > kSlideStep)
        return delayMs - kSlideStep;
    return delayMs;
}

int SlideInterval(int delayMs) {
    return std::max(delayMs, kMinSlideInterval);
}

QSize OpenedFrameSize(long w, long h, QSize area) {
    // The caption allowance alone would leave a small picture a strip or nothing.
    if (w > 0 && h > 0 && (w < kSmallestFrame.width() || h < kSmallestFrame.height())) {
        const QSize room(
            static_cast<int>(std::max<long>(w, kSmallestFrame.width())),
            static_cast<int>(std::max<long>(h + kCaptionAllowance, kSmallestFrame.height())));
        return area.isEmpty() ? room : room.boundedTo(area);
    }
    const QSize own(static_cast<int>(w), static_cast<int>(h));
    if (w <= 0 || h <= 0 || area.isEmpty() || (w <= area.width() && h <= area.height()))
        return own;
    // The side that overflows most decides the scale; products in 64 bits.
    if (static_cast<long long>(w) * area.height() >= static_cast<long long>(h) * area.width())
        return {area.width(), std::max(1, static_cast<int>(h * area.width() / w))};
    return {std::max(1, static_cast<int>(w * area.height() / h)), area.height()};
}

std::optional<QRect> SmallPicturePlacement(QSize view, long w, long h, double dpr) {
    if (w <= 0 || h <= 0 || (w >= kSmallestFrame.width() && h >= kSmallestFrame.height()))
        return std::nullopt;
    const double ratio = dpr > 0 ? dpr : 1.0;
    QSize own(std::max(1, static_cast<int>(std::lround(static_cast<double>(w) / ratio))),
              std::max(1, static_cast<int>(std::lround(static_cast<double>(h) / ratio))));
    if (own.width() > view.width() || own.height() > view.height())
        own.scale(view.expandedTo(QSize(1, 1)), Qt::KeepAspectRatio);
    return QRect((view.width() - own.width()) / 2, (view.height() - own.height()) / 2, own.width(),
                 own.height());
}

QSize ArrangedFrameSize(QSize cell, QSize decorations, long w, long h) {
    if (w <= 0 || h <= 0)
        return cell;
    int inner = std::max(0, cell.width() - decorations.width());
    const int room = cell.height() - decorations.height();
    if (room > 0 && static_cast<long long>(inner) * h > static_cast<long long>(room) * w)
        inner = static_cast<int>(static_cast<long long>(room) * w / h);
    const long fitted = FittedVideoHeight(inner, w, h).value_or(0);
    return {inner + decorations.width(), static_cast<int>(fitted) + decorations.height()};
}

int SteppedPosition(int elapsed, int step, int duration) {
    const int64_t target = static_cast<int64_t>(elapsed) + step;
    return static_cast<int>(std::clamp<int64_t>(target, 0, std::max(0, duration)));
}

std::optional<int64_t> ChapterTarget(const std::vector<int64_t>& starts, int64_t position,
                                     bool forward) {
    if (starts.empty())
        return std::nullopt;
    // A seek lands a little before or after the start it asked for.
    constexpr int64_t kLanding = kUnitsPerSecond / 2;
    constexpr int64_t kRestart = 3 * kUnitsPerSecond;
    if (forward) {
        for (const int64_t start : starts)
            if (start > position + kLanding)
                return start;
        return std::nullopt;
    }
    for (auto it = starts.rbegin(); it != starts.rend(); ++it)
        if (*it <= position - kRestart)
            return *it;
    return int64_t{0};
}
