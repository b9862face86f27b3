// The program as a user sees it and types into it: started as a user starts it,
// on an X server of its own with a window manager (openbox), the default media
// sinks, and nothing but real key presses (xdotool). What it shows is read back
// from screenshots, its texts with tesseract and the title of a window from the
// X server: the kind of window Ctrl+N makes, the dialogs' texts, whole letters
// in the play list, the lock panes, the status pane after the fill, an empty title bar, the
// view hidden while a deletion asks, and a queue that moves on behind the box
// of a refused file. The screenshots stay in the build folder (usage-shots).
#include "MediaFixtures.h"
#include "XSession.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <functional>
#include <utility>

void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace {

QString RunTool(const QString& program, const QStringList& args, const QByteArray& input = {}) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForStarted(5000))
        return {};
    if (!input.isEmpty())
        p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

void Save(const QImage& image, const QString& name) {
    QDir().mkpath(QStringLiteral(LUMAREST_USAGE_SHOTS));
    image.save(QStringLiteral(LUMAREST_USAGE_SHOTS) + "/" + name + ".png");
}

QByteArray Png(const QImage& image) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

// The screen's small letters are read far better enlarged four times, smoothly, with a
// margin of background around them.
constexpr int kEnlarged = 4;
constexpr int kMargin = 20;
QByteArray Enlarged(const QImage& screen, const QRect& area) {
    QProcess enlarge;
    enlarge.start(QStringLiteral("convert"),
                  {"png:-", "-colorspace", "gray", "-resize",
                   QString::number(kEnlarged * 100) + '%', "-bordercolor", "white", "-border",
                   QString::number(kMargin), "png:-"});
    enlarge.waitForStarted(5000);
    enlarge.write(Png(screen.copy(area)));
    enlarge.closeWriteChannel();
    enlarge.waitForFinished(20000);
    return enlarge.readAllStandardOutput();
}

// The text in an area of the screen.
enum class Layout { Line, Block, Scattered, Columns };
QString Read(const QImage& screen, const QRect& area, Layout layout = Layout::Scattered) {
    const char* psm = layout == Layout::Line      ? "7"
                      : layout == Layout::Block   ? "6"
                      : layout == Layout::Columns ? "4"
                                                  : "11";
    return RunTool(QStringLiteral("tesseract"), {"stdin", "stdout", "--psm", psm},
                   Enlarged(screen, area));
}

// Where on the screen a word read in an area lies; empty when it was not read.
QRect WordPlace(const QImage& screen, const QRect& area, const QString& word) {
    const QString table = RunTool(QStringLiteral("tesseract"),
                                  {"stdin", "stdout", "--psm", "4", "tsv"}, Enlarged(screen, area));
    // level page block paragraph line word left top width height confidence text
    for (const QString& row : table.split('\n')) {
        const QStringList cells = row.split('\t');
        if (cells.size() < 12 || !cells[11].contains(word))
            continue;
        const QRect box(cells[6].toInt(), cells[7].toInt(), cells[8].toInt(), cells[9].toInt());
        return QRect(area.x() + (box.x() - kMargin) / kEnlarged,
                     area.y() + (box.y() - kMargin) / kEnlarged, box.width() / kEnlarged,
                     box.height() / kEnlarged);
    }
    return {};
}

// Polls a reading until done says it holds what is awaited; the last one stays in out.
bool ReadUntil(const std::function<QString()>& read,
               const std::function<bool(const QString&)>& done, QString& out, int ms = 6000) {
    return XSession::WaitFor(
        [&] {
            out = read();
            return done(out);
        },
        ms, 250);
}

// Until a part of the screen looks the same in two shots a moment apart.
bool Settled(const XSession& x, const QRect& area) {
    QImage before = x.Shot().copy(area);
    return XSession::WaitFor(
        [&] {
            QImage now = x.Shot().copy(area);
            return std::exchange(before, now) == now;
        },
        6000, 300);
}

// The height of the title bar the window manager puts over a window: the top of
// its frame's extents.
int TitleBarHeight(const XSession& x, const QString& window) {
    const QString extents = x.Run("xprop", {"-id", window, "_NET_FRAME_EXTENTS"});
    const QStringList parts = extents.section('=', 1).split(',', Qt::SkipEmptyParts);
    return parts.size() == 4 ? parts[2].trimmed().toInt() : 0;
}

