// The player as a person uses it: the real program on an X server of its own (Xvfb with
// openbox), the program's own sinks, real key presses and clicks with the pointer on the
// picture, menus opened from the keyboard, files chosen in the program's Open dialog, and
// the results read from screenshots: where the test pattern lies, the status bar's texts.
// The sound menu driven from a bus of the test's own (playerctl). Then the program started
// with a file on a Wayland session (weston), natively and through XWayland, on both of
// weston's renderers: its window and picture read back from weston; and full screen typed on
// the keyboard of a weston nested in an X server.
#include "LocalHttpServer.h"
#include "MediaFixtures.h"
#include "ScreenPicture.h"
#include "TestTime.h"
#include "WaylandSession.h"
#include "XSession.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

namespace {

constexpr int kClipSeconds = 20;
// The main frame's menu bar and toolbar (whose icons have yellow in them) lie above this,
// measured from the top of its own area; the status bar's height.
constexpr int kToolbarBottom = 56;
constexpr int kStatusHeight = 22;

void sleepScaled(int ms) {
    QThread::msleep(testtime::scaled(ms));
}

// The player view's own background, RGB(0, 100, 100), where no picture is drawn.
bool isViewBackground(QRgb p) {
    return qRed(p) <= 10 && std::abs(qGreen(p) - 100) <= 10 && std::abs(qBlue(p) - 100) <= 10;
}

int countViewBackground(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += isViewBackground(image.pixel(x, y)) ? 1 : 0;
    return n;
}

// The test pattern in a part of a screenshot (none in an empty part), in screen coordinates.
screentest::PatternPlace
patternIn(const QImage& shot, const QRect& area,
          screentest::PatternPlace (*find)(const QImage&) = screentest::findPattern) {
    if (area.isEmpty())
        return {};
    screentest::PatternPlace place = find(shot.copy(area));
    place.left += area.left();
    place.right += area.left();
    place.top += area.top();
    place.bottom += area.top();
    return place;
}

// The program started on a session of its own as a person starts it (with the given
// arguments), with its own sinks and a fresh profile and working folder.
class Desk {
public:
    bool Start(const QStringList& args, const QString& title, const QProcessEnvironment& extra = {},
               QSize screen = QSize(1280, 1024)) {
        if (!x.Start(screen))
            return false;
        QProcessEnvironment env = x.UserEnvironment(config.path());
        for (const QString& key : extra.keys())
            env.insert(key, extra.value(key));
        app = &x.Launch(QStringLiteral(LUMAREST_PROGRAM), args, env, work.path());
        return app->waitForStarted(5000) && WaitForTitle(title);
    }

    // Waits until the main frame is titled so; main then names it. A program that ended
    // ends the wait, and what it last printed is shown.
    bool WaitForTitle(const QString& title) {
        const QString pattern = '^' + QRegularExpression::escape(title) + '$';
        const bool titled = XSession::WaitFor(
            [&] {
                return !(main = x.FindWindow(pattern)).isEmpty() ||
                       app->state() == QProcess::NotRunning;
            },
            20000);
        if (!titled || main.isEmpty())
            ADD_FAILURE() << "no window titled \"" << qPrintable(title) << "\"; the program "
                          << (app->state() == QProcess::NotRunning ? "ended" : "runs")
                          << " and last printed:\n"
                          << qPrintable(XSession::Output(*app)) << "\nits threads:\n"
                          << qPrintable(XSession::Stacks(*app));
        return !main.isEmpty();
    }
    QString Title() const { return x.Xdo({"getwindowname", main}); }

    void Keys(const QStringList& keys) {
        x.Xdo({"windowactivate", "--sync", main});
        x.Xdo(QStringList{"key", "--delay", "150"} + keys);
    }
    void Click(QPoint at) {
        x.Xdo({"mousemove", QString::number(at.x()), QString::number(at.y())});
        sleepScaled(200);
        x.Xdo({"click", "1"});
    }

    // File/Open, the path typed into the dialog's name field.
    bool Open(const QString& path) {
        Keys({"alt+f", "o"});
        if (!XSession::WaitFor([&] { return !x.FindWindow("^Open$").isEmpty(); }, 10000))
            return false;
        sleepScaled(300);
        x.Xdo({"type", "--delay", "20", path});
        x.Xdo({"key", "Return"});
        return WaitForTitle("Lumarest - " + QFileInfo(path).fileName());
    }

    // Where the main frame's child windows lie, and its status bar, on the screen.
    QRect ChildArea() const {
        const QRect frame = x.Geometry(main);
        return frame.adjusted(0, kToolbarBottom, 0, -kStatusHeight - 2);
    }
    QRect StatusBar() const {
        const QRect frame = x.Geometry(main);
        return QRect(frame.left(), frame.bottom() - kStatusHeight + 2, frame.width(), 20);
    }
    // The panes at the right end of the status bar, the volume level among them; without the
    // lines of their frames above and below, which tesseract takes for letters.
    QString ReadPanes(const QImage& shot) const {
        const QRect bar = StatusBar();
        return XSession::Read(shot, bar.adjusted(bar.width() - 130, 3, 0, -3));
    }
    // The text at the start of the status bar (the time, or what stands in its place),
    // with what lies to its right.
    QString ReadTime(const QImage& shot) const {
        const QRect bar = StatusBar();
        return XSession::Read(shot, QRect(bar.topLeft(), QSize(300, bar.height())));
    }
    // Whether the slider's groove crosses the status bar between the time text and the
    // panes: the rows across the bar's middle there are not all of one shade.
    bool SliderShown(const QImage& shot) const {
        const QRect bar = StatusBar();
        const QRect band(bar.left() + 300, bar.top() + bar.height() / 4, bar.width() - 430,
                         bar.height() / 2);
        int lightest = 0, darkest = 255;
        for (int y = band.top(); y <= band.bottom(); ++y) {
            int sum = 0;
            for (int x = band.left(); x <= band.right(); ++x)
                sum += qGray(shot.pixel(x, y));
            lightest = std::max(lightest, sum / band.width());
            darkest = std::min(darkest, sum / band.width());
        }
        return lightest - darkest > 30;
    }

    // The test pattern in a part of the screen, in screen coordinates.
    screentest::PatternPlace FindPicture(const QImage& shot, const QRect& area) const {
        return patternIn(shot, area);
    }

