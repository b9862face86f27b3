// The picture on a real screen: under an X server of its own (Xvfb) the player
// shows videos and still pictures inside its window, scaled to it, and keeps a
// still picture shown when its slide has ended, when the window has been covered
// and uncovered, resized, and taken to full screen and back. Screenshots are read
// back for the colours and the shape of the test pattern the media were made from.
//
// CTest runs this program on the offscreen platform; the outer test starts the
// program again under xvfb-run for the inner ones, which need the X server.
#include "GroupedProcess.h"
#include "PlayerTestSupport.h"
#include "PlayerViewProbe.h"
#include "ScreenPicture.h"
#include "TestTime.h"

#include "app/CMainFrame.h"
#include "platform/framework/MDIChildWnd.h"
#include "player/CLumarestView.h"
#include "res/Resource.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>

#ifdef LUMAREST_HAVE_XCB
#include <xcb/xcb.h>
#endif

using fixtures::Media;
using playertest::MediaFolder;
using playertest::PlayerTest;
using namespace screentest;

namespace {

constexpr const char* kInnerVariable = "LUMAREST_SCREEN_TEST_INNER";

// Runs the inner tests under a new X server with the picture painted by the player's view,
// with the exit status and the output checked.
void runUnderXvfb() {
    const QString xvfbRun = QStandardPaths::findExecutable(QStringLiteral("xvfb-run"));
    if (xvfbRun.isEmpty())
        GTEST_SKIP() << "xvfb-run is not installed (package xvfb): the on-screen test needs it";
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QString::fromLatin1(kInnerVariable), QStringLiteral("1"));
    env.remove(QStringLiteral("LUMAREST_VIDEOSINK"));
    GroupedProcess inner; // with the X server and the inner run it starts
    inner.setProcessEnvironment(env);
    inner.setProcessChannelMode(QProcess::MergedChannels);
    inner.start(xvfbRun,
                {QStringLiteral("-a"), QStringLiteral("-s"),
                 QStringLiteral("-screen 0 1280x1024x24"), QCoreApplication::applicationFilePath(),
                 QStringLiteral("--gtest_filter=PlayerOnScreen.*")});
    ASSERT_TRUE(inner.waitForStarted(testtime::scaled(10000)));
    const bool finished = inner.finishWithin(testtime::scaled(120000));
    const QByteArray output = inner.readAll();
    std::printf("--- inner run ---\n%s\n", output.constData());
    ASSERT_TRUE(finished) << "the inner run did not end in time and was stopped";
    EXPECT_EQ(inner.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(inner.exitCode(), 0);
    EXPECT_TRUE(output.contains("[  PASSED  ] 3 tests")) << "the inner tests did not all run";
}

TEST(PlayerUnderXvfb, PaintedByTheView) {
    runUnderXvfb();
}

QImage grab(const QRect& globalArea) {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen
        ->grabWindow(0, globalArea.x(), globalArea.y(), globalArea.width(), globalArea.height())
        .toImage();
}

QImage grabView(CLumarestView* view) {
    return grab(QRect(view->mapToGlobal(QPoint(0, 0)), view->size()));
}

// Top-level windows on the screen that are mapped. No window manager runs here: every
// top-level window is a child of the root window.
int mappedTopLevels() {
#ifdef LUMAREST_HAVE_XCB
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
    if (connection == nullptr)
        return -1;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const std::unique_ptr<xcb_query_tree_reply_t, decltype(&std::free)> tree(
        xcb_query_tree_reply(connection, xcb_query_tree(connection, root), nullptr), &std::free);
    if (!tree)
        return -1;
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    int mapped = 0;
    for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
        const std::unique_ptr<xcb_get_window_attributes_reply_t, decltype(&std::free)> attributes(
            xcb_get_window_attributes_reply(
                connection, xcb_get_window_attributes(connection, children[i]), nullptr),
            &std::free);
        mapped += attributes && attributes->map_state != XCB_MAP_STATE_UNMAPPED ? 1 : 0;
    }
    return mapped;
#else
    return -1;
#endif
}