// Still pictures slide_0.png and slide_2.png, and slide_1.png that holds words:
// opening slide_0.png catalogues all three.
TEST(UsageOnScreen, WindowsDialogsAndThePlayList) {
    const QString missing = XSession::MissingTools(
        {"Xvfb", "openbox", "xdotool", "import", "convert", "tesseract", "xprop", "xwininfo"});
    if (!missing.isEmpty())
        GTEST_SKIP() << qPrintable(missing) << " is not installed";
    QTemporaryDir media, work, config;
    const QString folder = QDir(media.path()).absolutePath();
    ASSERT_FALSE(fixtures::makeMedia(fixtures::Media::Png, folder, "slide_0.png").isEmpty());
    ASSERT_FALSE(fixtures::writeFile(folder, "slide_1.png", "some words\n").isEmpty());
    ASSERT_FALSE(fixtures::makeMedia(fixtures::Media::Png, folder, "slide_2.png").isEmpty());

    XSession x;
    ASSERT_TRUE(x.Start());
    QProcess& app = x.Launch(QStringLiteral(LUMAREST_PROGRAM), {folder + "/slide_0.png"},
                             x.UserEnvironment(config.path()), work.path());
    ASSERT_TRUE(app.waitForStarted(5000));
    const auto Keys = [&](const QString& window, const QStringList& keys) {
        x.Xdo({"windowactivate", "--sync", window});
        x.Xdo(QStringList{"key", "--delay", "120"} + keys);
    };
    const auto Screen = [&] { return x.Shot(); };
    QString main;
    ASSERT_TRUE(XSession::WaitFor(
        [&] { return !(main = x.FindWindow("^Lumarest - slide_0.png$")).isEmpty(); }, 20000));
    const auto title = [&] { return x.Xdo({"getwindowname", main}); };
    const auto client = [&] { return x.Geometry(main); };
    // Parts of the main window: the status bar's strip at its bottom, with the message
    // pane on the left and the lock panes on the right, and the top left of the area of
    // the child windows (below the menu and the toolbar), where a new window opens.
    const QRect frame = client();
    const QRect statusPane(frame.x(), frame.bottom() - frame.height() / 20, frame.width() / 2,
                           frame.height() / 20);
    const QRect lockArea(frame.right() - frame.width() / 6, statusPane.y(), frame.width() / 6,
                         statusPane.height());
    const QRect newWindow(frame.x(), frame.y() + frame.height() / 12, frame.width() * 5 / 8,
                          frame.height() / 3);
    const QRect names(newWindow.topLeft(), QSize(frame.width() / 4, newWindow.height()));
    ASSERT_TRUE(Settled(x, QRect(frame.x(), statusPane.y(), frame.width(), statusPane.height())));

    // The lock panes at the right of the status bar say CAP only while Caps Lock is on.
    const auto lockPanes = [&] { return Read(Screen(), lockArea, Layout::Line); };
    EXPECT_FALSE(lockPanes().contains("CAP")) << "Caps Lock is off";
    Keys(main, {"Caps_Lock"});
    EXPECT_TRUE(XSession::WaitFor([&] { return lockPanes().contains("CAP"); }, 3000))
        << qPrintable(lockPanes());
    Keys(main, {"Caps_Lock"});
    EXPECT_TRUE(XSession::WaitFor([&] { return !lockPanes().contains("CAP"); }, 3000))
        << qPrintable(lockPanes());
    // NUM lights beside the player's volume level, which keeps a pane of its own.
    Keys(main, {"Num_Lock"});
    EXPECT_TRUE(XSession::WaitFor(
        [&] {
            const QString panes = lockPanes();
            return panes.contains("NUM") && panes.contains("100");
        },
        3000))
        << qPrintable(lockPanes());
    Keys(main, {"Num_Lock"});
    EXPECT_TRUE(XSession::WaitFor([&] { return !lockPanes().contains("NUM"); }, 3000))
        << qPrintable(lockPanes());

    // Ctrl+N, the second kind (Down, Return): a play-list window, which has a table.
    Keys(main, {"ctrl+n"});
    QString dialog;
    ASSERT_TRUE(
        XSession::WaitFor([&] { return !(dialog = x.FindWindow("^New$")).isEmpty(); }, 5000));
    QImage screen = Screen();
    Save(screen, "1-new-type");
    const QString newTexts = Read(screen, x.Geometry(dialog));
    EXPECT_TRUE(newTexts.contains("Lumarest") && newTexts.contains("Cancel"))
        << qPrintable(newTexts);
    Keys(dialog, {"Down", "Return"});
    ASSERT_TRUE(XSession::WaitFor([&] { return title() == "Lumarest - Lumarest1"; }, 5000));
    QString reading;
    EXPECT_TRUE(ReadUntil([&] { return Read(Screen(), newWindow, Layout::Columns); },
                          [](const QString& t) { return t.contains("Extention"); }, reading))
        << "Ctrl+N made no play-list window: " << qPrintable(reading);
    Save(Screen(), "2-new-play-list");
    Keys(main, {"alt+f", "c"}); // File/Close, and again for the player
    ASSERT_TRUE(XSession::WaitFor([&] { return title() == "Lumarest - slide_0.png"; }, 5000));
    Keys(main, {"alt+f", "c"});
    ASSERT_TRUE(XSession::WaitFor([&] { return title() == "Lumarest"; }, 5000));

    // View/Play List: whole letters in the lines, and no fill caption left behind.
    Keys(main, {"alt+v", "Down", "Down", "Return"});
    ASSERT_TRUE(XSession::WaitFor([&] { return title() == "Lumarest - Play List"; }, 5000));
    // The reading may take O for 0 or l for 1: what counts is the underscores.
    EXPECT_TRUE(ReadUntil([&] { return Read(Screen(), names, Layout::Columns); },
                          [](const QString& t) { return t.count("slide_") >= 2; }, reading))
        << "underscores cut off: " << qPrintable(reading);
    screen = Screen();
    Save(screen, "3-play-list");
    const QString status = Read(screen, statusPane, Layout::Line);
    EXPECT_FALSE(status.contains("Filling")) << "the fill caption stayed: " << qPrintable(status);

    // View/Parameters: the whole label.
    Keys(main, {"alt+v", "Down", "Down", "Down", "Return"});
    ASSERT_TRUE(XSession::WaitFor(
        [&] { return !(dialog = x.FindWindow("^Parameters$")).isEmpty(); }, 5000));
    QString parameters;
    EXPECT_TRUE(ReadUntil(
        [&] { return Read(Screen(), x.Geometry(dialog)).simplified(); },
        [](const QString& t) { return t.contains("Delay between slides (sec):"); }, parameters))
        << qPrintable(parameters);
    Save(Screen(), "4-parameters");
    Keys(dialog, {"Escape"});

    // Delete with no line selected: a box with an empty title bar.
    Keys(main, {"Delete"});
    QString box;
    ASSERT_TRUE(XSession::WaitFor(
        [&] {
            box = x.Xdo({"getactivewindow"});
            return !box.isEmpty() && x.Xdo({"getwindowname", box}) != title();
        },
        5000));
    const QString boxNames = x.Run("xprop", {"-id", box, "_NET_WM_NAME", "WM_NAME"});
    EXPECT_FALSE(boxNames.contains("Lumarest")) << qPrintable(boxNames);
    const QRect boxArea = x.Geometry(box);
    QString boxText;
    EXPECT_TRUE(ReadUntil([&] { return Read(Screen(), boxArea); },
                          [](const QString& t) { return t.contains("Please select"); }, boxText))
        << "not the box expected: " << qPrintable(boxText);
    screen = Screen();
    Save(screen, "5-select-a-line");
    const int barHeight = TitleBarHeight(x, box);
    ASSERT_GT(barHeight, 0) << "the window manager drew no title bar";
    const QRect titleBar(boxArea.x(), boxArea.y() - barHeight, boxArea.width(), barHeight);
    EXPECT_FALSE(Read(screen, titleBar).contains("Lumarest")) << "the title bar is not empty";
    Keys(box, {"Return"});
    ASSERT_TRUE(XSession::WaitFor([&] { return x.Xdo({"getactivewindow"}) != box; }, 5000));

    // Delete with the first line selected: the view is hidden while the box asks,
    // and shown again after with the keys still reaching it.
    const auto readNames = [&] { return Read(Screen(), names, Layout::Columns); };
    for (int question = 0; question < 2; ++question) {
        Keys(main, {"Home", "Delete"});
        ASSERT_TRUE(XSession::WaitFor([&] { return !x.FindWindow("^Lumarest$").isEmpty(); }, 5000))
            << "Delete asked nothing: the list lost the keyboard";
        EXPECT_TRUE(ReadUntil(
            readNames, [](const QString& t) { return !t.contains("slide"); }, reading))
            << "the view stayed shown: " << qPrintable(reading);
        Save(Screen(), QStringLiteral("6-asking-%1").arg(question));
        Keys(x.FindWindow("^Lumarest$"), {"Escape"});
        ASSERT_TRUE(XSession::WaitFor([&] { return x.FindWindow("^Lumarest$").isEmpty(); }, 5000));
        EXPECT_TRUE(ReadUntil(
            readNames, [](const QString& t) { return t.contains("slide"); }, reading))
            << "the view was not shown again: " << qPrintable(reading);
    }

    // All three lines played as a slide show; the words are refused, and the queue
    // moves on to the last picture while that box is still open.
    Keys(main, {"ctrl+a", "alt+v", "Right", "Return"});
    ASSERT_TRUE(XSession::WaitFor(
        [&] { return title() == "Lumarest - " + folder + "/slide_0.png"; }, 5000));
    // The picture for the README: the two windows at the top left of the main window.
    const QRect shown(frame.topLeft(), QSize(frame.width() * 5 / 8, frame.height() * 7 / 10));
    Settled(x, shown);
    Save(Screen().copy(shown), "slide-show");
    ASSERT_TRUE(XSession::WaitFor([&] { return !x.FindWindow("^Lumarest$").isEmpty(); }, 5000));
    const QString refusal = x.FindWindow("^Lumarest$");
    const QString refusalText = Read(Screen(), x.Geometry(refusal));
    EXPECT_TRUE(refusalText.contains("Unsupported file format.")) << qPrintable(refusalText);
    EXPECT_TRUE(
        XSession::WaitFor([&] { return title() == "Lumarest - " + folder + "/slide_2.png"; }, 4000))
        << "the queue stood still behind the box: " << qPrintable(title());
    // A search can miss a window while others are being made and destroyed around it
    // (the next picture's): the box must still be found within a moment.
    EXPECT_TRUE(XSession::WaitFor([&] { return !x.FindWindow("^Lumarest$").isEmpty(); }, 1000))
        << "the box went away by itself";
    Save(Screen(), "7-moved-on-behind-the-box");
    Keys(refusal, {"Return"});

    Keys(main, {"alt+f", "x"});
    EXPECT_TRUE(app.waitForFinished(10000));
    EXPECT_EQ(app.exitCode(), 0);
}