    // The folders outlive the session, which ends the program first.
    QTemporaryDir media, work, config;
    XSession x;
    QString main;
    QProcess* app = nullptr;
};

QRect pictureRect(const screentest::PatternPlace& p) {
    return QRect(static_cast<int>(p.pictureLeft()), p.top, static_cast<int>(p.pictureWidth()),
                 static_cast<int>(p.pictureHeight()));
}

const QRegularExpression kTimeText(QStringLiteral("Time: +(\\d+) ?/ ?%1 sec").arg(kClipSeconds));

QString missingTools() {
    return XSession::MissingTools(
        {"Xvfb", "openbox", "xdotool", "xwininfo", "import", "tesseract"});
}

// Started with a file: keys over the picture, and full screen left with Escape.
TEST(PlayerAsAUserSeesIt, KeysOverThePictureAndFullScreenReachThePlayer) {
    if (const QString missing = missingTools(); !missing.isEmpty())
        GTEST_SKIP() << qPrintable(missing) << " is not installed";
    Desk desk;
    const QString file = fixtures::makeMedia(fixtures::Media::AviMjpeg, desk.media.path(),
                                             QStringLiteral("clip.avi"), kClipSeconds);
    ASSERT_FALSE(file.isEmpty());
    ASSERT_TRUE(desk.Start({file}, "Lumarest - clip.avi"));
    const QRect area = desk.ChildArea();
    screentest::PatternPlace place;
    ASSERT_TRUE(XSession::WaitFor(
        [&] { return (place = desk.FindPicture(desk.x.Shot(), area)).found; }, 10000))
        << "no picture on the screen";
    const QRect inWindow = pictureRect(place);

    // The pointer rests on the picture; two presses of Down lower the level from 100 to 98.
    desk.x.Xdo({"mousemove", QString::number(inWindow.center().x()),
                QString::number(inWindow.center().y())});
    sleepScaled(300);
    desk.x.Xdo({"key", "--delay", "150", "Down", "Down"});
    // The slider starts after the time text, once the first second has been counted: the
    // whole text is read.
    QString status, time;
    XSession::WaitFor(
        [&] {
            const QImage shot = desk.x.Shot();
            status = desk.ReadPanes(shot);
            time = desk.ReadTime(shot);
            return status.contains(QRegularExpression(QStringLiteral("\\b98\\b"))) &&
                   time.contains(kTimeText);
        },
        3000, 200);
    std::printf("status panes read: %s\ntime text reads: %s\n", qPrintable(status),
                qPrintable(time));
    EXPECT_TRUE(status.contains(QRegularExpression(QStringLiteral("\\b98\\b"))))
        << "Down over the picture did not lower the level: " << qPrintable(status);
    EXPECT_TRUE(time.contains(kTimeText)) << qPrintable(time);

    // Right: five seconds on at once. A click on the slider's track, at seven tenths of the
    // status bar: the time goes there, not a page on.
    const auto seconds = [](const QString& text) {
        const QRegularExpressionMatch m = kTimeText.match(text);
        return m.hasMatch() ? m.captured(1).toInt() : -1;
    };
    const int before = seconds(time);
    desk.x.Xdo({"key", "Right"});
    EXPECT_TRUE(XSession::WaitFor(
        [&] { return seconds(time = desk.ReadTime(desk.x.Shot())) >= before + 4; }, 3000, 100))
        << "Right did not seek: " << qPrintable(time);
    const QRect bar = desk.StatusBar();
    desk.Click(QPoint(bar.left() + bar.width() * 7 / 10, bar.center().y()));
    EXPECT_TRUE(XSession::WaitFor(
        [&] { return seconds(time = desk.ReadTime(desk.x.Shot())) >= 11; }, 3000, 100))
        << "the click on the track did not seek there: " << qPrintable(time);

    // View/Full screen: the picture covers the screen.
    desk.Keys({"alt+v", "Down", "Down", "Return"});
    const QSize screen = desk.x.Shot().size();
    ASSERT_TRUE(XSession::WaitFor(
        [&] {
            place = screentest::findPattern(desk.x.Shot());
            return place.found && place.pictureWidth() > screen.width() * 0.9;
        },
        10000))
        << "the picture never covered the screen";

    // Escape held for 0.3 s with the pointer on the picture: back in its window.
    desk.x.Xdo(
        {"mousemove", QString::number(screen.width() / 2), QString::number(screen.height() / 2)});
    sleepScaled(300);
    desk.x.Xdo({"keydown", "Escape"});
    QThread::msleep(300); // how long the key is held, not a wait for the program
    desk.x.Xdo({"keyup", "Escape"});
    EXPECT_TRUE(XSession::WaitFor(
        [&] {
            place = desk.FindPicture(desk.x.Shot(), area);
            return place.found &&
                   pictureRect(place).intersected(inWindow).width() > inWindow.width() * 0.9;
        },
        5000))
        << "after Escape the picture is not in its window again";
    // The status bar goes back to the time display.
    QString after;
    EXPECT_TRUE(XSession::WaitFor(
        [&] {
            after = desk.ReadTime(desk.x.Shot());
            return after.contains("Time") && !after.contains("full screen");
        },
        5000, 200))
        << "after leaving full screen the status bar reads: " << qPrintable(after);
}

// playerctl on a bus, for the program's player: what it printed.
QString playerctl(const QString& bus, const QStringList& args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral("playerctl"), QStringList{"-p", "lumarest"} + args);
    p.waitForFinished(testtime::scaled(10000));
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

// A menu closed with Escape, opened from the keyboard or by a click on its title, gives the
// keyboard back to the player: the status bar keeps its time text and slider, and Down
// lowers the level. The sound menu's volume is an amplitude: a half is -6 dB, level 94.
TEST(PlayerAsAUserSeesIt, MenusClosedWithEscapeAndTheSoundMenuKeepThePlayersStatus) {
    QString missing = missingTools();
    if (missing.isEmpty())
        missing = XSession::MissingTools({"dbus-daemon", "playerctl"});
    if (!missing.isEmpty())
        GTEST_SKIP() << qPrintable(missing) << " is not installed";
    QTemporaryDir busDir;
    const QString bus = "unix:path=" + busDir.filePath("bus");
    GroupedProcess busDaemon; // outlives the program, which the session ends first
    busDaemon.start("dbus-daemon", {"--session", "--nofork", "--address=" + bus});
    ASSERT_TRUE(XSession::WaitFor([&] { return QFileInfo::exists(busDir.filePath("bus")); }, 5000));
    Desk desk;
    const QString file = fixtures::makeMedia(fixtures::Media::AviMjpeg, desk.media.path(),
                                             QStringLiteral("long.avi"), 60);
    ASSERT_FALSE(file.isEmpty());
    QProcessEnvironment env;
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus);
    ASSERT_TRUE(desk.Start({file}, "Lumarest - long.avi", env));

