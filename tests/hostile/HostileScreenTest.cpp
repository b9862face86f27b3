// The program as a person starts it, on a real X server with a window manager:
// named a pipe on its command line, it must say at once that it cannot open the
// file, and end when the message is answered, instead of waiting in the open for
// a writer that never comes.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <atomic>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

// Xvfb, openbox and the program, stopped in reverse order.
class XSession {
public:
    ~XSession() {
        for (QProcess* p : {&m_app, &m_wm, &m_server}) {
            if (p->state() == QProcess::NotRunning)
                continue;
            p->terminate();
            if (!p->waitForFinished(3000)) {
                p->kill();
                p->waitForFinished(1000);
            }
        }
    }

    bool Start() {
        m_server.setStandardErrorFile(QProcess::nullDevice());
        m_wm.setStandardOutputFile(QProcess::nullDevice());
        m_wm.setStandardErrorFile(QProcess::nullDevice());
        m_server.start("Xvfb",
                       {"-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"});
        if (!m_server.waitForStarted(5000))
            return false;
        QElapsedTimer t;
        t.start();
        while (!m_server.canReadLine() && t.elapsed() < 10000)
            m_server.waitForReadyRead(200);
        m_display = ":" + QString::fromLatin1(m_server.readLine()).trimmed();
        if (m_display == ":")
            return false;
        m_wm.setProcessEnvironment(Environment());
        m_wm.start("openbox", {});
        return m_wm.waitForStarted(5000);
    }

    bool StartProgram(const QString& workDir, const QString& configDir, const QString& file) {
        QProcessEnvironment env = Environment();
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("XDG_CONFIG_HOME", configDir);
        m_app.setProcessEnvironment(env);
        m_app.setWorkingDirectory(workDir);
        m_app.setProcessChannelMode(QProcess::ForwardedChannels);
        m_app.start(QStringLiteral(LUMAREST_PROGRAM), {file});
        return m_app.waitForStarted(5000);
    }

    QString Xdo(const QStringList& args) const { return Run("xdotool", args); }

    QString Run(const QString& program, const QStringList& args) const {
        QProcess p;
        p.setProcessEnvironment(Environment());
        p.start(program, args);
        p.waitForFinished(10000);
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    }

    QProcess& App() { return m_app; }

private:
    QProcessEnvironment Environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", m_display);
        return env;
    }

    QProcess m_server;
    QProcess m_wm;
    QProcess m_app;
    QString m_display;
};

} // namespace

TEST(HostileScreen, APipeNamedOnTheCommandLineIsRefusedAtOnce) {
    for (const char* tool : {"Xvfb", "openbox", "xdotool", "import", "tesseract"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            GTEST_SKIP() << tool << " is not installed";
    QTemporaryDir work, config;
    const QString fifo = work.path() + "/x.wav";
    const QByteArray fifoName = QFile::encodeName(fifo);
    ASSERT_EQ(mkfifo(fifoName.constData(), 0644), 0);
    // A program still waiting in its open is let go when the test ends.
    std::atomic<bool> done = false;
    std::thread releaser([&] {
        while (!done)
            QThread::msleep(50);
        for (int i = 0; i < 20; ++i) {
            const int fd = open(fifoName.constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0)
                close(fd);
            QThread::msleep(50);
        }
    });
    struct Release {
        std::atomic<bool>& done;
        std::thread& thread;
        ~Release() {
            done = true;
            thread.join();
        }
    } release{done, releaser};

    XSession x;
    ASSERT_TRUE(x.Start());
    ASSERT_TRUE(x.StartProgram(work.path(), config.path(), fifo));
    QElapsedTimer t;
    t.start();
    QString box;
    // Generous: a first start after plugins were installed scans them all. A program
    // that waits in the open shows no window however long one waits.
    while (box.isEmpty() && t.elapsed() < 20000) {
        box = x.Xdo({"search", "--onlyvisible", "--name", "^Lumarest$"}).section('\n', 0, 0);
        QThread::msleep(100);
    }
    ASSERT_FALSE(box.isEmpty()) << "no window: the program waits in the open of the pipe";
    const QString shot = work.path() + "/box.png";
    x.Run("import", {"-window", box, shot});
    const QString words = x.Run("tesseract", {shot, "-"});
    EXPECT_TRUE(words.contains("Cannot open the file")) << words.toStdString();

    x.Xdo({"windowactivate", "--sync", box});
    x.Xdo({"key", "Return"});
    ASSERT_TRUE(x.App().waitForFinished(5000));
    EXPECT_EQ(x.App().exitCode(), 1); // start-up failed: the process ends
}
