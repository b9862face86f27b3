// The player as a person uses it: the real program on an X server of its own (Xvfb with
// openbox), the program's own video sink, real key presses with the pointer resting on
// the picture, and the result read from screenshots.
#include "MediaFixtures.h"
#include "ScreenPicture.h"
#include "XSession.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

constexpr int kBelowToolbar = 225;

struct Geometry {
    int x = 0, y = 0, width = 0, height = 0;
};

Geometry WindowGeometry(const XSession& x, const QString& window) {
    Geometry g;
    for (const QString& line : x.Xdo({"getwindowgeometry", "--shell", window}).split('\n')) {
        const QString value = line.section('=', 1);
        if (line.startsWith("X="))
            g.x = value.toInt();
        else if (line.startsWith("Y="))
            g.y = value.toInt();
        else if (line.startsWith("WIDTH="))
            g.width = value.toInt();
        else if (line.startsWith("HEIGHT="))
            g.height = value.toInt();
    }
    return g;
}

TEST(PlayerAsAUserSeesIt, KeysOverThePictureReachThePlayer) {
    const QString missing =
        XSession::MissingTools({"Xvfb", "openbox", "xdotool", "import", "tesseract"});
    if (!missing.isEmpty())
        GTEST_SKIP() << qPrintable(missing) << " is not installed";
    QTemporaryDir media, work, config;
    const QString file = fixtures::makeMedia(fixtures::Media::AviMjpeg, media.path(),
                                             QStringLiteral("clip.avi"), 12);
    ASSERT_FALSE(file.isEmpty());

    XSession x;
    ASSERT_TRUE(x.Start());
    QProcessEnvironment env = x.Environment();
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("XDG_CONFIG_HOME", config.path());
    env.remove("LUMAREST_VIDEOSINK"); // the program's own choice of sink
    QProcess& app = x.Launch(QStringLiteral(LUMAREST_PROGRAM), {file}, env, work.path());
    ASSERT_TRUE(app.waitForStarted(5000));
    QString main;
    ASSERT_TRUE(XSession::WaitFor(
        [&] {
            main = x.Xdo({"search", "--onlyvisible", "--name", "^Lumarest - clip.avi$"});
            return !main.isEmpty();
        },
        20000));
    main = main.section('\n', 0, 0);
    screentest::PatternPlace place;
    ASSERT_TRUE(XSession::WaitFor(
        [&] {
            // Below the toolbar, whose icons have yellow in them.
            place = screentest::findPattern(x.Shot().copy(0, kBelowToolbar, 1280, 1024));
            return place.found;
        },
        10000))
        << "no picture on the screen";

    // The pointer rests on the picture; two presses of Down lower the level from 100 to 98.
    x.Xdo({"mousemove", QString::number((place.left + place.right) / 2),
           QString::number(kBelowToolbar + (place.top + place.bottom) / 2)});
    QThread::msleep(300);
    x.Xdo({"key", "--delay", "150", "Down", "Down"});
    QThread::msleep(500);
    const Geometry g = WindowGeometry(x, main);
    const QImage shot = x.Shot();
    const QRect bar(g.x - 6, g.y + g.height - 41, g.width, 20); // the status bar
    const QString status = XSession::Read(shot, bar);
    std::printf("status bar reads: %s\n", qPrintable(status));
    EXPECT_TRUE(status.contains(QRegularExpression(QStringLiteral("\\b98\\b"))))
        << "Down over the picture did not lower the level: " << qPrintable(status);
    // The slider starts after the time text: the whole text is read.
    const QString time = XSession::Read(shot, QRect(bar.x(), bar.y(), 300, bar.height()));
    std::printf("time text reads: %s\n", qPrintable(time));
    EXPECT_TRUE(time.contains(QRegularExpression(QStringLiteral("Time: +\\d+ ?/ ?12 sec"))))
        << qPrintable(time);
}

} // namespace