    // Both come back once the menu has gone, and stay.
    QString time;
    bool slider = false;
    const auto statusShown = [&] {
        const QImage shot = desk.x.Shot();
        time = desk.ReadTime(shot);
        slider = desk.SliderShown(shot);
        return time.contains("Time") && time.contains("sec") && slider;
    };
    const auto expectStatusKept = [&](const char* after) {
        EXPECT_TRUE(XSession::WaitFor(statusShown, 5000, 100))
            << after << ": the time text reads \"" << qPrintable(time) << "\", slider " << slider;
        QElapsedTimer shown;
        shown.start();
        while (shown.elapsed() < testtime::scaled(2000))
            if (!statusShown()) {
                ADD_FAILURE() << after << ": the time text went: \"" << qPrintable(time)
                              << "\", slider " << slider;
                break;
            }
    };
    ASSERT_TRUE(XSession::WaitFor(statusShown, 10000, 100))
        << "at start the time text reads \"" << qPrintable(time) << "\", slider " << slider;
    desk.Keys({"alt+v", "Escape"});
    expectStatusKept("Alt+V, Escape");

    // The View menu's title, clicked: the menu opens below it.
    const QRect frame = desk.x.Geometry(desk.main);
    const QRect menuBar(frame.topLeft(), QSize(frame.width(), kToolbarBottom / 2));
    const QRect view = XSession::Locate(desk.x.Shot(), menuBar, "View");
    ASSERT_FALSE(view.isEmpty()) << "no View in the menu bar";
    desk.Click(view.center());
    const QRect menu(view.left() - 10, view.bottom() + 4, 240, 100);
    QString items;
    EXPECT_TRUE(XSession::WaitFor(
        [&] { return (items = XSession::Read(desk.x.Shot(), menu, 6)).contains("Full screen"); },
        3000, 100))
        << "no View menu below its title: " << qPrintable(items);
    desk.x.Xdo({"key", "Escape"});
    expectStatusKept("a click on View, Escape");
    desk.x.Xdo({"key", "Down"});
    QString panes;
    EXPECT_TRUE(XSession::WaitFor(
        [&] {
            return (panes = desk.ReadPanes(desk.x.Shot())).contains(QRegularExpression("\\b99\\b"));
        },
        3000, 100))
        << "Down after the menu did not lower the level: " << qPrintable(panes);

    // The sound menu: half the amplitude.
    ASSERT_TRUE(XSession::WaitFor([&] { return !playerctl(bus, {"volume"}).isEmpty(); }, 5000, 200))
        << "no player lumarest on the bus";
    playerctl(bus, {"volume", "0.5"});
    EXPECT_TRUE(XSession::WaitFor(
        [&] {
            return (panes = desk.ReadPanes(desk.x.Shot())).contains(QRegularExpression("\\b94\\b"));
        },
        3000, 100))
        << "after volume 0.5 the panes read: " << qPrintable(panes);
    const QString volume = playerctl(bus, {"volume"});
    EXPECT_NEAR(volume.toDouble(), 0.5, 0.02) << qPrintable(volume);
}

// A 1920 x 1080 screen at twice the scale, or with a large font (which Qt scales by too:
// 144 dots an inch is one and a half): the main window opens on the screen with its status
// bar in view, and a video fills its view as it does at the normal scale.
TEST(PlayerAsAUserSeesIt, AtALargeScaleOrFontEverythingStaysInView) {
    if (const QString missing = missingTools(); !missing.isEmpty())
        GTEST_SKIP() << qPrintable(missing) << " is not installed";
    const QSize screen(1920, 1080);
    struct Setting {
        const char* name;
        const char* value;
        double scale;
    };
    const Setting settings[] = {
        {nullptr, nullptr, 1.0}, {"QT_SCALE_FACTOR", "2", 2.0}, {"QT_FONT_DPI", "144", 1.5}};
    double normalWidth = 0; // the picture's width at the normal scale
    for (const Setting& setting : settings) {
        SCOPED_TRACE(setting.name ? std::string(setting.name) + "=" + setting.value : "normal");
        Desk desk;
        const QString file =
            fixtures::makeMedia(fixtures::Media::AviMjpeg, desk.media.path(),
                                QStringLiteral("small.avi"), kClipSeconds, QSize(320, 240));
        ASSERT_FALSE(file.isEmpty());
        QProcessEnvironment env;
        if (setting.name)
            env.insert(setting.name, setting.value);
        ASSERT_TRUE(desk.Start({file}, "Lumarest - small.avi", env, screen));
        const QRect frame = desk.x.Geometry(desk.main);
        EXPECT_TRUE(QRect(QPoint(0, 0), screen).contains(frame))
            << "the main window lies at " << frame.x() << "," << frame.y() << " " << frame.width()
            << "x" << frame.height();
        // The status bar's time text, read at the bottom of the window.
        const int barHeight = static_cast<int>(40 * setting.scale);
        const QRect bar(frame.left(), frame.bottom() - barHeight,
                        static_cast<int>(500 * setting.scale), barHeight);
        QString time;
        EXPECT_TRUE(XSession::WaitFor(
            [&] { return (time = XSession::Read(desk.x.Shot(), bar, 6)).contains("Time"); }, 5000,
            200))
            << "the status bar reads: " << qPrintable(time);
        screentest::PatternPlace place;
        ASSERT_TRUE(XSession::WaitFor(
            [&] {
                place = patternIn(desk.x.Shot(), frame, screentest::findPatternAmongOthers);
                return place.found;
            },
            5000));
        if (!setting.name)
            normalWidth = place.pictureWidth();
        EXPECT_NEAR(place.pictureWidth(), normalWidth * setting.scale,
                    normalWidth * setting.scale * 0.08);

        // A menu opened over the picture and closed again leaves nothing of itself there.
        const QRect bars(place.left, place.top, place.right - place.left + 1,
                         place.bottom - place.top + 1);
        const QImage before = desk.x.Shot().copy(bars);
        desk.Keys({"alt+p"});
        sleepScaled(500);
        desk.x.Xdo({"key", "Escape", "Escape"});
        int changed = 0;
        XSession::WaitFor(
            [&] {
                sleepScaled(200);
                const QImage after = desk.x.Shot().copy(bars);
                changed = 0;
                for (int y = 0; y < before.height(); ++y)
                    for (int x = 0; x < before.width(); ++x)
                        changed += before.pixel(x, y) != after.pixel(x, y) ? 1 : 0;
                return changed < before.width() * before.height() / 50;
            },
            3000);
        EXPECT_LT(changed, before.width() * before.height() / 50)
            << "pixels of the picture's bars changed by the menu";
    }
}

