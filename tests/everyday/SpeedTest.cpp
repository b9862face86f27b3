// A player's speed: its keys walk the steps, the graph plays at it, the status bar says it
// while it is not the medium's own, and the time stays in the medium's seconds.
#include "PlayerTestSupport.h"
#include "PlayerViewProbe.h"
#include "TestTime.h"

#include "platform/framework/StatusBar.h"
#include "player/CLumarestView.h"
#include "player/PlaybackSpeed.h"
#include "res/Resource.h"

#include <QElapsedTimer>
#include <QTest>

#include <vector>

using fixtures::Media;
using playertest::MediaFolder;
using playertest::PlayerTest;

namespace {

class Speed : public PlayerTest {
protected:
    QString speedPane() { return pane(bar().CommandToIndex(ID_INDICATOR_SPEED)); }
    int speedPaneWidth() {
        return bar().GetItemRect(bar().CommandToIndex(ID_INDICATOR_SPEED)).width();
    }
    QRect lockPane() { return bar().GetItemRect(bar().CommandToIndex(ID_INDICATOR_NUM)); }
    static double graphRate(CLumarestView* view) {
        double rate = 0;
        Probe(view).m_pMS->GetRate(&rate);
        return rate;
    }
    // Medium seconds played per second of the clock on the wall, over about a second.
    static double pace(CLumarestView* view) {
        AppHarness::pump(300); // the seek that carried the rate settles
        QElapsedTimer clock;
        clock.start();
        const int64_t from = view->PositionUs();
        AppHarness::pump(1000);
        return static_cast<double>(view->PositionUs() - from) / (clock.nsecsElapsed() / 1000.0);
    }
};

TEST_F(Speed, StepsHeldAtTheirEnds) {
    std::vector<double> up{1.0};
    while (up.size() < kSpeedSteps.size())
        up.push_back(FasterSpeed(up.back()));
    EXPECT_EQ(up.back(), kFastestSpeed);
    EXPECT_EQ(FasterSpeed(kFastestSpeed), kFastestSpeed);
    EXPECT_EQ(SlowerSpeed(kSlowestSpeed), kSlowestSpeed);
    EXPECT_EQ(SlowerSpeed(1.2), 1.1) << "a speed between the steps goes to the nearer one";
    EXPECT_EQ(FasterSpeed(1.2), 1.25);
    EXPECT_EQ(HeldSpeed(9.0), kFastestSpeed);
    EXPECT_EQ(HeldSpeed(std::nan("")), 1.0);
    EXPECT_EQ(SpeedText(1.0), QString());
    EXPECT_EQ(SpeedText(0.67), QStringLiteral(" 0.67x"));
}

TEST_F(Speed, KeysReachTheGraphAndTheStatusBar) {
    CLumarestView* view = open(MediaFolder::instance().copy(Media::AviMjpeg, "pace.avi", 12));
    ASSERT_NE(view, nullptr);
    focus(view);
    EXPECT_EQ(speedPane(), QString()) << "nothing said at the medium's own pace";
    // Until then the pane takes no room, and the lock panes keep their places.
    EXPECT_EQ(speedPaneWidth(), 0);
    const QRect numAtOwnPace = lockPane();

    for (double expected : {1.1, 1.25, 1.5, 1.75, 2.0, 2.0}) {
        QTest::keyClick(view, Qt::Key_BracketRight);
        EXPECT_EQ(view->Speed(), expected);
    }
    EXPECT_EQ(graphRate(view), 2.0);
    EXPECT_EQ(speedPane(), QStringLiteral(" 2x"));
    EXPECT_GE(speedPaneWidth(), bar().fontMetrics().horizontalAdvance(QStringLiteral(" 0.67x")));
    EXPECT_LT(lockPane().x(), numAtOwnPace.x()) << "the panes make room for the speed";
    // A seek keeps the pace: the medium runs at about twice the clock's.
    ASSERT_TRUE(view->SeekTo(1));
    EXPECT_GT(pace(view), 1.5);
    // The time text and the slider count the medium's seconds, not the clock's.
    view->OnTimer(CLumarestView::kTickTimer);
    const int second = static_cast<int>(view->PositionUs() / 1'000'000);
    EXPECT_NEAR(Probe(view).m_nElapsed, second, 1);
    EXPECT_EQ(Probe(view).m_wndSlider->value(), Probe(view).m_nElapsed);
    EXPECT_EQ(pane(0), QStringLiteral(" Time:  %1 / 12 sec").arg(Probe(view).m_nElapsed));

    for (int i = 0; i < 9; ++i)
        QTest::keyClick(view, Qt::Key_BracketLeft);
    EXPECT_EQ(view->Speed(), 0.67);
    QTest::keyClick(view, Qt::Key_BracketLeft);
    QTest::keyClick(view, Qt::Key_BracketLeft);
    EXPECT_EQ(view->Speed(), kSlowestSpeed);
    EXPECT_EQ(speedPane(), QStringLiteral(" 0.5x"));
    ASSERT_TRUE(view->SeekTo(1));
    EXPECT_LT(pace(view), 0.75);

    QTest::keyClick(view, Qt::Key_Backspace);
    EXPECT_EQ(view->Speed(), 1.0);
    EXPECT_EQ(graphRate(view), 1.0);
    EXPECT_EQ(speedPane(), QString());
    EXPECT_EQ(lockPane(), numAtOwnPace);
    view->OnTimer(CLumarestView::kTickTimer);
    EXPECT_EQ(pane(0), QStringLiteral(" Time:  %1 / 12 sec").arg(Probe(view).m_nElapsed));
}

TEST_F(Speed, FrameStepsWhilePaused) {
    CLumarestView* view = open(MediaFolder::instance().copy(Media::AviMjpeg, "pace.avi", 12));
    ASSERT_NE(view, nullptr);
    focus(view);
    EXPECT_FALSE(view->StepFrame(true)) << "only a paused medium steps";
    ASSERT_TRUE(view->SeekTo(2));
    view->PausePlaying();
    ASSERT_TRUE(AppHarness::waitFor([&] { return view->PositionUs() >= 2'000'000; }));
    AppHarness::pump(300);
    const int64_t paused = view->PositionUs();
    // A frame of this medium lasts 40 ms: three on, then one back, each once the one before
    // has been shown (longer in a slow build).
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(view, Qt::Key_Period);
        AppHarness::pump(testtime::scaled(100));
    }
    EXPECT_TRUE(AppHarness::waitFor([&] { return view->PositionUs() >= paused + 80'000; }));
    EXPECT_LT(view->PositionUs(), paused + 200'000);
    const int64_t stepped = view->PositionUs();
    QTest::keyClick(view, Qt::Key_Comma);
    EXPECT_TRUE(AppHarness::waitFor([&] { return view->PositionUs() < stepped; }));
    EXPECT_GT(view->PositionUs(), stepped - 100'000);
    EXPECT_EQ(view->Status(), CLumarestView::PlayStatus::Paused);
}

} // namespace