// The program started on a picture, as a user starts it: its main window, or "" (and a
// failure that shows what the program printed) when it did not come.
QString StartOn(XSession& x, QProcess*& app, const QString& picture, const QTemporaryDir& work,
                const QTemporaryDir& config) {
    if (!x.Start())
        return QString();
    app = &x.Launch(QStringLiteral(LUMAREST_PROGRAM), {picture}, x.UserEnvironment(config.path()),
                    work.path());
    const QString title =
        '^' + QRegularExpression::escape("Lumarest - " + QFileInfo(picture).fileName()) + '$';
    QString main;
    if (!app->waitForStarted(5000) ||
        !XSession::WaitFor([&] { return !(main = x.FindWindow(title)).isEmpty(); }, 20000))
        ADD_FAILURE() << "no window: " << qPrintable(XSession::Output(*app)) << "\nits threads:\n"
                      << qPrintable(XSession::Stacks(*app));
    return main;
}

// View / Play List from the player's menu; true once the main window is titled for it.
bool OpenPlayList(const XSession& x, const QString& main) {
    x.Xdo({"windowactivate", "--sync", main});
    x.Xdo({"key", "--delay", "120", "alt+v", "Down", "Down", "Down", "Return"});
    return XSession::WaitFor(
        [&] {
            return x.Xdo({"getwindowname", main}) == "Lumarest - Play List";
        },
        5000);
}