// How wide a 4:3 picture is when it fills as much of the video window as it can.
int fittedWidth(CLumarestView* view) {
    const QSize video = Probe(view).m_pVW->VideoWidget()->size();
    return std::min(video.width(), video.height() * 4 / 3);
}

void saveScreen(const char* when) {
    const QString name = QString::fromLatin1(when).replace(QLatin1Char(' '), QLatin1Char('-'));
    const QString shot = QDir::temp().filePath(QStringLiteral("lumarest-%1.png").arg(name));
    QGuiApplication::primaryScreen()->grabWindow(0).save(shot);
    std::printf("screen saved in %s\n", qPrintable(shot));
}

class PlayerOnScreen : public PlayerTest {
protected:
    void SetUp() override {
        if (!qEnvironmentVariableIsSet(kInnerVariable))
            GTEST_SKIP() << "runs under xvfb-run, started by the PlayerUnderXvfb tests";
        PlayerTest::SetUp();
        ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
    }

    // Waits until all the pattern's colours are inside the view.
    bool patternShown(CLumarestView* view, const char* when, int ms = 5000) {
        std::vector<int> counts;
        const bool seen = AppHarness::waitFor(
            [&] {
                counts = countBars(grabView(view));
                return allBarsSeen(counts);
            },
            ms);
        if (!seen) {
            ADD_FAILURE() << "the pattern is not inside the player window " << when;
            saveScreen(when);
        }
        return seen;
    }

    // The whole picture is inside the grabbed area, with its aspect, and as wide as
    // expectedWidth when that is given. A playing video may show a frame or two painted
    // before the last resize: what counts is what stays.
    void expectWholePicture(const std::function<QImage()>& grabArea, const char* when,
                            int expectedWidth = 0) {
        QImage image;
        PatternPlace place;
        const auto whole = [&] {
            const double width = place.pictureWidth();
            const double height = place.pictureHeight();
            return place.found && std::abs(height / width - 0.75) <= 0.03 &&
                   place.pictureLeft() >= -4.0 &&
                   place.pictureLeft() + width <= image.width() + 4.0 &&
                   place.top + height <= image.height() + 4.0 &&
                   (expectedWidth <= 0 || std::abs(width - expectedWidth) <= 6.0);
        };
        AppHarness::waitFor(
            [&] {
                image = grabArea();
                place = findPattern(image);
                return whole();
            },
            2000);
        ASSERT_TRUE(place.found) << "no pattern " << when;
        const double width = place.pictureWidth();
        const double height = place.pictureHeight();
        std::printf("%s: picture %.0f x %.0f at (%.0f, %d) in %d x %d\n", when, width, height,
                    place.pictureLeft(), place.top, image.width(), image.height());
        EXPECT_NEAR(height / width, 0.75, 0.03) << "picture squashed or stretched " << when;
        EXPECT_GE(place.pictureLeft(), -4.0) << when;
        EXPECT_LE(place.pictureLeft() + width, image.width() + 4.0) << when;
        EXPECT_LE(place.top + height, image.height() + 4.0) << "bottom cut off " << when;
        if (expectedWidth > 0) {
            EXPECT_NEAR(width, expectedWidth, 6.0) << "not scaled to its window " << when;
        }
        if (!whole())
            saveScreen(when);
    }
};

