// A Wayland session of its own (weston on its headless backend, with XWayland for X
// programs) for tests that start the real program the way a person on a Wayland desktop
// does: screenshots of the whole screen (weston-screenshooter) and where each window lies
// (weston's scene graph, read with weston-debug). Keys and clicks reach Wayland windows only
// through weston's own input: tests that type run weston nested in an X server of its own.
#pragma once

#include "GroupedProcess.h"
#include "XSession.h"

#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <vector>

class WaylandSession {
public:
    // How weston draws its screen: on the CPU (pixman) or with GL (Mesa's software GL
    // where there is no GPU).
    enum class Renderer { Pixman, Gl };

    // A top-level window as weston lists it, where it lies on the screen.
    struct Window {
        QString title;
        QString role; // xdg_toplevel for Wayland programs, "(null)" for XWayland's
        QRect area;   // with what weston draws around XWayland's windows
    };

    WaylandSession() = default;
    // Stops every program started here, then weston (which takes XWayland with it).
    ~WaylandSession();
    WaylandSession(const WaylandSession&) = delete;
    WaylandSession& operator=(const WaylandSession&) = delete;

    // The first tool a session needs that is missing ("" when all are there).
    static QString MissingTools();

    // Where weston shows its screen: nowhere, or in a window filling an X server of its own
    // (Xvfb, no window manager) whose keyboard and pointer are then weston's, driven by Xdo.
    enum class Backend { Headless, NestedInX };

    bool Start(Renderer renderer, QSize screen = QSize(1280, 1024),
               Backend backend = Backend::Headless);
    // xdotool on the X server weston is nested in: keys for the window weston gave the
    // keyboard, the pointer at weston's screen coordinates.
    QString Xdo(const QStringList& args) const { return m_outer.Xdo(args); }
    // The X display XWayland listens on, as weston reported it (":N").
    QString XDisplay() const { return m_xDisplay; }
    // For tools run on the session.
    QProcessEnvironment Environment() const;
    // What a person's Wayland session gives the program: WAYLAND_DISPLAY, DISPLAY for X
    // programs, XDG_SESSION_TYPE=wayland, a settings folder of its own, and no choice of
    // Qt platform or media outputs made for it.
    QProcessEnvironment UserEnvironment(const QString& configDir) const;

    // Started on this session; owned by it until it ends.
    QProcess& Launch(const QString& program, const QStringList& args,
                     const QProcessEnvironment& env, const QString& workDir = QString());
    // What a program started here printed (its output goes to a file: a pipe nobody
    // reads could stall it).
    static QString Output(const QProcess& process);
    // Ends a program started here, with everything it started.
    static void Stop(QProcess& process);

    // The whole screen (a null image when the screenshot failed).
    QImage Shot() const;
    // The top-level windows, topmost first.
    std::vector<Window> Windows() const;
    // The topmost window so titled; an empty area when there is none.
    Window FindWindow(const QString& title) const;
    // What weston and XWayland have logged so far.
    QString Log() const;

private:
    bool WaitForXDisplay();
    void StopPrograms();
    // A tool run on the session: what it printed.
    QString Run(const QString& program, const QStringList& args,
                const QString& workDir = QString()) const;

    XSession m_outer;        // what a nested weston draws in
    QTemporaryDir m_runtime; // XDG_RUNTIME_DIR: weston's socket, its log
    GroupedProcess m_weston;
    std::vector<std::unique_ptr<GroupedProcess>> m_programs;
    QString m_socket;
    QString m_xDisplay;
};
