// The player view's controls: the time display, volume and slide-delay keys,
// the Sound command, muting as the focus moves, the position slider and the
// full-screen mode with its Escape watch.
#include "PlayerTestSupport.h"
#include "PlayerViewProbe.h"

#include "app/CMainFrame.h"
#include "app/SharedState.h"
#include "platform/framework/StatusBar.h"
#include "platform/input/KeyStateTable.h"
#include "player/CLumarestView.h"
#include "player/PlayerGlobals.h"
#include "player/PlayerMath.h"
#include "res/Resource.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

using fixtures::Media;
using playertest::MediaFolder;
using playertest::PlayerTest;

namespace {

class Controls : public PlayerTest {};

void tick(CLumarestView* view, int times) {
    for (int i = 0; i < times; ++i)
        view->OnTimer(CLumarestView::kTickTimer);
}

TEST_F(Controls, TimeDisplayInSecondsAndMinutes) {
    CLumarestView* view = open(MediaFolder::instance().pcm(599));
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(Probe(view).m_nDuration, 599);
    focus(view);
    // The time is the medium's: at 12 s it says 12, however many ticks went by.
    LONGLONG at = 120'000'000;
    Probe(view).m_pMS->SetPositions(&at, AM_SEEKING_AbsolutePositioning, nullptr,
                                    AM_SEEKING_NoPositioning);
    ASSERT_TRUE(AppHarness::waitFor([&] {
        LONGLONG now = 0;
        return Probe(view).m_pMS->GetCurrentPosition(&now) == S_OK && now >= at;
    }));
    tick(view, 1);
    EXPECT_EQ(pane(0), QStringLiteral(" Time:  12 / 599 sec"));
    EXPECT_EQ(Probe(view).m_wndSlider->value(), 12);
    EXPECT_EQ(Probe(view).m_nSliderPos, 12);

    CLumarestView* longer = open(MediaFolder::instance().pcm(600));
    ASSERT_NE(longer, nullptr);
    focus(longer);
    tick(longer, 1);
    EXPECT_EQ(pane(0), QStringLiteral(" Time:  0 / 10 min"));
}

TEST_F(Controls, SingleFileWithoutFocusCountsButWaits) {
    CLumarestView* first =
        open(MediaFolder::instance().copy(Media::Wav, QStringLiteral("one.wav"), 1));
    CLumarestView* second = open(MediaFolder::instance().path(Media::Wav));
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    focus(second);
    ASSERT_FALSE(first->HasKeyboardFocus());
    second->KillTimer(CLumarestView::kTickTimer); // it would write its time meanwhile
    bar().SetPaneText(0, QStringLiteral("untouched"));
    playertest::TickAtTheEnd(first);
    tick(first, 2);
    EXPECT_EQ(Probe(first).m_nElapsed, 1);
    EXPECT_TRUE(Probe(first).m_bPlaying); // at its end, but it waits for the focus
    EXPECT_EQ(pane(0), QStringLiteral("untouched"));
    focus(first);
    tick(first, 1);
    EXPECT_FALSE(Probe(first).m_bPlaying);
}

TEST_F(Controls, VolumeKeysAtTheirEdges) {
    CLumarestView* view = open(MediaFolder::instance().path(Media::Wav));
    ASSERT_NE(view, nullptr);
    focus(view);
    std::vector<int> levels;
    QObject::connect(view, &CLumarestView::levelChanged,
                     [&](int level) { levels.push_back(level); });
    QTest::keyClick(view, Qt::Key_Up);
    EXPECT_EQ(Probe(view).m_lVolume, 0);
    EXPECT_EQ(pane(2), QStringLiteral(" 100"));
    QTest::keyClick(view, Qt::Key_Down);
    EXPECT_EQ(Probe(view).m_lVolume, -100);
    EXPECT_EQ(graphVolume(view), -100);
    EXPECT_EQ(pane(2), QStringLiteral(" 99"));
    QTest::keyClick(view, Qt::Key_End);
    EXPECT_EQ(graphVolume(view), -10000);
    QTest::keyClick(view, Qt::Key_Down);
    EXPECT_EQ(Probe(view).m_lVolume, -10000);
    EXPECT_EQ(pane(2), QStringLiteral(" 0"));
    QTest::keyClick(view, Qt::Key_Up);
    EXPECT_EQ(Probe(view).m_lVolume, -9900);
    EXPECT_EQ(pane(2), QStringLiteral(" 1"));
    QTest::keyClick(view, Qt::Key_Home);
    EXPECT_EQ(Probe(view).m_lVolume, 0);
    EXPECT_EQ(graphVolume(view), 0);
    EXPECT_EQ(pane(2), QStringLiteral(" 100"));
    // Each key that changed the level told so, once; Up at the top changed nothing.
    EXPECT_EQ(levels, (std::vector<int>{99, 0, 1, 100}));

    // A level set from outside (the sound menu) is heard, shown and told as a key's.
    view->SetLevel(25);
    EXPECT_EQ(graphVolume(view), -7500);
    EXPECT_EQ(pane(2), QStringLiteral(" 25"));
    EXPECT_EQ(view->Level(), 25);
    EXPECT_EQ(levels.back(), 25);

    // M silences the graph and gives the level back; nothing is stored.
    Probe(view).m_lVolume = -2000;
    QTest::keyClick(view, Qt::Key_M);
    EXPECT_EQ(graphVolume(view), -10000);
    EXPECT_EQ(pane(2), QStringLiteral(" 0"));
    EXPECT_EQ(Probe(view).m_lVolume, -2000);
    QTest::keyClick(view, Qt::Key_M);
    EXPECT_EQ(graphVolume(view), -2000);
    EXPECT_EQ(pane(2), QStringLiteral(" 80"));
    EXPECT_FALSE(Probe(view).m_bSoundOff);
}

TEST_F(Controls, SoundCommandAndItsCheckMark) {
    CLumarestView* view = open(MediaFolder::instance().path(Media::Wav));
    ASSERT_NE(view, nullptr);
    focus(view);
    Probe(view).m_lVolume = -700;
    Probe(view).m_pBA->put_Volume(-700);
    EXPECT_EQ(harness->frame().QueryCommand(ID_PLAYER_SOUND).m_nCheck, 1);
    ASSERT_TRUE(harness->frame().SendCommand(ID_PLAYER_SOUND));
    EXPECT_TRUE(Probe(view).m_bSoundOff);
    EXPECT_EQ(graphVolume(view), -10000);
    EXPECT_EQ(pane(2), QStringLiteral(" 0"));
    EXPECT_EQ(harness->frame().QueryCommand(ID_PLAYER_SOUND).m_nCheck, 0);
    harness->frame().SendCommand(ID_PLAYER_SOUND);
    EXPECT_EQ(graphVolume(view), -700);
    EXPECT_EQ(pane(2), QStringLiteral(" 93"));

    // Off after M silenced the graph: the silence is what is stored.
    QTest::keyClick(view, Qt::Key_M);
    harness->frame().SendCommand(ID_PLAYER_SOUND);
    EXPECT_EQ(Probe(view).m_lVolume, -10000);
    harness->frame().SendCommand(ID_PLAYER_SOUND);
    EXPECT_EQ(graphVolume(view), -10000);
    EXPECT_EQ(pane(2), QStringLiteral(" 0"));
    QTest::keyClick(view, Qt::Key_Up);
    EXPECT_EQ(graphVolume(view), -9900);
}

TEST_F(Controls, SlideDelayKeys) {
    CLumarestView* view = open(MediaFolder::instance().path(Media::Png));
    ASSERT_NE(view, nullptr);
    focus(view);
    QTest::keyClick(view, Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(g_nSlideDelay, 1500);
    EXPECT_EQ(pane(0), QStringLiteral("Slide's delay 1.50 sec"));
    // The running slide keeps its period; the next entry takes the new one.
    EXPECT_EQ(view->TimerInterval(CLumarestView::kTickTimer), 1000);
    QTest::keyClick(view, Qt::Key_Plus); // the main keyboard's + is not the slide key
    EXPECT_EQ(g_nSlideDelay, 1500);

    g_nSlideDelay = 500;
    QTest::keyClick(view, Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(g_nSlideDelay, 500);
    EXPECT_EQ(pane(0), QStringLiteral("Slide's delay 0.50 sec"));
    g_nSlideDelay = 700;
    QTest::keyClick(view, Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(g_nSlideDelay, 200);

    // A delay of 0 or below still gives slides a working period.
    g_nSlideDelay = 0;
    view->StartTimers(QString());
    EXPECT_GE(view->TimerInterval(CLumarestView::kTickTimer), 100);
    g_nSlideDelay = -1000;
    view->StartTimers(QString());
    EXPECT_GE(view->TimerInterval(CLumarestView::kTickTimer), 100);
}

// A sound shorter than a second is timed like any sound, not shown as a slide: it has its
// slider and one-second tick, and ends once its time is up, not at the slide delay.
TEST_F(Controls, ASoundShorterThanASecondIsNoSlide) {
    QTemporaryDir dir;
    // 0.4 s of 8 kHz 8-bit mono PCM in a RIFF wave.
    const int samples = 3200;
    QByteArray wav("RIFF");
    const auto le32 = [&](quint32 v) {
        for (int i = 0; i < 4; ++i)
            wav.append(char((v >> (8 * i)) & 0xFF));
    };
    const auto le16 = [&](quint16 v) { wav.append(char(v & 0xFF)).append(char(v >> 8)); };
    le32(36 + samples);
    wav.append("WAVEfmt ");
    le32(16);
    le16(1);
    le16(1);
    le32(8000);
    le32(8000);
    le16(1);
    le16(8);
    wav.append("data");
    le32(samples);
    for (int i = 0; i < samples; ++i)
        wav.append(char(128 + ((i / 9) % 2 ? 40 : -40)));
    const QString path = fixtures::writeFile(dir.path(), "click.wav", wav);
    g_nSlideDelay = 200;
    CLumarestView* view = open(path);
    ASSERT_NE(view, nullptr);
    focus(view);
    EXPECT_EQ(Probe(view).m_nDuration, 0); // whole seconds, as the time text counts them
    EXPECT_TRUE(Probe(view).m_wndSlider) << "shown as a still";
    EXPECT_EQ(view->TimerInterval(CLumarestView::kTickTimer), 1000);
    EXPECT_TRUE(Probe(view).m_bPlaying);
    EXPECT_TRUE(AppHarness::waitFor([&] { return !Probe(view).m_bPlaying; }, 5000))
        << "never ended";
}

TEST_F(Controls, FocusMovingBetweenPlayersMutesTheOneLeft) {
    CLumarestView* a = open(MediaFolder::instance().path(Media::Wav));
    CLumarestView* b = open(MediaFolder::instance().path(Media::OggVorbis));
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    Probe(a).m_lVolume = -300;
    Probe(b).m_lVolume = -600;
    focus(a);
    EXPECT_EQ(graphVolume(a), -300);
    EXPECT_EQ(pane(2), QStringLiteral(" 97"));

    focus(b);
    EXPECT_EQ(graphVolume(a), -10000);
    EXPECT_EQ(Probe(a).m_lVolume, -300);
    EXPECT_EQ(graphVolume(b), -600);
    EXPECT_EQ(pane(2), QStringLiteral(" 94"));

    focus(a);
    EXPECT_EQ(graphVolume(a), -300);
    EXPECT_EQ(graphVolume(b), -10000);

    // Another program takes the focus: the player stays audible; the time display clears.
    QApplication::setActiveWindow(nullptr);
    AppHarness::waitFor([a] { return !a->HasKeyboardFocus(); }, 2000);
    ASSERT_FALSE(a->HasKeyboardFocus());
    EXPECT_EQ(graphVolume(a), -300);
    EXPECT_EQ(pane(0), QStringLiteral(" "));
}

// A menu opened over the player takes no focus from it: nothing is muted, going in or out,
// and the keys reach the player again once the menu bar is left. Only a window the focus
// goes on to from the menu mutes the one left.
TEST_F(Controls, MenusMuteNothing) {
    CLumarestView* a = open(MediaFolder::instance().path(Media::Wav));
    CLumarestView* b = open(MediaFolder::instance().path(Media::OggVorbis));
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    Probe(a).m_lVolume = -300;
    focus(a);
    ASSERT_EQ(graphVolume(a), -300);
    const auto popup = [] { return QApplication::activePopupWidget(); };
    const auto openViewMenu = [&] {
        QTest::keyClick(&harness->frame(), Qt::Key_V, Qt::AltModifier);
        return AppHarness::waitFor([&] { return popup() != nullptr; }, 2000);
    };

    ASSERT_TRUE(openViewMenu()) << "Alt+V opened no menu";
    EXPECT_EQ(graphVolume(a), -300) << "opening a menu muted the player";
    QTest::keyClick(popup(), Qt::Key_Escape); // the menu closes, the menu bar stays lit
    AppHarness::waitFor([&] { return popup() == nullptr; }, 2000);
    EXPECT_EQ(graphVolume(a), -300);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); // the menu bar is left
    ASSERT_TRUE(AppHarness::waitFor([a] { return a->HasKeyboardFocus(); }, 2000));
    EXPECT_EQ(graphVolume(a), -300);
    QTest::keyClick(a, Qt::Key_Down);
    EXPECT_EQ(Probe(a).m_lVolume, -400);
    EXPECT_EQ(graphVolume(a), -400);

    ASSERT_TRUE(openViewMenu());
    QTest::keyClick(popup(), Qt::Key_Escape);
    AppHarness::waitFor([&] { return popup() == nullptr; }, 2000);
    focus(b);
    EXPECT_EQ(graphVolume(a), -10000) << "the focus went on to another player";
    EXPECT_EQ(Probe(a).m_lVolume, -400);
}

TEST_F(Controls, DraggingTheSliderSeeks) {
    CLumarestView* view = open(MediaFolder::instance().path(Media::Wav));
    ASSERT_NE(view, nullptr);
    focus(view);
    g_rcSlider = RECT{150, 2, 400, 18};
    view->OnTimer(CLumarestView::kSliderTimer);
    EXPECT_EQ(Probe(view).m_wndSlider->geometry(), QRect(150, 2, 250, 16));
    EXPECT_TRUE(Probe(view).m_wndSlider->isVisible());

    // The timer's own moves are no drag.
    ASSERT_TRUE(AppHarness::waitFor([&] {
        LONGLONG now = 0;
        return Probe(view).m_pMS->GetCurrentPosition(&now) == S_OK && now >= 10'000'000;
    }));
    tick(view, 1);
    view->OnTimer(CLumarestView::kSliderTimer);
    EXPECT_EQ(Probe(view).m_nElapsed, 1);
    EXPECT_EQ(Probe(view).m_nSliderPos, 1);

    Probe(view).m_wndSlider->setValue(3); // the user's drag
    view->OnTimer(CLumarestView::kSliderTimer);
    EXPECT_EQ(Probe(view).m_nSliderPos, 3);
    EXPECT_EQ(Probe(view).m_nElapsed, 3);
    EXPECT_FALSE(g_bSeeking);
    LONGLONG position = -1;
    AppHarness::waitFor(
        [&] {
            Probe(view).m_pMS->GetCurrentPosition(&position);
            return position >= 30'000'000;
        },
        2000);
    EXPECT_NEAR(double(position), 3e7, 0.5e7);
    EXPECT_TRUE(view->HasKeyboardFocus());

    // A seek in progress holds the slider tick back.
    g_bSeeking = true;
    Probe(view).m_wndSlider->setValue(1);
    view->OnTimer(CLumarestView::kSliderTimer);
    EXPECT_EQ(Probe(view).m_nSliderPos, 3);
    g_bSeeking = false;
}

TEST_F(Controls, FullScreenUntilEscape) {
    CLumarestView* view = open(MediaFolder::instance().path(Media::AviMjpeg));
    ASSERT_NE(view, nullptr);
    focus(view);
    QWidget* video = Probe(view).m_pVW->VideoWidget();
    ASSERT_NE(video, nullptr);
    // Escape while not in full screen does nothing special.
    keystate::Press(Qt::Key_Escape);
    view->OnTimer(CLumarestView::kFullScreenTimer);
    EXPECT_FALSE(Probe(view).m_bFullScreen);
    keystate::Release(Qt::Key_Escape);

    ASSERT_TRUE(harness->frame().SendCommand(ID_VIEW_FULLSCREEN));
    EXPECT_TRUE(Probe(view).m_bFullScreen);
    EXPECT_EQ(view->TimerInterval(CLumarestView::kFullScreenTimer), 10);
    EXPECT_NE(video->window(), view->window());
    view->OnTimer(CLumarestView::kFullScreenTimer);
    EXPECT_TRUE(Probe(view).m_bFullScreen); // no Escape yet

    keystate::Press(Qt::Key_Escape);
    view->OnTimer(CLumarestView::kFullScreenTimer);
    keystate::Release(Qt::Key_Escape);
    EXPECT_FALSE(Probe(view).m_bFullScreen);
    EXPECT_EQ(video->parentWidget(), view);
}

// The transport keys of today's players: Space pauses and resumes, Left and Right seek
// 5 s (30 s with Shift) held to the medium, F and a double-click go to full screen and F
// (once let go) or a double-click come back.
TEST_F(Controls, TransportKeysPauseSeekAndGoFullScreen) {
    CLumarestView* view = open(MediaFolder::instance().pcm(100));
    ASSERT_NE(view, nullptr);
    focus(view);
    std::vector<CLumarestView::PlayStatus> statuses;
    std::vector<qint64> seeks;
    QObject::connect(view, &CLumarestView::playbackChanged,
                     [&] { statuses.push_back(view->Status()); });
    QObject::connect(view, &CLumarestView::seeked, [&](qint64 at) { seeks.push_back(at); });
    QTest::keyClick(view, Qt::Key_Space);
    EXPECT_TRUE(Probe(view).m_bPaused);
    QTest::keyClick(view, Qt::Key_Space);
    EXPECT_FALSE(Probe(view).m_bPaused);
    EXPECT_EQ(statuses,
              (std::vector{CLumarestView::PlayStatus::Paused, CLumarestView::PlayStatus::Playing}));

    const auto position = [&] {
        LONGLONG now = -1;
        Probe(view).m_pMS->GetCurrentPosition(&now);
        return SecondsOf(now);
    };
    QTest::keyClick(view, Qt::Key_Right);
    EXPECT_EQ(Probe(view).m_nElapsed, 5);
    EXPECT_EQ(Probe(view).m_wndSlider->value(), 5);
    EXPECT_EQ(pane(0), QStringLiteral(" Time:  5 / 100 sec"));
    EXPECT_TRUE(AppHarness::waitFor([&] { return position() >= 5; }));
    QTest::keyClick(view, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_GE(Probe(view).m_nElapsed, 35);
    EXPECT_LE(Probe(view).m_nElapsed, 36);
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(view, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(Probe(view).m_nElapsed, 100); // held to the end
    QTest::keyClick(view, Qt::Key_Left);
    EXPECT_EQ(Probe(view).m_nElapsed, 95);
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(view, Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(Probe(view).m_nElapsed, 0); // and to the start
    EXPECT_EQ(Probe(view).m_nSliderPos, 0);
    ASSERT_FALSE(seeks.empty());
    EXPECT_EQ(seeks.front(), 5'000'000);
    EXPECT_EQ(seeks.back(), 0);

    // A seek asked from outside goes where a drag would, held to the medium's length.
    EXPECT_TRUE(view->SeekTo(42));
    EXPECT_EQ(Probe(view).m_wndSlider->value(), 42);
    EXPECT_EQ(pane(0), QStringLiteral(" Time:  42 / 100 sec"));
    EXPECT_EQ(seeks.back(), 42'000'000);
    EXPECT_TRUE(view->SeekTo(1000));
    EXPECT_EQ(seeks.back(), 100'000'000);

    // F: full screen and back, from key presses wherever the keyboard is; a key held down
    // does not flicker.
    CLumarestView* video = open(MediaFolder::instance().path(Media::AviMjpeg));
    ASSERT_NE(video, nullptr);
    focus(video);
    QTest::keyPress(video, Qt::Key_F);
    ASSERT_TRUE(video->IsFullScreen());
    QWidget* fullScreen = Probe(video).m_pVW->VideoWidget()->window();
    ASSERT_NE(fullScreen, video->window());
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_F, {}, QStringLiteral("f"), true);
    QApplication::sendEvent(fullScreen, &repeat);
    EXPECT_TRUE(video->IsFullScreen()) << "the key held down";
    QTest::keyRelease(fullScreen, Qt::Key_F);
    QTest::keyClick(fullScreen, Qt::Key_F);
    EXPECT_FALSE(video->IsFullScreen()) << "F in the full-screen window leaves it";
    QTest::keyClick(video, Qt::Key_F);
    ASSERT_TRUE(video->IsFullScreen());
    QTest::keyClick(Probe(video).m_pVW->VideoWidget()->window(), Qt::Key_Escape);
    EXPECT_FALSE(video->IsFullScreen()) << "Escape in the full-screen window leaves it";
    // A release the program never saw (the compositor sent it elsewhere) is forgotten as the
    // keyboard moves to another window: the 10 ms watch does not see Escape held.
    keystate::Press(Qt::Key_Escape);
    QTest::keyClick(video, Qt::Key_F);
    ASSERT_TRUE(video->IsFullScreen());
    video->OnTimer(CLumarestView::kFullScreenTimer);
    EXPECT_TRUE(video->IsFullScreen()) << "an Escape released out of sight still held";
    keystate::Press(Qt::Key_Escape);
    video->OnTimer(CLumarestView::kFullScreenTimer);
    keystate::Release(Qt::Key_Escape);
    EXPECT_FALSE(video->IsFullScreen()) << "Escape held down, seen by the watch";

    // A double-click on the picture, and another on the full screen.
    QWidget* picture = Probe(video).m_pVW->VideoWidget();
    QTest::mouseDClick(picture, Qt::LeftButton);
    EXPECT_TRUE(Probe(video).m_bFullScreen);
    ASSERT_NE(picture->window(), video->window());
    QTest::mouseDClick(picture, Qt::LeftButton);
    video->OnTimer(CLumarestView::kFullScreenTimer);
    EXPECT_FALSE(Probe(video).m_bFullScreen);
    EXPECT_EQ(picture->parentWidget(), video);
}

// A click on the slider's track puts the medium at the point clicked.
TEST_F(Controls, AClickOnTheSlidersTrackSeeksThere) {
    CLumarestView* view = open(MediaFolder::instance().pcm(100));
    ASSERT_NE(view, nullptr);
    focus(view);
    g_rcSlider = RECT{150, 2, 550, 18};
    view->OnTimer(CLumarestView::kSliderTimer);
    QSlider* slider = Probe(view).m_wndSlider;
    ASSERT_TRUE(slider->isVisible());
    QTest::mouseClick(slider, Qt::LeftButton, {},
                      QPoint(slider->width() * 3 / 4, slider->height() / 2));
    view->OnTimer(CLumarestView::kSliderTimer);
    EXPECT_NEAR(Probe(view).m_nElapsed, 75, 4) << "a page on would be 5";
    EXPECT_EQ(Probe(view).m_nSliderPos, slider->value());
}

} // namespace
