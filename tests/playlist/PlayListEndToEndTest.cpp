// The program as a person uses it, on a real X server (Xvfb with a window
// manager), driven by real X input (xdotool) with the platform's own video
// sink: start it with a picture, open the play list its folder filled, select
// three lines, play them, watch the queue move on, delete a line, quit, and
// read the catalogue file afterwards. Screenshots of each step are left in
// the build folder (e2e-shots) for a person to look at.
#include "GroupedProcess.h"
#include "MediaFixtures.h"
#include "TestTime.h"

#include "platform/dao/DaoDatabase.h"
#include "platform/dao/DaoRecordset.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

// Readable texts in failure messages.
void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace {

// The X server, the window manager and the program, stopped in reverse order
// with whatever they started. Every wait is stretched by the build's time factor.
class XSession {
public:
    ~XSession() {
        for (GroupedProcess* p : {&m_app, &m_wm, &m_server})
            p->endGroup();
    }

    bool StartServer() {
        // -displayfd 1: the server picks a free display and prints its number.
        // Nothing else is read from the servers: their logs must not fill a pipe.
        m_server.setStandardErrorFile(QProcess::nullDevice());
        m_wm.setStandardOutputFile(QProcess::nullDevice());
        m_wm.setStandardErrorFile(QProcess::nullDevice());
        m_server.start(QStringLiteral("Xvfb"),
                       {"-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"});
        if (!m_server.waitForStarted(testtime::scaled(5000)))
            return false;
        QElapsedTimer t;
        t.start();
        while (!m_server.canReadLine() && t.elapsed() < testtime::scaled(10000))
            m_server.waitForReadyRead(200);
        const QString number = QString::fromLatin1(m_server.readLine()).trimmed();
        if (number.isEmpty())
            return false;
        m_display = QLatin1Char(':') + number;
        m_wm.setProcessEnvironment(Environment());
        m_wm.start(QStringLiteral("openbox"), {});
        return m_wm.waitForStarted(testtime::scaled(5000));
    }

    bool StartProgram(const QString& workDir, const QString& configDir, const QString& file) {
        QProcessEnvironment env = Environment();
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("XDG_CONFIG_HOME", configDir);
        env.remove("LUMAREST_VIDEOSINK"); // the program's own choice of video sink
        m_app.setProcessEnvironment(env);
        m_app.setWorkingDirectory(workDir);
        m_app.setProcessChannelMode(QProcess::ForwardedChannels);
        m_app.start(QStringLiteral(LUMAREST_PROGRAM), {file});
        return m_app.waitForStarted(testtime::scaled(5000));
    }

    QString Xdo(const QStringList& args) const {
        QProcess p;
        p.setProcessEnvironment(Environment());
        p.start(QStringLiteral("xdotool"), args);
        p.waitForFinished(testtime::scaled(5000));
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    }
    void Keys(const QString& window, const QStringList& keys) const {
        Xdo({"windowactivate", "--sync", window});
        Xdo(QStringList{"key", "--delay", "150"} + keys);
    }
    QString Title(const QString& window) const { return Xdo({"getwindowname", window}); }

    void Shot(const QString& name) const {
        QDir().mkpath(QStringLiteral(LUMAREST_E2E_SHOTS));
        QProcess p;
        p.setProcessEnvironment(Environment());
        p.start(QStringLiteral("import"),
                {"-window", "root", QStringLiteral(LUMAREST_E2E_SHOTS) + "/" + name + ".png"});
        p.waitForFinished(10000);
    }

    bool WaitFor(const std::function<bool()>& done, int ms) const {
        QElapsedTimer t;
        t.start();
        while (!done()) {
            if (t.elapsed() > testtime::scaled(ms))
                return false;
            QThread::msleep(50);
        }
        return true;
    }

    GroupedProcess& App() { return m_app; }

private:
    QProcessEnvironment Environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", m_display);
        return env;
    }

    GroupedProcess m_server;
    GroupedProcess m_wm;
    GroupedProcess m_app;
    QString m_display;
};

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

bool Available(const char* program) {
    return !QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty();
}

} // namespace

