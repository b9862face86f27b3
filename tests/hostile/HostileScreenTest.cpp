// The program as a person starts it, on a real X server with a window manager:
// named a pipe on its command line, it must say at once that it cannot open the
// file, and end when the message is answered, instead of waiting in the open for
// a writer that never comes.
#include "TestTime.h"
#include "XSession.h"

#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <atomic>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

TEST(HostileScreen, APipeNamedOnTheCommandLineIsRefusedAtOnce) {
    const QString missing =
        XSession::MissingTools({"Xvfb", "openbox", "xdotool", "import", "tesseract"});
    if (!missing.isEmpty())
        GTEST_SKIP() << qPrintable(missing) << " is not installed";
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
    QProcess& app = x.Launch(QStringLiteral(LUMAREST_PROGRAM), {fifo},
                             x.UserEnvironment(config.path()), work.path());
    ASSERT_TRUE(app.waitForStarted(5000));
    QString box;
    // Generous: a first start after plugins were installed scans them all. A program
    // that waits in the open shows no window however long one waits.
    XSession::WaitFor(
        [&] {
            box = x.FindWindow("^Lumarest$");
            return !box.isEmpty();
        },
        20000, 100);
    ASSERT_FALSE(box.isEmpty()) << "no window: the program waits in the open of the pipe";
    const QImage shot = x.Shot(box);
    const QString words = XSession::Read(shot, shot.rect(), 3);
    EXPECT_TRUE(words.contains("Cannot open the file")) << words.toStdString();

    x.Xdo({"windowactivate", "--sync", box});
    x.Xdo({"key", "Return"});
    ASSERT_TRUE(app.waitForFinished(testtime::scaled(5000)));
    EXPECT_EQ(app.exitCode(), 1); // start-up failed: the process ends
}
