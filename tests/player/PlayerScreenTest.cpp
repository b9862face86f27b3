// The picture on a real screen: under an X server of its own (Xvfb) the player
// shows a video inside its window, and a screenshot of that window finds the
// colours of the test pattern the video was made from.
//
// CTest runs this program on the offscreen platform; the outer test starts the
// program again under xvfb-run for the inner one, which needs the X server.
#include "PlayerTestSupport.h"

#include "player/CLumarestView.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>

#include <cstdio>

using fixtures::Media;
using playertest::MediaFolder;
using playertest::PlayerTest;

namespace {

constexpr const char* kInnerVariable = "LUMAREST_SCREEN_TEST_INNER";

// Runs the inner test under a new X server with the given video sink ("" for
// the program's own choice); returns its output, with the exit status checked.
void runUnderXvfb(const QString& sink) {
    const QString xvfbRun = QStandardPaths::findExecutable(QStringLiteral("xvfb-run"));
    if (xvfbRun.isEmpty())
        GTEST_SKIP() << "xvfb-run is not installed (package xvfb): the on-screen test needs it";
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QString::fromLatin1(kInnerVariable), QStringLiteral("1"));
    if (sink.isEmpty())
        env.remove(QStringLiteral("LUMAREST_VIDEOSINK"));
    else
        env.insert(QStringLiteral("LUMAREST_VIDEOSINK"), sink);
    QProcess inner;
    inner.setProcessEnvironment(env);
    inner.setProcessChannelMode(QProcess::MergedChannels);
    inner.start(xvfbRun,
                {QStringLiteral("-a"), QStringLiteral("-s"),
                 QStringLiteral("-screen 0 1280x1024x24"), QCoreApplication::applicationFilePath(),
                 QStringLiteral("--gtest_filter=PlayerOnScreen.*")});
    ASSERT_TRUE(inner.waitForStarted(10000));
    ASSERT_TRUE(inner.waitForFinished(90000));
    const QByteArray output = inner.readAll();
    std::printf("--- inner run, video sink %s ---\n%s\n",
                sink.isEmpty() ? "of the program's choice" : qPrintable(sink), output.constData());
    EXPECT_EQ(inner.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(inner.exitCode(), 0);
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << "the inner test did not run";
}

TEST(PlayerUnderXvfb, XImageSink) {
    runUnderXvfb(QStringLiteral("ximagesink"));
}
TEST(PlayerUnderXvfb, ProgramsOwnChoice) {
    runUnderXvfb(QString());
}

// Bars of the pattern, told by which of red, green and blue are lit: the
// levels themselves depend on the sink's colour conversion. None of them is
// the view's own dark background (0, 100, 100).
struct Bar {
    const char* name;
    bool red, green, blue;
};
const Bar kBars[] = {{"yellow", true, true, false},
                     {"cyan", false, true, true},
                     {"magenta", true, false, true},
                     {"blue", false, false, true}};

bool lit(int level, bool on) {
    return on ? level >= 150 : level <= 80;
}

bool near(QRgb pixel, const Bar& bar) {
    return lit(qRed(pixel), bar.red) && lit(qGreen(pixel), bar.green) &&
           lit(qBlue(pixel), bar.blue);
}

// How many pixels of each bar's colour the image holds.
std::vector<int> countBars(const QImage& image) {
    std::vector<int> counts(std::size(kBars), 0);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            for (size_t i = 0; i < std::size(kBars); ++i)
                counts[i] += near(image.pixel(x, y), kBars[i]) ? 1 : 0;
    return counts;
}

QImage grabView(CLumarestView* view) {
    const QRect area(view->mapToGlobal(QPoint(0, 0)), view->size());
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen->grabWindow(0, area.x(), area.y(), area.width(), area.height()).toImage();
}

class PlayerOnScreen : public PlayerTest {
protected:
    void SetUp() override {
        if (!qEnvironmentVariableIsSet(kInnerVariable))
            GTEST_SKIP() << "runs under xvfb-run, started by the PlayerUnderXvfb tests";
        PlayerTest::SetUp();
    }
};

TEST_F(PlayerOnScreen, TestPatternInsideThePlayerWindow) {
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
    const QString path = MediaFolder::instance().path(Media::AviMjpeg);
    CLumarestView* view = emptyPlayer();
    ASSERT_NE(view, nullptr);
    AppHarness::pump(200); // the main window is mapped and painted
    const std::vector<int> before = countBars(grabView(view));

    QElapsedTimer clock;
    clock.start();
    view->m_strFile = path;
    view->m_bstrFile = path.toStdWString();
    ASSERT_TRUE(view->Play(view->m_bstrFile.c_str(), false));
    const qint64 played = clock.elapsed();
    std::vector<int> counts;
    const bool seen = AppHarness::waitFor(
        [&] {
            counts = countBars(grabView(view));
            return std::all_of(counts.begin(), counts.end(), [](int n) { return n > 200; });
        },
        10000);
    const qint64 shown = clock.elapsed();
    std::printf("Play returned after %lld ms; the picture was on screen after %lld ms\n",
                static_cast<long long>(played), static_cast<long long>(shown));
    for (size_t i = 0; i < counts.size(); ++i) {
        std::printf("%s: %d pixels\n", kBars[i].name, counts[i]);
        EXPECT_EQ(before[i], 0) << kBars[i].name << " was there before the video";
    }
    if (!seen) {
        const QString shot = QDir::temp().filePath(QStringLiteral("lumarest-player-screen.png"));
        QGuiApplication::primaryScreen()->grabWindow(0).save(shot);
        ADD_FAILURE() << "the pattern's colours are not inside the player window; screen in "
                      << qPrintable(shot);
    }
    EXPECT_EQ(view->m_pVW->VideoWidget()->parentWidget(), view);
}

} // namespace