// A subtitle file beside a video, with the same name: its lines are drawn on the picture,
// and View / Subtitles takes them off and puts them back.
TEST(PlayerAsAUserSeesIt, SubtitlesBesideAVideoShowAndHide) {
    if (const QString missing = missingTools(); !missing.isEmpty())
        GTEST_SKIP() << qPrintable(missing) << " is not installed";
    Desk desk;
    const QString file = fixtures::makeMedia(fixtures::Media::AviMjpeg, desk.media.path(),
                                             QStringLiteral("film.avi"), kClipSeconds);
    ASSERT_FALSE(file.isEmpty());
    ASSERT_FALSE(fixtures::writeFile(desk.media.path(), QStringLiteral("film.srt"),
                                     "1\n00:00:00,000 --> 00:00:58,000\nWWWWWWWWWWWW\n\n"
                                     "2\n00:00:58,100 --> 00:00:59,000\nA second line\n\n"
                                     "3\n00:00:59,100 --> 00:01:00,000\nThe last line\n\n")
                     .isEmpty());
    ASSERT_TRUE(desk.Start({file}, "Lumarest - film.avi"));
    screentest::PatternPlace place;
    ASSERT_TRUE(XSession::WaitFor(
        [&] { return (place = desk.FindPicture(desk.x.Shot(), desk.ChildArea())).found; }, 10000));
    // The lower third of the picture, left of its moving noise: where the line is drawn.
    const QRect picture = pictureRect(place);
    const QRect lines(picture.left() + picture.width() / 10,
                      picture.top() + picture.height() * 2 / 3, picture.width() * 58 / 100,
                      picture.height() / 3);
    const auto differing = [&](const QImage& a, const QImage& b) {
        int n = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x)
                n += std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y))) > 60 ? 1 : 0;
        return n;
    };
    const QImage shown = desk.x.Shot().copy(lines);
    desk.Keys({"alt+v", "Up", "Return"}); // the menu's last item: Subtitles
    int changed = 0;
    EXPECT_TRUE(XSession::WaitFor(
        [&] { return (changed = differing(shown, desk.x.Shot().copy(lines))) > 40; }, 4000, 200))
        << "hiding the subtitles changed " << changed << " pixels under them";
    const QImage hidden = desk.x.Shot().copy(lines);
    desk.Keys({"alt+v", "Up", "Return"});
    EXPECT_TRUE(XSession::WaitFor(
        [&] { return (changed = differing(hidden, desk.x.Shot().copy(lines))) > 40; }, 4000, 200))
        << "showing them again changed " << changed << " pixels";
}

// A video larger than the main window opens whole, scaled down with its shape kept, inside
// the area of the child windows: nothing of it lies beyond, no scroll bars hide it.
TEST(PlayerAsAUserSeesIt, AVideoLargerThanTheWindowShowsWhole) {
    if (const QString missing = missingTools(); !missing.isEmpty())
        GTEST_SKIP() << qPrintable(missing) << " is not installed";
    Desk desk;
    const QString file =
        fixtures::makeMedia(fixtures::Media::AviMjpeg, desk.media.path(),
                            QStringLiteral("wide.avi"), kClipSeconds, QSize(1600, 1200));
    ASSERT_FALSE(file.isEmpty());
    ASSERT_TRUE(desk.Start({file}, "Lumarest - wide.avi"));
    const QRect area = desk.ChildArea();
    ASSERT_LT(area.width(), 1600);
    screentest::PatternPlace place;
    const bool whole = XSession::WaitFor(
        [&] {
            place = desk.FindPicture(desk.x.Shot(), area);
            const QRect picture = pictureRect(place);
            return place.found && area.adjusted(-4, -4, 4, 4).contains(picture) &&
                   picture.height() > area.height() * 0.6;
        },
        10000);
    const QRect picture = pictureRect(place);
    EXPECT_TRUE(whole) << "picture found " << place.found << " at " << picture.x() << ","
                       << picture.y() << " " << picture.width() << " x " << picture.height()
                       << " in the area " << area.width() << " x " << area.height();
    EXPECT_NEAR(double(picture.width()) / picture.height(), 4.0 / 3.0, 0.05);
}

// What a phone makes, portrait video and photo stored on their side: each stands upright in
// a window of its upright shape, the test pattern's bars read top to bottom. A video of wide
// pixels shows at its true shape.
TEST(PlayerAsAUserSeesIt, PhonePicturesStandUprightAndWidePixelsShowWide) {
    if (const QString missing = missingTools(); !missing.isEmpty())
        GTEST_SKIP() << qPrintable(missing) << " is not installed";
    QTemporaryDir media;
    const QSize upright(240, 320);
    // Each file with the shape it is seen at, and a width its picture passes only when its
    // window was sized for that shape.
    struct Case {
        QString file;
        double shape;
        int widerThan;
    };
    const Case cases[] = {
        {fixtures::makePhoneVideo(media.path(), QStringLiteral("portrait.mp4"), upright,
                                  kClipSeconds),
         0.75, 150},
        {fixtures::makePhonePhoto(media.path(), QStringLiteral("photo.jpg"), upright), 0.75, 150},
        {fixtures::makeWidePixelVideo(media.path(), QStringLiteral("wide.mp4"), QSize(240, 180),
                                      kClipSeconds),
         2 * 240.0 / 180, 300}};
    for (const Case& c : cases) {
        ASSERT_FALSE(c.file.isEmpty());
        Desk desk;
        ASSERT_TRUE(desk.Start({c.file}, "Lumarest - " + QFileInfo(c.file).fileName()));
        const QRect area = desk.ChildArea();
        screentest::PatternPlace place;
        EXPECT_TRUE(XSession::WaitFor(
            [&] { return (place = desk.FindPicture(desk.x.Shot(), area)).found; }, 10000))
            << qPrintable(c.file) << ": no upright picture on the screen";
        const QRect picture = pictureRect(place);
        EXPECT_NEAR(double(picture.width()) / picture.height(), c.shape, 0.05 * c.shape)
            << qPrintable(c.file) << ": " << picture.width() << " x " << picture.height();
        EXPECT_GT(picture.width(), c.widerThan) << qPrintable(c.file);
    }
}

