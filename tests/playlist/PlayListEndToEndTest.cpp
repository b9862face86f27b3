// The program as a person uses it, on a real X server (Xvfb with a window
// manager), driven by real X input (xdotool) with the platform's own video
// sink: start it with a picture, open the play list its folder filled, select
// three lines, play them, watch the queue move on, delete a line, quit, and
// read the catalogue file afterwards. Screenshots of each step are left in
// the build folder (e2e-shots) for a person to look at.
#include "MediaFixtures.h"
#include "TestTime.h"
#include "XSession.h"

#include "platform/dao/DaoDatabase.h"
#include "platform/dao/DaoRecordset.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Readable texts in failure messages.
void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace {

QStringList CatalogueNames(const QString& path) {
    CDaoDatabase db;
    db.Open(path);
    CDaoRecordset rs(&db);
    rs.Open(AFX_DAO_USE_DEFAULT_TYPE, "SELECT * FROM FILES ORDER BY FILES.Name");
    QStringList names;
    for (; !rs.IsEOF(); rs.MoveNext())
        names << rs.GetFieldValue(QStringLiteral("Name")).GetText();
    return names;
}

// The screen as it is now, kept in the build folder for a person to look at.
void Shot(const XSession& x, const QString& name) {
    QDir().mkpath(QStringLiteral(LUMAREST_E2E_SHOTS));
    x.Shot().save(QStringLiteral(LUMAREST_E2E_SHOTS) + "/" + name + ".png");
}

} // namespace

TEST(PlayListEndToEnd, PlaySelectedLinesAndDeleteOneWithRealInput) {
    const QString missing = XSession::MissingTools({"Xvfb", "openbox", "xdotool", "import"});
    if (!missing.isEmpty())
        GTEST_SKIP() << qPrintable(missing) << " is not installed";

    QTemporaryDir media, work, config;
    const QString folder = QDir(media.path()).absolutePath();
    for (int i = 0; i < 4; ++i)
        ASSERT_FALSE(
            fixtures::makeMedia(fixtures::Media::Png, folder, QStringLiteral("pic%1.png").arg(i))
                .isEmpty());

    XSession x;
    ASSERT_TRUE(x.Start());
    QProcess& app = x.Launch(QStringLiteral(LUMAREST_PROGRAM), {folder + "/pic0.png"},
                             x.UserEnvironment(config.path()), work.path());
    ASSERT_TRUE(app.waitForStarted(5000));
    const auto Keys = [&](const QString& window, const QStringList& keys) {
        x.Xdo({"windowactivate", "--sync", window});
        x.Xdo(QStringList{"key", "--delay", "150"} + keys);
    };

    // Started with a file: one player window, and its folder in the catalogue. The
    // picture's window stays open beside the queue made below, which plays on by itself.
    QString main;
    ASSERT_TRUE(XSession::WaitFor(
        [&] { return !(main = x.FindWindow("^Lumarest - pic0.png$")).isEmpty(); }, 20000))
        << qPrintable(XSession::Output(app));
    const auto Title = [&] { return x.Xdo({"getwindowname", main}); };
    Shot(x, "1-started");

    // View > Play List (the player's View menu: Toolbar, Status Bar, Full screen, Play List).
    Keys(main, {"alt+v", "Down", "Down", "Down", "Return"});
    ASSERT_TRUE(XSession::WaitFor([&] { return Title() == "Lumarest - Play List"; }, 5000));
    Shot(x, "2-play-list");
    EXPECT_EQ(CatalogueNames(work.path() + "/Lumarest.mdb"),
              (QStringList{"pic0.png", "pic1.png", "pic2.png", "pic3.png"}));

    // Three lines by keyboard, then Playlist > Play selected.
    Keys(main, {"Down", "shift+Down", "shift+Down"});
    Shot(x, "3-three-selected");
    Keys(main, {"alt+v", "Right", "Return"});

    // The queue's window is titled with each path in turn.
    QStringList titles;
    XSession::WaitFor(
        [&] {
            const QString title = Title();
            if (title.startsWith("Lumarest - /") && (titles.isEmpty() || titles.last() != title)) {
                titles << title;
                Shot(x, QStringLiteral("4-queue-%1").arg(titles.size()));
            }
            return titles.size() == 3;
        },
        15000);
    EXPECT_EQ(titles, (QStringList{"Lumarest - " + folder + "/pic0.png",
                                   "Lumarest - " + folder + "/pic1.png",
                                   "Lumarest - " + folder + "/pic2.png"}));
    // The last picture's turn ends the queue: its window stays as it is.
    EXPECT_FALSE(
        XSession::WaitFor([&] { return Title() != "Lumarest - " + folder + "/pic2.png"; }, 1500))
        << qPrintable(Title());
    Shot(x, "5-queue-done");

    // Back to the play list by closing the player windows (File > Close).
    for (int i = 0; i < 3 && Title() != "Lumarest - Play List"; ++i) {
        const QString before = Title();
        Keys(main, {"alt+f", "c"});
        XSession::WaitFor([&] { return Title() != before; }, 3000);
    }
    ASSERT_EQ(Title(), "Lumarest - Play List");

    // The last line alone, the Delete key, and Yes.
    Keys(main, {"End", "Delete"});
    QString question;
    ASSERT_TRUE(XSession::WaitFor(
        [&] { return !(question = x.FindWindow("^Lumarest$")).isEmpty(); }, 5000));
    Shot(x, "6-question");
    Keys(question, {"Return"});
    ASSERT_TRUE(XSession::WaitFor(
        [&] { return CatalogueNames(work.path() + "/Lumarest.mdb").size() == 3; }, 5000));
    Shot(x, "7-deleted");

    // File > Exit, then the catalogue as the program left it.
    Keys(main, {"alt+f", "x"});
    EXPECT_TRUE(app.waitForFinished(testtime::scaled(10000)));
    EXPECT_EQ(app.exitCode(), 0);
    EXPECT_EQ(CatalogueNames(work.path() + "/Lumarest.mdb"),
              (QStringList{"pic0.png", "pic1.png", "pic2.png"}));
}