// A file deleted after it was catalogued: its line in the play list is drawn greyed, the
// others as ever.
TEST(UsageOnScreen, TheLineOfAFileThatIsGoneIsGreyed) {
    const QString missing = XSession::MissingTools({"Xvfb", "openbox", "xdotool", "import"});
    if (!missing.isEmpty())
        GTEST_SKIP() << qPrintable(missing) << " is not installed";
    QTemporaryDir media, work, config;
    const QString folder = QDir(media.path()).absolutePath();
    for (const char* name : {"a_first.png", "b_gone.png", "c_last.png"})
        ASSERT_FALSE(fixtures::makeMedia(fixtures::Media::Png, folder, name).isEmpty());
    XSession x;
    QProcess* app = nullptr;
    const QString main = StartOn(x, app, folder + "/a_first.png", work, config);
    ASSERT_FALSE(main.isEmpty());
    ASSERT_TRUE(QFile::remove(folder + "/b_gone.png"));
    ASSERT_TRUE(OpenPlayList(x, main));
    // The play-list window opens at the top left of the area, its names in the first
    // column: the first and last names are read there, the gone one lies between them.
    const QRect window = x.Geometry(main);
    const QRect names(0, window.height() / 12, window.width() / 4, window.height() / 3);
    QImage screen;
    QRect first, last;
    EXPECT_TRUE(XSession::WaitFor(
        [&] {
            screen = x.Shot(main);
            first = WordPlace(screen, names, "first");
            last = WordPlace(screen, names, "last");
            return !first.isEmpty() && !last.isEmpty();
        },
        8000, 300))
        << qPrintable(Read(screen, names, Layout::Columns));
    Save(screen, "gone-line-greyed");
    ASSERT_FALSE(first.isEmpty() || last.isEmpty());
    const auto darkest = [&](const QRect& name) {
        int least = 255;
        for (int y = name.top(); y <= name.bottom(); ++y)
            for (int x0 = name.left(); x0 <= name.right(); ++x0)
                least = std::min(least, qGray(screen.pixel(x0, y)));
        return least;
    };
    // A word's box is loose; its middle lies on its line. The gone name's line lies
    // midway, and each name is looked at a third of a line up and down from its middle.
    const int pitch = (last.center().y() - first.center().y()) / 2;
    const auto nameAt = [&](int middle) {
        return QRect(first.left(), middle - pitch / 3, first.width(), 2 * (pitch / 3) + 1);
    };
    const QRect gone = nameAt(first.center().y() + pitch);
    EXPECT_LT(darkest(nameAt(first.center().y())), 80) << "a_first.png";
    EXPECT_LT(darkest(nameAt(last.center().y())), 80) << "c_last.png";
    EXPECT_GT(darkest(gone), darkest(nameAt(first.center().y())) + 40)
        << "b_gone.png is not greyed";
    EXPECT_LT(darkest(gone), 230) << "no name is drawn between the first and the last";
    x.Xdo({"key", "alt+f", "x"});
    EXPECT_TRUE(app->waitForFinished(10000));
}