// Sound files opened in turn, then Window/Tile: each strip becomes a tile painted whole
// in the view's colour, not left grey until the user activates it.
TEST(PlayerAsAUserSeesIt, TiledSoundWindowsArePaintedWhole) {
    if (const QString missing = missingTools(); !missing.isEmpty())
        GTEST_SKIP() << qPrintable(missing) << " is not installed";
    Desk desk;
    QString files[2];
    for (int i = 0; i < 2; ++i) {
        files[i] = fixtures::makeMedia(fixtures::Media::Wav, desk.media.path(),
                                       QStringLiteral("song%1.wav").arg(i), kClipSeconds);
        ASSERT_FALSE(files[i].isEmpty());
    }
    ASSERT_TRUE(desk.Start({}, "Lumarest"));
    for (const QString& file : files)
        ASSERT_TRUE(desk.Open(file)) << "File/Open did not open " << qPrintable(file);
    desk.Keys({"alt+w", "t"});
    const QRect area = desk.ChildArea();
    const QRect halves[2] = {QRect(area.topLeft(), QSize(area.width() / 2, area.height())),
                             QRect(area.topLeft() + QPoint(area.width() / 2, 0),
                                   QSize(area.width() / 2, area.height()))};
    // Below the tiles' captions, the views fill almost all of each half.
    const auto painted = [&](const QImage& shot, int i) {
        const QRect below = halves[i].adjusted(8, 40, -8, -8);
        return countViewBackground(shot.copy(below)) / double(below.width() * below.height());
    };
    double share[2] = {0, 0};
    const bool whole = XSession::WaitFor(
        [&] {
            sleepScaled(300);
            const QImage shot = desk.x.Shot();
            for (int i = 0; i < 2; ++i)
                share[i] = painted(shot, i);
            return share[0] > 0.9 && share[1] > 0.9;
        },
        5000, 100);
    EXPECT_TRUE(whole) << "after Tile the views are painted " << share[0] << " and " << share[1];
}

// Started without a file, then two videos opened through File/Open; the windows arranged
// from the Window menu, and each activated by a click on its picture.
TEST(PlayerAsAUserSeesIt, OpenedVideosKeepTheirPicturesThroughArrangingAndClicks) {
    if (const QString missing = missingTools(); !missing.isEmpty())
        GTEST_SKIP() << qPrintable(missing) << " is not installed";
    Desk desk;
    const QString one = fixtures::makeMedia(fixtures::Media::AviMjpeg, desk.media.path(),
                                            QStringLiteral("one.avi"), kClipSeconds);
    const QString two =
        fixtures::makeMedia(fixtures::Media::AviMjpeg, desk.media.path(), QStringLiteral("two.avi"),
                            kClipSeconds, QSize(400, 300));
    ASSERT_FALSE(one.isEmpty());
    ASSERT_FALSE(two.isEmpty());
    ASSERT_TRUE(desk.Start({}, "Lumarest"));
    ASSERT_TRUE(desk.Open(one)) << "File/Open did not open " << qPrintable(one);
    const QRect area = desk.ChildArea();
    ASSERT_TRUE(
        XSession::WaitFor([&] { return desk.FindPicture(desk.x.Shot(), area).found; }, 10000))
        << "no picture after File/Open";

    // The slider, placed after the blank the status bar showed at start, leaves the time
    // text whole.
    QString time;
    EXPECT_TRUE(XSession::WaitFor(
        [&] { return (time = desk.ReadTime(desk.x.Shot())).contains(kTimeText); }, 4000, 200))
        << "the time text reads: " << qPrintable(time);
    // Numeric-pad + says the new slide delay there, its unit not under the slider either. The
    // next tick of the clock puts the time back: a reading may come too late, so a few tries.
    QString delay;
    for (int attempt = 0; attempt < 4 && !delay.contains("delay"); ++attempt) {
        desk.x.Xdo({"key", attempt % 2 == 0 ? "KP_Add" : "KP_Subtract"});
        delay = desk.ReadTime(desk.x.Shot());
    }
    std::printf("slide delay text reads: %s\n", qPrintable(delay));
    EXPECT_TRUE(delay.contains(QRegularExpression(QStringLiteral("delay +\\d+[.,]\\d\\d +sec"))))
        << qPrintable(delay);

    ASSERT_TRUE(desk.Open(two)) << "File/Open did not open " << qPrintable(two);

    // Window/Tile: two pictures side by side, each fitted to its window's width, with no
    // empty band of the view's background below it.
    desk.Keys({"alt+w", "t"});
    const QRect left(area.topLeft(), QSize(area.width() / 2, area.height()));
    const QRect right(QPoint(left.right() + 1, area.top()), left.size());
    screentest::PatternPlace tiled[2];
    const QRect halves[2] = {left, right};
    const bool bothShown = XSession::WaitFor(
        [&] {
            sleepScaled(300);
            const QImage shot = desk.x.Shot();
            for (int i = 0; i < 2; ++i)
                tiled[i] = desk.FindPicture(shot, halves[i]);
            return tiled[0].found && tiled[1].found &&
                   tiled[0].pictureWidth() > left.width() * 0.85 &&
                   tiled[1].pictureWidth() > right.width() * 0.85;
        },
        6000, 100);
    EXPECT_TRUE(bothShown) << "after Tile: pictures found " << tiled[0].found << " "
                           << tiled[1].found << ", widths " << tiled[0].pictureWidth() << " "
                           << tiled[1].pictureWidth() << " of " << left.width();
    QImage shot = desk.x.Shot();
    for (int i = 0; i < 2; ++i) {
        const int background = countViewBackground(shot.copy(halves[i]));
        EXPECT_LT(background, halves[i].width() * 12)
            << "after Tile window " << i << " shows " << background
            << " pixels of empty background around its picture";
    }

    // A click on each picture activates its window.
    ASSERT_TRUE(bothShown);
    QString titles[2];
    for (int i = 0; i < 2; ++i) {
        desk.Click(pictureRect(tiled[i]).center());
        sleepScaled(500);
        titles[i] = desk.Title();
    }
    EXPECT_NE(titles[0], titles[1])
        << "a click on the other picture left " << qPrintable(titles[0]) << " active";
    const QStringList expected = {"Lumarest - one.avi", "Lumarest - two.avi"};
    EXPECT_TRUE(expected.contains(titles[0]) && expected.contains(titles[1]))
        << qPrintable(titles[0]) << " / " << qPrintable(titles[1]);

    // Window/Cascade: the front window shows its whole picture, and so does the one behind
    // once brought forward. A whole picture in the child area, not the one seen at unlike:
    const auto wholePicture = [&](screentest::PatternPlace& place, int unlike) {
        return XSession::WaitFor(
            [&] {
                sleepScaled(300);
                place = desk.FindPicture(desk.x.Shot(), area);
                return place.found && place.pictureHeight() >= 200 && place.left != unlike;
            },
            6000, 100);
    };
    desk.Keys({"alt+w", "c"});
    screentest::PatternPlace front;
    EXPECT_TRUE(wholePicture(front, -1)) << "after Cascade the front window shows no picture";
    // The window behind, brought forward from the Window menu's list of windows (1 one.avi,
    // 2 two.avi), shows its own whole picture where Cascade put it.
    const QString frontTitle = desk.Title();
    desk.Keys({"alt+w", frontTitle.endsWith("one.avi") ? "2" : "1"});
    EXPECT_TRUE(XSession::WaitFor([&] { return desk.Title() != frontTitle; }, 3000))
        << "the window behind did not come forward";
    screentest::PatternPlace behind;
    EXPECT_TRUE(wholePicture(behind, front.left))
        << "after Cascade the window behind shows no picture of its own";
    shot = desk.x.Shot();
    EXPECT_LT(countViewBackground(shot.copy(area)), area.width() * 12)
        << "after Cascade a window shows empty background";
}

