// The player's plain logic, without a window: status texts, the counting
// tick's decision, the arithmetic of seeking, fitting, volume and slide keys,
// and the failure log's line.
#include "platform/input/VirtualKeys.h"
#include "player/FailureLog.h"
#include "player/PlayerMath.h"
#include "player/PlayerTexts.h"
#include "player/QueueAdvance.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(PlayerTexts, TimeInSecondsBelowTenMinutesThenInMinutes) {
    EXPECT_EQ(TimeText(12, 599), QStringLiteral(" Time:  12 / 599 sec"));
    EXPECT_EQ(TimeText(1, 600), QStringLiteral(" Time:  0 / 10 min"));
    EXPECT_EQ(TimeText(0, 0), QStringLiteral(" Time:  0 / 0 sec"));
    EXPECT_EQ(TimeText(125, 3599), QStringLiteral(" Time:  2 / 59 min"));
}

TEST(PlayerTexts, VolumeLevelAndSlideDelay) {
    EXPECT_EQ(VolumeText(0), QStringLiteral(" 100"));
    EXPECT_EQ(VolumeText(-10000), QStringLiteral(" 0"));
    EXPECT_EQ(VolumeText(-100), QStringLiteral(" 99"));
    EXPECT_EQ(VolumeText(-150), QStringLiteral(" 99")); // the division truncates
    EXPECT_EQ(SlideDelayStatusText(1500), QStringLiteral("Slide's delay 1.50 sec"));
    EXPECT_EQ(SlideDelayStatusText(200), QStringLiteral("Slide's delay 0.20 sec"));
    EXPECT_EQ(SlideDelayStatusText(-1000), QStringLiteral("Slide's delay -1.00 sec"));
    EXPECT_EQ(UnsupportedFormatText(), QStringLiteral("Unsupported file format."));
    EXPECT_EQ(FileNotFoundText(QStringLiteral("/a/b %1.avi")),
              QStringLiteral("File not found: \"/a/b %1.avi\""));
}

TickInput playing(int elapsed, int duration, int index = 0, int size = 0) {
    TickInput in;
    in.playing = true;
    in.hasFocus = true;
    in.elapsed = elapsed;
    in.duration = duration;
    in.queueIndex = index;
    in.queueSize = size;
    return in;
}

TEST(QueueAdvance, CountsAndEndsAfterTheTruncatedDuration) {
    TickResult r = NextTick(playing(4, 5));
    EXPECT_TRUE(r.counted);
    EXPECT_EQ(r.elapsed, 5);
    EXPECT_EQ(r.action, TickAction::ShowTime);
    r = NextTick(playing(5, 5));
    EXPECT_EQ(r.elapsed, 6);
    EXPECT_EQ(r.action, TickAction::EndQueue); // no queue: one file is a queue of one
    // A still image ends on every tick.
    EXPECT_EQ(NextTick(playing(0, 0, 0, 3)).action, TickAction::Advance);
}

// An animation that loops and has nothing after it never ends by itself; a slide that loops
// shows nothing of its time.
TEST(QueueAdvance, ALoopingMediumAloneNeverEnds) {
    TickInput in = playing(9, 2);
    in.position = 1;
    in.loops = true;
    EXPECT_EQ(NextTick(in).action, TickAction::ShowTime);
    in.ended = true;
    EXPECT_EQ(NextTick(in).action, TickAction::ShowTime);
    EXPECT_FALSE(RanPastItsEnd(in));
    EXPECT_EQ(NextTick(playing(3, 0)).action, TickAction::EndQueue);
    in = playing(3, 0);
    in.loops = true;
    EXPECT_EQ(NextTick(in).action, TickAction::Nothing);
}