// Ctrl+F in the play list, a few letters typed: only the matching lines stay on
// screen and the status pane counts them; Escape brings the others back.
TEST(UsageOnScreen, TheFilterBoxKeepsTheLinesThatMatchOnScreen) {
    const QString missing =
        XSession::MissingTools({"Xvfb", "openbox", "xdotool", "convert", "tesseract"});
    if (!missing.isEmpty())
        GTEST_SKIP() << qPrintable(missing) << " is not installed";
    QTemporaryDir media, work, config;
    const QString folder = QDir(media.path()).absolutePath();
    for (const char* name : {"Harbour lights.png", "harbour wall.png", "Meadow.png", "Zebra.png"})
        ASSERT_FALSE(fixtures::makeMedia(fixtures::Media::Png, folder, name).isEmpty());
    XSession x;
    QProcess* app = nullptr;
    const QString main = StartOn(x, app, folder + "/Meadow.png", work, config);
    ASSERT_FALSE(main.isEmpty());
    ASSERT_TRUE(OpenPlayList(x, main));
    // The play-list window opens at the top left of the area, its names in the first
    // column; the status pane lies at the bottom left of the main window.
    const QRect window = x.Geometry(main);
    const QRect names(0, window.height() / 12, window.width() / 4, window.height() / 3);
    const QRect status(0, window.height() * 19 / 20, window.width() * 2 / 5, window.height() / 20);
    QString table, pane;
    // Polls the names and the pane until they hold (or lack) what is awaited.
    const auto readUntil = [&](const std::function<bool()>& done) {
        return XSession::WaitFor(
            [&] {
                const QImage shot = x.Shot(main);
                table = Read(shot, names, Layout::Columns);
                pane = Read(shot, status);
                return done();
            },
            8000, 300);
    };
    ASSERT_TRUE(readUntil([&] { return table.contains("Zebra"); })) << qPrintable(table);

    x.Xdo({"key", "--delay", "120", "ctrl+f"});
    x.Xdo({"type", "--delay", "120", "HARB"});
    EXPECT_TRUE(readUntil([&] {
        return pane.contains("Lines shown: 2 of 4") && !table.contains("Zebra") &&
               !table.contains("Meadow");
    })) << qPrintable(table + " / " + pane);
    Save(x.Shot(main), "filter-box");
    EXPECT_TRUE(table.contains("Harbour lights")) << qPrintable(table);
    EXPECT_TRUE(table.contains("harbour wall")) << qPrintable(table);

    x.Xdo({"key", "Escape"});
    EXPECT_TRUE(readUntil([&] {
        return table.contains("Zebra") && table.contains("Meadow") &&
               table.contains("harbour wall");
    })) << qPrintable(table);
    x.Xdo({"key", "alt+f", "x"});
    EXPECT_TRUE(app->waitForFinished(10000));
}

} // namespace