// The everyday controls as a person uses them over a six-minute film with tracks and
// chapters (fixtures::makeTrackedFilm): each key, and what the screen then shows, in the
// status bar (its start, or the panes at its right end) or in the main window's title.
constexpr int kFilmSeconds = 360;
const QString kFilm = QStringLiteral("film.mkv");

struct ControlStep {
    QStringList keys;
    enum class Where { Start, Panes, Title } where;
    const char* shows; // a pattern; "!" before it: what no longer shows
};

const std::vector<ControlStep>& everydaySteps() {
    using W = ControlStep::Where;
    static const std::vector<ControlStep> steps = {
        {{"Next"}, W::Start, "Time: +1[23]\\d\\D+360"}, // the second chapter, at 120 s
        {{"bracketright"}, W::Panes, "1\\.1x"},
        {{"BackSpace"}, W::Panes, "!1\\.1"},
        {{"numbersign"}, W::Start, "Sound: French"},
        {{"j"}, W::Start, "Subtitles: Track 2"},
        // Closed, and opened again from the recent files: it picks up at the chapter.
        {{"alt+f", "c"}, W::Title, "^Lumarest$"},
        {{"alt+f", "1"}, W::Title, "^Lumarest - film\\.mkv$"},
        {{}, W::Start, "Resumed at 2:[0-5]\\d"},
    };
    return steps;
}

// How a session shows the program to the steps: keys typed on its keyboard, the status
// bar's rectangle on a shot of the screen, the main window's title.
struct ControlScreen {
    std::function<void(const QStringList&)> type;
    std::function<QImage()> shot;
    std::function<QRect()> statusBar;
    std::function<QString()> title;
};

void expectEverydaySteps(const ControlScreen& screen) {
    for (const ControlStep& step : everydaySteps()) {
        if (!step.keys.isEmpty())
            screen.type(step.keys);
        const QString shows = QString::fromUtf8(step.shows);
        const bool gone = shows.startsWith('!');
        const QRegularExpression pattern(gone ? shows.mid(1) : shows);
        QString seen;
        const bool ok = XSession::WaitFor(
            [&] {
                if (step.where == ControlStep::Where::Title) {
                    seen = screen.title();
                } else {
                    const QRect bar = screen.statusBar();
                    const QRect part = step.where == ControlStep::Where::Start
                                           ? QRect(bar.topLeft(), QSize(300, bar.height()))
                                           : bar.adjusted(bar.width() - 130, 3, 0, -3);
                    seen = XSession::Read(screen.shot(), part);
                }
                return seen.contains(pattern) != gone;
            },
            5000, 200);
        EXPECT_TRUE(ok) << "after " << qPrintable(step.keys.join(' ')) << " expected " << step.shows
                        << ", seen: " << qPrintable(seen);
    }
}

// Tracks, speed, chapters and picking up where it was left, by their keys on X11.
TEST(PlayerAsAUserSeesIt, EverydayControlsByTheirKeys) {
    if (const QString missing = missingTools(); !missing.isEmpty())
        GTEST_SKIP() << qPrintable(missing) << " is not installed";
    Desk desk;
    const QString file = fixtures::makeTrackedFilm(desk.media.path(), kFilm, kFilmSeconds);
    ASSERT_FALSE(file.isEmpty());
    ASSERT_TRUE(desk.Start({file}, "Lumarest - " + kFilm));
    ASSERT_TRUE(XSession::WaitFor([&] { return desk.ReadTime(desk.x.Shot()).contains("Time"); },
                                  10000, 200));
    expectEverydaySteps({[&](const QStringList& keys) { desk.Keys(keys); },
                         [&] { return desk.x.Shot(); }, [&] { return desk.StatusBar(); },
                         [&] { return desk.Title(); }});

    // A stream whose server never sends it: while it starts, the program takes the user's
    // keys. Here the Window menu brings the film back to the front.
    fixtures::LocalHttpServer server;
    server.serve("/radio/stall", QByteArray(4096, '\0'), fixtures::LocalHttpServer::Answer::Stall);
    desk.Keys({"ctrl+l"});
    ASSERT_TRUE(
        XSession::WaitFor([&] { return !desk.x.FindWindow("^Open Location$").isEmpty(); }, 10000));
    sleepScaled(300);
    desk.x.Xdo({"type", "--delay", "20", server.url("/radio/stall")});
    desk.x.Xdo({"key", "Return"});
    ASSERT_TRUE(desk.WaitForTitle("Lumarest - stall"));
    desk.Keys({"alt+w", "1"});
    EXPECT_TRUE(XSession::WaitFor([&] { return desk.Title() == "Lumarest - " + kFilm; }, 5000))
        << "the keys waited for the stream";
    EXPECT_TRUE(desk.x.FindWindow("^Lumarest$").isEmpty()) << "the stream is still starting";
}

// The title bar (whoever draws it: the program itself on Wayland, weston for XWayland's
// windows, with its shadow), the menu bar and the toolbar lie within this from the top of
// a window as weston places it.
constexpr int kChromeHeight = 120;

QString lastLines(const QString& text, int count) {
    QStringList lines = text.split('\n', Qt::SkipEmptyParts);
    // What the sound libraries say of the missing sound card tells nothing of the program.
    lines.removeIf([](const QString& line) {
        return line.startsWith("ALSA lib ") || line.startsWith("AL lib: ");
    });
    return lines.mid(-count).join('\n');
}

// The program started with a file on a Wayland session of its own as a person starts it:
// no choice of Qt platform or media outputs made for it, a fresh profile and working folder.
// Its main window is found by title in weston's list of windows, and the picture looked
// for inside that window's area.
class WaylandDesk {
public:
    bool Start(WaylandSession::Renderer renderer, const QString& file,
               const QProcessEnvironment& extra,
               WaylandSession::Backend backend = WaylandSession::Backend::Headless) {
        if (!session.Start(renderer, QSize(1280, 1024), backend))
            return false;
        QProcessEnvironment env = session.UserEnvironment(config.path());
        for (const QString& key : extra.keys())
            env.insert(key, extra.value(key));
        title = "Lumarest - " + QFileInfo(file).fileName();
        app = &session.Launch(QStringLiteral(LUMAREST_PROGRAM), {file}, env, work.path());
        return app->waitForStarted(5000);
    }