TEST(PlayListEndToEnd, PlaySelectedLinesAndDeleteOneWithRealInput) {
    for (const char* tool : {"Xvfb", "openbox", "xdotool", "import"})
        if (!Available(tool))
            GTEST_SKIP() << tool << " is not installed";

    QTemporaryDir media, work, config;
    const QString folder = QDir(media.path()).absolutePath();
    for (int i = 0; i < 4; ++i)
        ASSERT_FALSE(
            fixtures::makeMedia(fixtures::Media::Png, folder, QStringLiteral("pic%1.png").arg(i))
                .isEmpty());

    XSession x;
    ASSERT_TRUE(x.StartServer());
    ASSERT_TRUE(x.StartProgram(work.path(), config.path(), folder + "/pic0.png"));

    // Started with a file: one player window, and its folder in the catalogue.
    QString main;
    ASSERT_TRUE(x.WaitFor(
        [&] {
            main = x.Xdo({"search", "--onlyvisible", "--name", "^Lumarest - pic0.png$"});
            return !main.isEmpty();
        },
        20000));
    main = main.section('\n', 0, 0);
    x.Shot("1-started");
    // The user looks at the picture for its turn. (A window playing a single file
    // still running when a queue starts would end the queue's run on its own end.)
    QThread::msleep(testtime::scaled(2500));

    // View > Play List (the player's View menu: Toolbar, Status Bar, Full screen, Play List).
    x.Keys(main, {"alt+v", "Down", "Down", "Down", "Return"});
    ASSERT_TRUE(x.WaitFor([&] { return x.Title(main) == "Lumarest - Play List"; }, 5000));
    x.Shot("2-play-list");
    EXPECT_EQ(CatalogueNames(work.path() + "/Lumarest.mdb"),
              (QStringList{"pic0.png", "pic1.png", "pic2.png", "pic3.png"}));

    // Three lines by keyboard, then Playlist > Play selected.
    x.Keys(main, {"Down", "shift+Down", "shift+Down"});
    x.Shot("3-three-selected");
    x.Keys(main, {"alt+v", "Right", "Return"});

    // The queue's window is titled with each path in turn.
    QStringList titles;
    x.WaitFor(
        [&] {
            const QString title = x.Title(main);
            if (title.startsWith("Lumarest - /") && (titles.isEmpty() || titles.last() != title)) {
                titles << title;
                x.Shot(QStringLiteral("4-queue-%1").arg(titles.size()));
            }
            return titles.size() == 3;
        },
        15000);
    EXPECT_EQ(titles, (QStringList{"Lumarest - " + folder + "/pic0.png",
                                   "Lumarest - " + folder + "/pic1.png",
                                   "Lumarest - " + folder + "/pic2.png"}));
    QThread::msleep(testtime::scaled(1500)); // the last picture's turn ends the queue
    x.Shot("5-queue-done");
    EXPECT_EQ(x.Title(main), "Lumarest - " + folder + "/pic2.png");

    // Back to the play list by closing the player windows (File > Close).
    for (int i = 0; i < 3 && x.Title(main) != "Lumarest - Play List"; ++i) {
        x.Keys(main, {"alt+f", "c"});
        QThread::msleep(testtime::scaled(300));
    }
    ASSERT_EQ(x.Title(main), "Lumarest - Play List");

    // The last line alone, the Delete key, and Yes.
    x.Keys(main, {"End", "Delete"});
    QString question;
    ASSERT_TRUE(x.WaitFor(
        [&] {
            question = x.Xdo({"search", "--onlyvisible", "--name", "^Lumarest$"});
            return !question.isEmpty();
        },
        5000));
    x.Shot("6-question");
    x.Keys(question.section('\n', 0, 0), {"Return"});
    ASSERT_TRUE(
        x.WaitFor([&] { return CatalogueNames(work.path() + "/Lumarest.mdb").size() == 3; }, 5000));
    x.Shot("7-deleted");

    // File > Exit, then the catalogue as the program left it.
    x.Keys(main, {"alt+f", "x"});
    EXPECT_TRUE(x.App().waitForFinished(testtime::scaled(10000)));
    EXPECT_EQ(x.App().exitCode(), 0);
    EXPECT_EQ(CatalogueNames(work.path() + "/Lumarest.mdb"),
              (QStringList{"pic0.png", "pic1.png", "pic2.png"}));
}
