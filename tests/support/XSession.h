// An X server of its own (Xvfb, with openbox as a person's desktop would have) for tests
// and benchmarks that start the real program and drive it the way a person does: real
// key presses and clicks (xdotool), screenshots of the whole screen (ImageMagick), and
// texts read back from them (tesseract).
#pragma once

#include "GroupedProcess.h"

#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <vector>

class XSession {
public:
    XSession() = default;
    // Stops every program started here, then the window manager and the server.
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    // The tools a session needs that are missing ("" when all are there).
    static QString MissingTools(const QStringList& tools);

    bool Start(QSize screen = QSize(1280, 1024), bool windowManager = true);
    QString Display() const { return m_display; }
    QProcessEnvironment Environment() const;
    // What a person's desktop session gives the program: this display on the xcb
    // platform, a settings folder of its own, and the program's own choice of sinks.
    QProcessEnvironment UserEnvironment(const QString& configDir) const;

    // Started on this display; owned by the session until it ends. What it prints goes
    // to a log of its own; a sanitizer's report in it fails the test when the session ends.
    QProcess& Launch(const QString& program, const QStringList& args,
                     const QProcessEnvironment& env, const QString& workDir = QString());
    // Ends a program started here, with everything it started.
    static void Stop(QProcess& process);
    // The last lines a program started here printed so far.
    static QString Output(const QProcess& process, int lines = 20);
    // Where each thread of a running program stands (gdb), for a failure's message about a
    // program that stopped answering: "" without gdb or once it has ended.
    static QString Stacks(const QProcess& process);

    QString Xdo(const QStringList& args) const;
    // A tool run on this display; what it printed.
    QString Run(const QString& program, const QStringList& args) const;
    // The first visible window whose whole title matches the pattern, or "".
    QString FindWindow(const QString& titlePattern) const;
    // Where a window's own area lies on the screen, without the window manager's frame.
    QRect Geometry(const QString& window) const;
    // The whole screen, or one window ("root" is the screen).
    QImage Shot(const QString& window = QStringLiteral("root")) const;
    // Text in a part of a screenshot, read at three times its size; one line unless
    // another tesseract page mode is asked for (3: find the lines and blocks).
    static QString Read(const QImage& image, const QRect& area, int pageMode = 7);
    // Where a word (in any case) is read on one line of a screenshot; empty when it is not.
    static QRect Locate(const QImage& image, const QRect& line, const QString& word);

    // ms is stretched for slow builds (testtime::scaled).
    static bool WaitFor(const std::function<bool()>& done, int ms, int stepMs = 50);

private:
    // Each leads a process group of its own, so that nothing it started outlives the
    // session, even when a test ends early.
    GroupedProcess m_server;
    GroupedProcess m_wm;
    std::vector<std::unique_ptr<GroupedProcess>> m_programs;
    QTemporaryDir m_logs;
    QString m_display;
};