// A medium that says where it is counts its own seconds: a loaded machine that plays
// slower than the clock shows the whole medium, and its end of stream ends it.
TEST(QueueAdvance, AMediumThatSaysWhereItIsCountsItsOwnSeconds) {
    TickInput in = playing(5, 6, 0, 3);
    in.position = 2; // six ticks have gone by, the medium is at 2 s
    TickResult r = NextTick(in);
    EXPECT_TRUE(r.counted);
    EXPECT_EQ(r.elapsed, 2);
    EXPECT_EQ(r.action, TickAction::ShowTime);
    in.elapsed = 9; // long past its length by the clock: still going
    in.position = 6;
    EXPECT_EQ(NextTick(in).action, TickAction::ShowTime);
    in.ended = true; // its own end
    r = NextTick(in);
    EXPECT_EQ(r.elapsed, 6);
    EXPECT_EQ(r.action, TickAction::Advance);
    in.queueIndex = 2;
    EXPECT_EQ(NextTick(in).action, TickAction::EndQueue);
    // Played past the length it gave (an estimate): ends as by the clock.
    in = playing(6, 6);
    in.position = 7;
    EXPECT_EQ(NextTick(in).action, TickAction::EndQueue);
    // A still image keeps its slide: a position says nothing there.
    in = playing(0, 0, 0, 3);
    in.position = 0;
    EXPECT_EQ(NextTick(in).action, TickAction::Advance);
    // Paused, nothing counts whatever the medium says.
    in = playing(3, 6);
    in.position = 5;
    in.paused = true;
    EXPECT_FALSE(NextTick(in).counted);
}

TEST(QueueAdvance, AdvancesUntilTheLastEntry) {
    EXPECT_EQ(NextTick(playing(1, 0, 0, 3)).action, TickAction::Advance);
    EXPECT_EQ(NextTick(playing(1, 0, 1, 3)).action, TickAction::Advance);
    EXPECT_EQ(NextTick(playing(1, 0, 2, 3)).action, TickAction::EndQueue);
    EXPECT_EQ(NextTick(playing(1, 0, 7, 3)).action, TickAction::EndQueue);
}

TEST(QueueAdvance, GatesOfPauseStopAndFocus) {
    TickInput in = playing(3, 1, 0, 3);
    in.paused = true;
    TickResult r = NextTick(in);
    EXPECT_FALSE(r.counted);
    EXPECT_EQ(r.elapsed, 3);
    EXPECT_EQ(r.action, TickAction::Nothing);

    in = playing(3, 1, 0, 3);
    in.playing = false; // stopped: counts, nothing more
    r = NextTick(in);
    EXPECT_TRUE(r.counted);
    EXPECT_EQ(r.elapsed, 4);
    EXPECT_EQ(r.action, TickAction::Nothing);

    in = playing(3, 1, 0, 3);
    in.hasFocus = false; // a single file without the focus waits
    EXPECT_EQ(NextTick(in).action, TickAction::Nothing);
    EXPECT_EQ(NextTick(in).elapsed, 4);
    in.queuePlaying = true; // a queue from the play list goes on regardless
    EXPECT_EQ(NextTick(in).action, TickAction::Advance);
}

// What the player tells others (the queue can move on, the medium has ended) is what its
// tick does at the entry's end.
TEST(QueueAdvance, WhatThePlayerAnnouncesIsWhatItsTickDoes) {
    for (bool queue : {false, true})
        for (bool focus : {false, true})
            for (bool play : {false, true})
                for (int index : {0, 1, 2}) {
                    TickInput in = playing(3, 3, index, 3);
                    in.position = 3;
                    in.ended = true;
                    in.queuePlaying = queue;
                    in.hasFocus = focus;
                    in.playing = play;
                    const TickAction atEnd = NextTick(in).action;
                    EXPECT_EQ(MovesQueueOn(in), atEnd == TickAction::Advance)
                        << queue << focus << play << index;
                    EXPECT_EQ(RanPastItsEnd(in), play && atEnd != TickAction::Advance)
                        << queue << focus << play << index;
                }
    TickInput still = playing(5, 0, 0, 1); // a still image has no end of its own
    still.hasFocus = false;
    EXPECT_FALSE(RanPastItsEnd(still));
    TickInput counted = playing(11, 10); // counted past its length, without the focus
    counted.hasFocus = false;
    EXPECT_TRUE(RanPastItsEnd(counted));
    EXPECT_EQ(NextTick(counted).action, TickAction::Nothing);
}