    bool Running() const {
        return app->state() != QProcess::NotRunning && !app->waitForFinished(0);
    }
    // Whether the program still runs after ms more of playing; an end is seen at once.
    bool RunsFor(int ms) const { return Running() && !app->waitForFinished(testtime::scaled(ms)); }

    // False when the window never came, or the program ended.
    bool WaitForWindow() {
        return XSession::WaitFor(
                   [&] {
                       window = session.FindWindow(title);
                       return !window.area.isEmpty() || !Running();
                   },
                   20000, 100) &&
               Running();
    }

    // Until the test pattern shows inside the main window, below its menu bar (the
    // toolbar's icons have yellow in them): shot, place and chrome then tell what was seen.
    bool WaitForPicture() {
        bool shown = false;
        XSession::WaitFor(
            [&] {
                Look();
                place = patternIn(shot, window.area, screentest::findPatternAmongOthers);
                shown = place.found && MenuBarShown();
                return shown || !Running();
            },
            10000, 100);
        return shown;
    }
    // Until the main window's menu bar is on the screen.
    bool WaitForMenuBar() {
        place = {};
        return XSession::WaitFor(
                   [&] {
                       Look();
                       return MenuBarShown() || !Running();
                   },
                   10000, 100) &&
               Running();
    }

    // The top-level windows on the screen, topmost first.
    QStringList Titles() const {
        QStringList titles;
        for (const WaylandSession::Window& w : session.Windows())
            titles << QStringLiteral("'%1' (%2) at %3,%4 %5x%6")
                          .arg(w.title, w.role)
                          .arg(w.area.left())
                          .arg(w.area.top())
                          .arg(w.area.width())
                          .arg(w.area.height());
        return titles;
    }

    // How things stand, for a failure's message: what was seen, the windows, how the
    // program ended.
    std::string Report() const {
        QString report = place.found ? "picture found" : "no picture";
        if (!chrome.isEmpty())
            report += ", read at the window's top: \"" + chrome + '"';
        report += "; windows: " + Titles().join(", ");
        if (Running()) {
            if (const QString words = lastLines(WaylandSession::Output(*app), 8); !words.isEmpty())
                report += "; it printed:\n" + words;
            if (!place.found && window.area.isEmpty())
                report += "\nits threads:\n" + XSession::Stacks(*app) + "\nweston's log:\n" +
                          lastLines(session.Log(), 8);
            return report.toStdString();
        }
        const bool crashed = app->exitStatus() == QProcess::CrashExit;
        report += QStringLiteral("; the program %1 (%2 %3)")
                      .arg(crashed ? "crashed" : "ended", crashed ? "signal" : "status")
                      .arg(app->exitCode());
        if (const QString words = lastLines(WaylandSession::Output(*app), 8); !words.isEmpty())
            report += "; its last words:\n" + words;
        return report.toStdString();
    }

    // The folders outlive the session, which ends the program first.
    QTemporaryDir media, work, config;
    WaylandSession session;
    QProcess* app = nullptr;
    QString title;
    WaylandSession::Window window;
    QImage shot;
    screentest::PatternPlace place;
    QString chrome;

private:
    void Look() {
        window = session.FindWindow(title);
        shot = session.Shot();
        chrome.clear();
    }

    // The window's own pixels: its menu bar read in its title, menu bar and toolbar (those
    // above the picture, if any).
    bool MenuBarShown() {
        QRect band = window.area;
        band.setHeight(std::min(band.height(), kChromeHeight));
        if (place.found)
            band.setBottom(std::min(band.bottom(), place.top - 1));
        chrome = band.isEmpty() ? QString() : XSession::Read(shot, band, 6);
        return chrome.contains("Playlist") && chrome.contains("Help");
    }
};

class PlayerOnAWaylandSession : public ::testing::Test {
protected:
    void SetUp() override {
        QString missing = WaylandSession::MissingTools();
        if (missing.isEmpty())
            missing = XSession::MissingTools({"tesseract"});
        if (!missing.isEmpty())
            GTEST_SKIP() << qPrintable(missing) << " is not installed";
    }

    void StartWith(fixtures::Media kind, const QString& name,
                   WaylandSession::Renderer renderer = WaylandSession::Renderer::Pixman,
                   const QProcessEnvironment& extra = {},
                   WaylandSession::Backend backend = WaylandSession::Backend::Headless) {
        const QString file = fixtures::makeMedia(kind, desk.media.path(), name, kClipSeconds);
        ASSERT_FALSE(file.isEmpty());
        ASSERT_TRUE(desk.Start(renderer, file, extra, backend))
            << "weston or the program did not start:\n"
            << qPrintable(lastLines(desk.session.Log(), 8));
        ASSERT_TRUE(desk.WaitForWindow())
            << "no window titled " << qPrintable(desk.title) << "; " << desk.Report();
    }

    // Nothing else opened a window: no message box, no output with a window of its own.
    void ExpectMainWindowAlone() { EXPECT_EQ(desk.Titles().size(), 1) << desk.Report(); }

    // The picture shows in the program's window below its toolbar, in all its colours, and
    // stays there while the file plays.
    void ExpectPictureInWindow() {
        ASSERT_TRUE(desk.WaitForPicture())
            << "no picture below the menu bar in the window's area; " << desk.Report();
        EXPECT_GE(desk.place.top - desk.window.area.top(), kToolbarBottom)
            << "the picture is not below the toolbar; " << desk.Report();
        const QRect picture = pictureRect(desk.place).intersected(desk.window.area);
        EXPECT_TRUE(screentest::allBarsSeen(screentest::countBars(desk.shot.copy(picture))));
        EXPECT_TRUE(desk.RunsFor(3000)) << "the program ended while playing; " << desk.Report();
        EXPECT_TRUE(desk.WaitForPicture()) << "the picture went; " << desk.Report();
        ExpectMainWindowAlone();
    }

