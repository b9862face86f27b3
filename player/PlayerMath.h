#pragma once
// The player's arithmetic: positions, sizes, volume steps and slide delays,
// kept apart from the window so that the edge values can be checked directly.
#include <QRect>
#include <QSize>

#include <cstdint>

#include <optional>
#include <vector>

// Graph times are in 100-nanosecond units.
constexpr int64_t kUnitsPerSecond = 10'000'000;

// Whole seconds of a graph time, truncated toward zero.
int SecondsOf(int64_t units);
// Where slider position p of a medium of `seconds` whole seconds lies, in graph
// units: p x units / seconds in 64-bit integers. 0 when seconds is not positive.
int64_t SeekTarget(int position, int64_t units, int seconds);
// The top of the position slider of a timed medium of `seconds` whole seconds: those
// seconds, but at least one, so that a medium shorter than a second has an end to move to.
int SliderTop(int seconds);
// Where a seek key moves a medium of duration seconds from elapsed: step seconds on, held
// to the medium's start and end.
int SteppedPosition(int elapsed, int step, int duration);
// Where PgDown (forward) or PgUp moves a medium at position among chapters starting at
// starts (graph times, in order): the next chapter's start; the start of the chapter
// playing, or of the one before when this one started less than 3 seconds ago. None when
// no chapter follows, or without chapters.
std::optional<int64_t> ChapterTarget(const std::vector<int64_t>& starts, int64_t position,
                                     bool forward);

// Height of a video w x h shown cx wide, truncated; none when the native
// width is unknown (not positive).
std::optional<long> FittedVideoHeight(int cx, long w, long h);
// The outer size a player frame opens at for a picture w x h: the picture's own size, or,
// when that does not fit the area the frames live in, the largest of its shape that does.
// An empty area (not laid out yet) leaves the picture's size. A picture smaller than
// kSmallestFrame either way gets room to show whole at its own size below the caption
// allowance, and a frame no smaller than kSmallestFrame.
QSize OpenedFrameSize(long w, long h, QSize area);
inline constexpr QSize kSmallestFrame(160, 128);
// Where a picture w x h smaller than kSmallestFrame either way is shown in a view of size
// view: at its own size, one picture pixel to each device pixel of ratio dpr, in the middle;
// scaled down, its shape kept, only when the view is smaller. None for a larger picture,
// which is fitted to the view's width, or for an unknown size.
std::optional<QRect> SmallPicturePlacement(QSize view, long w, long h, double dpr);
// Height of the video window below the caption allowance of a frame h high; never negative.
long VideoWindowHeight(long h);
// The outer size a player frame takes after Window/Cascade or Tile gave it the outer size
// cell: the picture (w x h) fitted to the frame's inner width, whole and with no empty band
// below it. When the fitted picture is taller than the cell allows, the frame narrows so
// that it fits. decorations: outer minus inner size of the frame.
QSize ArrangedFrameSize(QSize cell, QSize decorations, long w, long h);

// The level pane 2 shows for a stored volume (hundredths of a decibel, 0 to -10000):
// 100 at full volume, 0 at silence, one level a volume key's step.
int VolumeLevel(int32_t volume);
// The stored volume of a level, held to 0 to 100: the volume the keys reach it at.
int32_t VolumeAtLevel(int level);
// The stored volume after one of the volume keys (End, Home, Up, Down);
// other keys leave it unchanged.
int32_t VolumeAfterKey(unsigned key, int32_t volume);
// The slide delay after numeric-pad + or -; other keys leave it unchanged.
int SlideDelayAfterKey(unsigned key, int delayMs);
// The interval of the slide timer: the delay, but never so short that the
// program does nothing but change slides (a delay of 0 or below included).
int SlideInterval(int delayMs);
constexpr int kMinSlideInterval = 100;