TEST(PlayerMath, SeekTargetAndElapsedSeconds) {
    EXPECT_EQ(SeekTarget(3, 50'000'000, 5), 30'000'000);
    EXPECT_EQ(SeekTarget(2, 50'400'000, 5), 20'160'000);
    EXPECT_EQ(SeekTarget(7, 123'456'789, 12), 72'016'460); // multiply, then divide
    // Long media: the product passes 32 bits.
    EXPECT_EQ(SeekTarget(40'000, 400'000'000'000, 40'000), 400'000'000'000);
    EXPECT_EQ(SeekTarget(3, 50'000'000, 0), 0);
    // A sound of 0.3 s: its slider's end is the sound's end.
    EXPECT_EQ(SliderTop(0), 1);
    EXPECT_EQ(SliderTop(40'000), 40'000);
    EXPECT_EQ(SeekTarget(1, 3'000'000, SliderTop(SecondsOf(3'000'000))), 3'000'000);
    EXPECT_EQ(SecondsOf(59'999'999), 5);
    EXPECT_EQ(SecondsOf(400'000'000'000), 40'000);
    // Seek keys: held to the start and the end.
    EXPECT_EQ(SteppedPosition(10, 5, 100), 15);
    EXPECT_EQ(SteppedPosition(3, -5, 100), 0);
    EXPECT_EQ(SteppedPosition(90, 30, 100), 100);
    EXPECT_EQ(SteppedPosition(2'147'483'000, 30, 2'147'483'647), 2'147'483'030);
    EXPECT_EQ(SteppedPosition(0, 30, 0), 0);
}

TEST(PlayerMath, VideoFittingNeverDividesByZero) {
    EXPECT_EQ(FittedVideoHeight(640, 320, 240), 480);
    EXPECT_EQ(FittedVideoHeight(301, 320, 240), 225); // 225.75 truncated
    EXPECT_EQ(FittedVideoHeight(640, 0, 240), std::nullopt);
    EXPECT_EQ(FittedVideoHeight(640, -5, 240), std::nullopt);
    EXPECT_EQ(VideoWindowHeight(240), 202);
    EXPECT_EQ(VideoWindowHeight(20), 0);
}

// A player window opens at its picture's size, but never larger than the windows' area.
TEST(PlayerMath, OpenedFrameFitsTheArea) {
    const QSize area(1016, 620);
    EXPECT_EQ(OpenedFrameSize(320, 240, area), QSize(320, 240));    // smaller: exactly its own
    EXPECT_EQ(OpenedFrameSize(1016, 620, area), QSize(1016, 620));  // just fits
    EXPECT_EQ(OpenedFrameSize(1920, 1080, area), QSize(1016, 571)); // too wide
    EXPECT_EQ(OpenedFrameSize(1024, 768, area), QSize(826, 620));   // too high
    EXPECT_EQ(OpenedFrameSize(360, 2000, area), QSize(111, 620));
    EXPECT_EQ(OpenedFrameSize(1920, 1080, QSize()), QSize(1920, 1080)); // area not laid out
    EXPECT_EQ(OpenedFrameSize(0, 240, area), QSize(0, 240));

    // A small picture gets room to show whole at its own size below the caption allowance.
    EXPECT_EQ(OpenedFrameSize(64, 43, area), kSmallestFrame);
    EXPECT_GE(VideoWindowHeight(OpenedFrameSize(64, 43, area).height()), 43);
    EXPECT_EQ(OpenedFrameSize(300, 100, area), QSize(300, 138));
    EXPECT_EQ(OpenedFrameSize(100, 300, area), QSize(160, 338));
    EXPECT_EQ(OpenedFrameSize(100000, 1, area), QSize(1016, kSmallestFrame.height()));
    EXPECT_EQ(OpenedFrameSize(64, 43, QSize(100, 100)), QSize(100, 100)); // within the area
    // From the smallest frame up, the picture's own size exactly.
    EXPECT_EQ(OpenedFrameSize(kSmallestFrame.width(), kSmallestFrame.height(), area),
              kSmallestFrame);

    // Shown there at its own size in the middle, one picture pixel a device pixel; scaled
    // down only when the view is smaller still. A larger picture is fitted as any video.
    EXPECT_EQ(SmallPicturePlacement(QSize(160, 90), 64, 43, 1.0), QRect(48, 23, 64, 43));
    EXPECT_EQ(SmallPicturePlacement(QSize(160, 90), 64, 43, 2.0), QRect(64, 34, 32, 22));
    EXPECT_EQ(SmallPicturePlacement(QSize(300, 100), 300, 100, 1.0), QRect(0, 0, 300, 100));
    EXPECT_EQ(SmallPicturePlacement(QSize(150, 62), 300, 100, 1.0), QRect(0, 6, 150, 50));
    EXPECT_EQ(SmallPicturePlacement(QSize(160, 90), 64, 43, 0.0), QRect(48, 23, 64, 43));
    EXPECT_FALSE(SmallPicturePlacement(QSize(160, 90), 160, 128, 1.0));
    EXPECT_FALSE(SmallPicturePlacement(QSize(160, 90), 0, 43, 1.0));
}

TEST(PlayerMath, VolumeKeysStayInRange) {
    EXPECT_EQ(VolumeAfterKey(vk::VK_UP, 0), 0);
    EXPECT_EQ(VolumeAfterKey(vk::VK_UP, -100), 0);
    EXPECT_EQ(VolumeAfterKey(vk::VK_UP, -50), -50);
    EXPECT_EQ(VolumeAfterKey(vk::VK_DOWN, -10000), -10000);
    EXPECT_EQ(VolumeAfterKey(vk::VK_DOWN, -9900), -10000);
    EXPECT_EQ(VolumeAfterKey(vk::VK_DOWN, -9950), -9950);
    EXPECT_EQ(VolumeAfterKey(vk::VK_END, -300), -10000);
    EXPECT_EQ(VolumeAfterKey(vk::VK_HOME, -300), 0);
    EXPECT_EQ(VolumeAfterKey(vk::VK_LEFT, -300), -300);

    // A level set from outside is one the keys reach, and reads back as itself.
    for (int level = 0; level <= 100; ++level) {
        EXPECT_EQ(VolumeLevel(VolumeAtLevel(level)), level);
        if (level < 100) {
            EXPECT_EQ(VolumeAfterKey(vk::VK_UP, VolumeAtLevel(level)), VolumeAtLevel(level + 1));
        }
    }
    EXPECT_EQ(VolumeAtLevel(-5), -10000);
    EXPECT_EQ(VolumeAtLevel(250), 0);
    EXPECT_EQ(VolumeLevel(-2050), 80); // a volume between steps shows the level above
}

TEST(PlayerMath, SlideDelayKeysAndInterval) {
    EXPECT_EQ(SlideDelayAfterKey(vk::VK_ADD, 1000), 1500);
    EXPECT_EQ(SlideDelayAfterKey(vk::VK_SUBTRACT, 500), 500);
    EXPECT_EQ(SlideDelayAfterKey(vk::VK_SUBTRACT, 700), 200);
    EXPECT_EQ(SlideDelayAfterKey(vk::VK_SUBTRACT, -1000), -1000);
    EXPECT_EQ(SlideDelayAfterKey(vk::VK_ADD, INT_MAX - 10), INT_MAX - 10);
    EXPECT_EQ(SlideInterval(1000), 1000);
    EXPECT_EQ(SlideInterval(0), kMinSlideInterval);
    EXPECT_EQ(SlideInterval(-1000), kMinSlideInterval);
}

TEST(FailureLog, LineFormat) {
    EXPECT_EQ(FormatFailureLine(static_cast<HRESULT>(0x80004005u), 14, QStringLiteral("C:\\a.avi")),
              "FAILED: hr = 0x80004005\t\tLINE: 14\t\tFILE: \"C:\\a.avi\"\n");
    EXPECT_EQ(FormatFailureLine(static_cast<HRESULT>(0x8007000Cu), 20, QString()),
              "FAILED: hr = 0x8007000c\t\tLINE: 20\t\tFILE: \"\"\n");
    EXPECT_EQ(FormatFailureLine(-1, 3, QString::fromUtf8("/m/ü 漢.ogg")),
              "FAILED: hr = 0xffffffff\t\tLINE: 3\t\tFILE: \"/m/\xC3\xBC \xE6\xBC\xA2.ogg\"\n");
}

TEST(FailureLog, AppendsAndKeepsEarlierLines) {
    QTemporaryDir dir;
    const QByteArray name = QDir(dir.path()).filePath(QStringLiteral("LUMarest.log")).toLocal8Bit();
    ASSERT_TRUE(AppendFailureLine("first\n", name.constData()));
    ASSERT_TRUE(AppendFailureLine("second\n", name.constData()));
    QFile file(QString::fromLocal8Bit(name));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("first\nsecond\n"));
}

TEST(FailureLog, UnopenableLogIsReported) {
    QTemporaryDir dir;
    // A folder in the log's place cannot be opened for writing, even by root.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("LUMarest.log")));
    const QByteArray name = QDir(dir.path()).filePath(QStringLiteral("LUMarest.log")).toLocal8Bit();
    EXPECT_FALSE(AppendFailureLine("line\n", name.constData()));
}

} // namespace
