#include "ScreenPicture.h"

#include <algorithm>

namespace screentest {

const Bar kYellow{"yellow", true, true, false};
const Bar kCyan{"cyan", false, true, true};
const Bar kMagenta{"magenta", true, false, true};
const Bar kBlue{"blue", false, false, true};
const Bar kCountedBars[4] = {kYellow, kCyan, kMagenta, kBlue};

namespace {

bool lit(int level, bool on) {
    return on ? level >= 150 : level <= 80;
}

// The first run of at least minRun pixels of the bar's colour in row y: [first, last].
bool runInRow(const QImage& image, int y, const Bar& bar, int minRun, int& first, int& last) {
    int start = -1;
    for (int x = 0; x <= image.width(); ++x) {
        const bool on = x < image.width() && isBar(image.pixel(x, y), bar);
        if (on && start < 0)
            start = x;
        if (!on && start >= 0) {
            if (x - start >= minRun) {
                first = start;
                last = x - 1;
                return true;
            }
            start = -1;
        }
    }
    return false;
}

// The last pixel of the bar's colour in row y, or -1.
int lastInRow(const QImage& image, int y, const Bar& bar) {
    for (int x = image.width() - 1; x >= 0; --x)
        if (isBar(image.pixel(x, y), bar))
            return x;
    return -1;
}

// The pattern whose yellow bar is the first met from row y down; y is left below that
// yellow thing, whether it was the pattern's or not.
PatternPlace patternFrom(const QImage& image, int& y) {
    int first = 0;
    int last = 0;
    while (y < image.height() && !runInRow(image, y, kYellow, 4, first, last))
        ++y;
    if (y == image.height())
        return {};
    const int top = y;
    const int column = (first + last) / 2;
    int bottom = y;
    while (bottom + 1 < image.height() && isBar(image.pixel(column, bottom + 1), kYellow))
        ++bottom;
    y = bottom + 1;
    const int middle = (top + bottom) / 2;
    if (!runInRow(image, middle, kYellow, 4, first, last))
        return {};
    const int right = lastInRow(image, middle, kBlue);
    if (right <= last)
        return {};
    return {true, first, right, top, bottom};
}

// Whether cyan and magenta bars lie between the yellow bar found and the blue one, in the
// row through the yellow bar's middle.
bool barsBetween(const QImage& image, const PatternPlace& place) {
    const QImage row = image.copy(QRect(QPoint(place.left, (place.top + place.bottom) / 2),
                                        QPoint(place.right, (place.top + place.bottom) / 2)));
    int first = 0;
    int last = 0;
    return runInRow(row, 0, kCyan, 4, first, last) && runInRow(row, 0, kMagenta, 4, first, last);
}

} // namespace

bool isBar(QRgb pixel, const Bar& bar) {
    return lit(qRed(pixel), bar.red) && lit(qGreen(pixel), bar.green) &&
           lit(qBlue(pixel), bar.blue);
}

std::vector<int> countBars(const QImage& image) {
    std::vector<int> counts(std::size(kCountedBars), 0);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            for (size_t i = 0; i < std::size(kCountedBars); ++i)
                counts[i] += isBar(image.pixel(x, y), kCountedBars[i]) ? 1 : 0;
    return counts;
}

bool allBarsSeen(const std::vector<int>& counts, int atLeast) {
    return std::all_of(counts.begin(), counts.end(), [atLeast](int n) { return n >= atLeast; });
}

PatternPlace findPattern(const QImage& image) {
    int y = 0;
    return patternFrom(image, y);
}

PatternPlace findPatternAmongOthers(const QImage& image) {
    int y = 0;
    while (y < image.height())
        if (const PatternPlace place = patternFrom(image, y);
            place.found && barsBetween(image, place))
            return place;
    return {};
}

} // namespace screentest