    // F and Escape typed on weston's keyboard (weston nested in an X server): F takes the
    // picture to the whole screen and back, in the main window and in the full-screen one;
    // Escape leaves full screen. What covers the screen is read from weston's scene graph.
    void ExpectFullScreenKeys(const QProcessEnvironment& extra) {
        if (const QString missing = XSession::MissingTools({"Xvfb", "xdotool"}); !missing.isEmpty())
            GTEST_SKIP() << qPrintable(missing) << " is not installed";
        ASSERT_NO_FATAL_FAILURE(StartWith(fixtures::Media::Mp4H264, QStringLiteral("clip.mp4"),
                                          WaylandSession::Renderer::Pixman, extra,
                                          WaylandSession::Backend::NestedInX));
        ASSERT_TRUE(desk.WaitForPicture()) << "no picture in the window; " << desk.Report();
        const QRect screen(QPoint(0, 0), desk.shot.size());
        QPoint picture = pictureRect(desk.place).center();
        const auto full = [&] {
            const std::vector<WaylandSession::Window> windows = desk.session.Windows();
            return std::any_of(windows.begin(), windows.end(),
                               [&](const WaylandSession::Window& w) { return w.area == screen; });
        };
        const std::pair<const char*, bool> steps[] = {
            {"f", true}, {"Escape", false}, {"f", true}, {"f", false}};
        bool wasFull = false;
        for (const auto& [key, toFull] : steps) {
            // weston gives the main window the keyboard back only a while after the
            // full-screen window went: a click on the picture gives it at once (each at
            // another place, that two clicks are never taken for a double-click).
            if (!wasFull) {
                desk.session.Xdo(
                    {"mousemove", QString::number(picture.x()), QString::number(picture.y())});
                desk.session.Xdo({"click", "1"});
                picture += QPoint(0, 20);
            }
            desk.session.Xdo({"key", key});
            EXPECT_TRUE(XSession::WaitFor([&] { return full() == toFull; }, 5000, 100))
                << "after " << key << " the picture is " << (toFull ? "not " : "still ")
                << "on the whole screen; " << desk.Report();
            wasFull = toFull;
        }
    }

    WaylandDesk desk;
};

QProcessEnvironment onXWayland() {
    QProcessEnvironment env;
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    return env;
}

TEST_F(PlayerOnAWaylandSession, AVideoShowsInItsWindow) {
    ASSERT_NO_FATAL_FAILURE(StartWith(fixtures::Media::Mp4H264, QStringLiteral("clip.mp4")));
    ExpectPictureInWindow();
}

TEST_F(PlayerOnAWaylandSession, AStillPictureShowsInItsWindow) {
    ASSERT_NO_FATAL_FAILURE(StartWith(fixtures::Media::Png, QStringLiteral("still.png")));
    ExpectPictureInWindow();
}

// A phone's portrait video, stored on its side: upright in its window on Wayland too.
TEST_F(PlayerOnAWaylandSession, APhoneVideoStandsUpright) {
    const QString file = fixtures::makePhoneVideo(desk.media.path(), QStringLiteral("portrait.mp4"),
                                                  QSize(240, 320), kClipSeconds);
    ASSERT_FALSE(file.isEmpty());
    ASSERT_TRUE(desk.Start(WaylandSession::Renderer::Pixman, file, {}))
        << "weston or the program did not start";
    ASSERT_TRUE(desk.WaitForWindow()) << "no window titled " << qPrintable(desk.title);
    ASSERT_TRUE(desk.WaitForPicture()) << "no upright picture in the window; " << desk.Report();
    const QRect picture = pictureRect(desk.place);
    EXPECT_NEAR(double(picture.width()) / picture.height(), 0.75, 0.05)
        << picture.width() << " x " << picture.height();
}

TEST_F(PlayerOnAWaylandSession, ASoundFilePlaysWithItsWindowShown) {
    ASSERT_NO_FATAL_FAILURE(StartWith(fixtures::Media::OggVorbis, QStringLiteral("tone.ogg")));
    EXPECT_TRUE(desk.RunsFor(3000)) << "the program ended while playing; " << desk.Report();
    EXPECT_TRUE(desk.WaitForMenuBar())
        << "the window's menu bar is not on the screen; " << desk.Report();
    ExpectMainWindowAlone();
}

TEST_F(PlayerOnAWaylandSession, AVideoShowsInItsWindowThroughXWayland) {
    ASSERT_NO_FATAL_FAILURE(StartWith(fixtures::Media::Mp4H264, QStringLiteral("clip.mp4"),
                                      WaylandSession::Renderer::Pixman, onXWayland()));
    ExpectPictureInWindow();
}

TEST_F(PlayerOnAWaylandSession, FullScreenKeysTypedOnWestonsKeyboard) {
    ExpectFullScreenKeys({});
}

TEST_F(PlayerOnAWaylandSession, FullScreenKeysTypedOnWestonsKeyboardThroughXWayland) {
    ExpectFullScreenKeys(onXWayland());
}

// The same controls typed on weston's keyboard, the program on Wayland itself.
TEST_F(PlayerOnAWaylandSession, EverydayControlsByTheirKeysOnWestonsKeyboard) {
    if (const QString missing = XSession::MissingTools({"Xvfb", "xdotool"}); !missing.isEmpty())
        GTEST_SKIP() << qPrintable(missing) << " is not installed";
    const QString file = fixtures::makeTrackedFilm(desk.media.path(), kFilm, kFilmSeconds);
    ASSERT_FALSE(file.isEmpty());
    ASSERT_TRUE(
        desk.Start(WaylandSession::Renderer::Pixman, file, {}, WaylandSession::Backend::NestedInX));
    ASSERT_TRUE(desk.WaitForWindow()) << desk.Report();
    ASSERT_TRUE(desk.WaitForMenuBar()) << desk.Report();
    // The main window, whatever it is titled now.
    const auto main = [&] {
        for (const WaylandSession::Window& w : desk.session.Windows())
            if (w.title.startsWith(QStringLiteral("Lumarest")))
                return w;
        return WaylandSession::Window();
    };
    const auto statusBar = [&] {
        const QRect area = main().area;
        return QRect(area.left(), area.bottom() - kStatusHeight - 2, area.width(),
                     kStatusHeight + 2);
    };
    // A click on the window's middle gives it weston's keyboard.
    const QPoint middle = main().area.center();
    desk.session.Xdo({"mousemove", QString::number(middle.x()), QString::number(middle.y())});
    desk.session.Xdo({"click", "1"});
    expectEverydaySteps({[&](const QStringList& keys) {
                             desk.session.Xdo(QStringList{"key", "--delay", "150"} + keys);
                         },
                         [&] { return desk.session.Shot(); }, statusBar,
                         [&] { return main().title; }});
}

TEST_F(PlayerOnAWaylandSession, AVideoShowsInItsWindowOnWestonsGlRenderer) {
    ASSERT_NO_FATAL_FAILURE(StartWith(fixtures::Media::Mp4H264, QStringLiteral("clip.mp4"),
                                      WaylandSession::Renderer::Gl));
    ExpectPictureInWindow();
}

} // namespace
