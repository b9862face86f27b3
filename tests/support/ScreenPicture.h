// Reading the test pattern back from a screenshot: which of its colours are there,
// and where its top row of bars lies, so that a test can tell a picture scaled to its
// window from a squashed, clipped or missing one.
#pragma once

#include <QImage>
#include <QRect>
#include <QRgb>

#include <vector>

namespace screentest {

// Bars of the pattern, told by which of red, green and blue are lit: the levels
// themselves depend on the sink's colour conversion. None of them is the view's
// dark background (0, 100, 100).
struct Bar {
    const char* name;
    bool red, green, blue;
};
extern const Bar kYellow, kCyan, kMagenta, kBlue;
extern const Bar kCountedBars[4];

bool isBar(QRgb pixel, const Bar& bar);

// How many pixels of each of kCountedBars the image holds.
std::vector<int> countBars(const QImage& image);
bool allBarsSeen(const std::vector<int>& counts, int atLeast = 200);

// The pattern's top bars as found in an image: from the left edge of the yellow bar to
// the right edge of the blue bar, from the top of the yellow bar to its bottom.
struct PatternPlace {
    bool found = false;
    int left = 0;   // yellow bar's left edge
    int right = 0;  // blue bar's right edge (inclusive)
    int top = 0;    // yellow bar's top
    int bottom = 0; // yellow bar's bottom (inclusive)

    // The whole picture these bars belong to: six of its seven bars span the width,
    // and the top bars fill two thirds of its height.
    double pictureWidth() const { return (right - left + 1) * 7.0 / 6.0; }
    double pictureHeight() const { return (bottom - top + 1) * 3.0 / 2.0; }
    double pictureLeft() const { return left - pictureWidth() / 7.0; }
};
PatternPlace findPattern(const QImage& image);
// As findPattern, passing over yellow things that are not the pattern's bar (a toolbar's
// icons, say): the pattern found has cyan and magenta bars between its yellow and blue ones.
PatternPlace findPatternAmongOthers(const QImage& image);

} // namespace screentest