TEST_F(PlayerOnScreen, VideoPlayedIntoAShownWindow) {
    const QString path = MediaFolder::instance().path(Media::AviMjpeg);
    CLumarestView* view = emptyPlayer();
    ASSERT_NE(view, nullptr);
    AppHarness::pump(testtime::scaled(200)); // the main window is mapped and painted
    const std::vector<int> before = countBars(grabView(view));
    const int windowsBefore = mappedTopLevels();

    QElapsedTimer clock;
    clock.start();
    Probe(view).m_strFile = path;
    Probe(view).m_bstrFile = path.toStdWString();
    ASSERT_TRUE(view->Play(Probe(view).m_bstrFile.c_str(), false));
    const qint64 played = clock.elapsed();
    ASSERT_TRUE(patternShown(view, "after Play"));
    std::printf("Play returned after %lld ms; the picture was on screen after %lld ms\n",
                static_cast<long long>(played), static_cast<long long>(clock.elapsed()));
    for (size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(before[i], 0) << kCountedBars[i].name << " was there before the video";
    EXPECT_EQ(Probe(view).m_pVW->VideoWidget()->parentWidget(), view);
    // A sink drawing into a window of its own would also take the keyboard from the
    // program under a window manager.
    EXPECT_EQ(mappedTopLevels(), windowsBefore) << "the video sink opened a window of its own";
    expectWholePicture([view] { return grabView(view); }, "in a shown window", fittedWidth(view));
}

TEST_F(PlayerOnScreen, VideoOpenedLikeFileOpenIsWhollyInItsWindow) {
    CLumarestView* view = open(MediaFolder::instance().path(Media::AviMjpeg));
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(patternShown(view, "after File/Open"));
    expectWholePicture([view] { return grabView(view); }, "after File/Open", fittedWidth(view));
    // Resized while it plays: the picture fills its new place within a second.
    CMDIChildWnd* frame = view->GetParentFrame();
    frame->resize(frame->width() + 160, frame->height() + 120);
    ASSERT_TRUE(patternShown(view, "resized while playing", testtime::scaled(1000)));
    QWidget* video = Probe(view).m_pVW->VideoWidget();
    expectWholePicture([video] { return grab(QRect(video->mapToGlobal(QPoint()), video->size())); },
                       "resized while playing", fittedWidth(view));
}

TEST_F(PlayerOnScreen, StillPictureStaysShown) {
    AppHarness::pump(testtime::scaled(200));
    const int windowsBefore = mappedTopLevels();
    CLumarestView* view = open(MediaFolder::instance().path(Media::Png));
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(Probe(view).m_nDuration, 0);
    ASSERT_TRUE(patternShown(view, "while the slide is on"));
    EXPECT_EQ(mappedTopLevels(), windowsBefore) << "the video sink opened a window of its own";
    expectWholePicture([view] { return grabView(view); }, "while the slide is on",
                       fittedWidth(view));

    focus(view); // the slide ends on the next tick only in the focused window
    ASSERT_TRUE(AppHarness::waitFor([view] { return !Probe(view).m_bPlaying; }, 5000));
    AppHarness::pump(testtime::scaled(300));
    EXPECT_TRUE(patternShown(view, "after the slide has ended", 1000));

    {
        QWidget cover(nullptr, Qt::Window | Qt::FramelessWindowHint);
        cover.setGeometry(QRect(view->mapToGlobal(QPoint(0, 0)), view->size()));
        cover.show();
        AppHarness::pump(testtime::scaled(300));
    }
    EXPECT_TRUE(patternShown(view, "after being covered and uncovered"));

    CMDIChildWnd* frame = view->GetParentFrame();
    frame->resize(frame->width() + 200, frame->height() + 150);
    AppHarness::pump(testtime::scaled(500));
    ASSERT_TRUE(patternShown(view, "after a resize"));
    QWidget* video = Probe(view).m_pVW->VideoWidget();
    const auto grabVideo = [video] {
        return grab(QRect(video->mapToGlobal(QPoint(0, 0)), video->size()));
    };
    expectWholePicture(grabVideo, "after a resize", fittedWidth(view));

    ASSERT_TRUE(harness->frame().SendCommand(ID_VIEW_FULLSCREEN));
    AppHarness::pump(testtime::scaled(800));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_TRUE(allBarsSeen(countBars(grab(screen)))) << "no pattern on the full screen";
    expectWholePicture([screen] { return grab(screen); }, "in full screen", screen.width());
    Probe(view).m_bFullScreen = false;
    Probe(view).m_pVW->put_FullScreenMode(OAFALSE);
    AppHarness::pump(testtime::scaled(300));
    EXPECT_TRUE(patternShown(view, "back from full screen"));
    expectWholePicture(grabVideo, "back from full screen", fittedWidth(view));
}

} // namespace
