#include "WaylandSession.h"

#include "TestTime.h"
#include "XSession.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace {

const QString kSocket = QStringLiteral("lumarest-wayland");

// weston 10 prints "xserver listening on display :N" once XWayland's sockets are up; XWayland
// itself starts with the first X program.
const QRegularExpression kXDisplayLine(QStringLiteral("listening on display (:\\d+)"));

// weston-debug's scene graph: a view's heading, then its place on the next line.
// "View 0 (role xdg_toplevel, PID 42, surface ID 3, top-level window 'Title' of app, 0x...):"
// A window without a title has no quoted part.
const QRegularExpression kViewLine(QStringLiteral(
    "View \\d+ \\(role ([^,]+), PID -?\\d+, surface ID \\d+, top-level window(?: '(.*)')?"));
const QRegularExpression
    kPositionLine(QStringLiteral("position: \\((-?\\d+), (-?\\d+)\\) -> \\((-?\\d+), (-?\\d+)\\)"));

QString readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

WaylandSession::~WaylandSession() {
    StopPrograms();
    Stop(m_weston);
}

QString WaylandSession::MissingTools() {
    return XSession::MissingTools({"weston", "Xwayland", "weston-screenshooter", "weston-debug"});
}

bool WaylandSession::Start(Renderer renderer, QSize screen, Backend backend) {
    if (!m_runtime.isValid())
        return false;
    // A runtime folder is the user's alone; Wayland clients refuse one others may enter.
    QFile::setPermissions(m_runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"WAYLAND_DISPLAY", "WAYLAND_SOCKET", "DISPLAY"})
        env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
    const bool nested = backend == Backend::NestedInX;
    if (nested) {
        if (!m_outer.Start(screen, false))
            return false;
        env.insert(QStringLiteral("DISPLAY"), m_outer.Display());
    }
    m_weston.setProcessEnvironment(env);
    // weston and the XWayland it starts log to stderr: into a file, which no pipe can stall.
    m_weston.setStandardOutputFile(QProcess::nullDevice());
    m_weston.setStandardErrorFile(m_runtime.filePath(QStringLiteral("weston.log")));
    // --debug lets weston-screenshooter and weston-debug in; --idle-time=0 keeps the screen
    // from going blank however long a slow build takes.
    m_weston.start(QStringLiteral("weston"),
                   {nested ? "--backend=x11-backend.so" : "--backend=headless-backend.so",
                    "--socket=" + kSocket, "--xwayland", "--debug", "--no-config", "--idle-time=0",
                    renderer == Renderer::Gl ? "--use-gl" : "--use-pixman",
                    QStringLiteral("--width=%1").arg(screen.width()),
                    QStringLiteral("--height=%1").arg(screen.height())});
    if (!m_weston.waitForStarted(5000))
        return false;
    m_socket = kSocket;
    if (!WaitForXDisplay() || !XSession::WaitFor([&] { return !Shot().isNull(); }, 5000, 100))
        return false;
    if (nested) {
        // weston's window, filling its X server's screen, takes that server's keyboard. weston
        // moves its pointer by how far the X pointer moves, from where it believes it to be:
        // to the far corner and back, the two meet at the top left.
        Xdo({"windowfocus", Xdo({"search", "--class", "weston"}).section('\n', 0, 0)});
        Xdo({"mousemove", "0", "0", "mousemove", QString::number(screen.width() - 1),
             QString::number(screen.height() - 1), "mousemove", "0", "0"});
    }
    return true;
}

bool WaylandSession::WaitForXDisplay() {
    return XSession::WaitFor(
               [&] {
                   const QRegularExpressionMatch m = kXDisplayLine.match(Log());
                   m_xDisplay = m.captured(1);
                   return m.hasMatch() || m_weston.state() == QProcess::NotRunning;
               },
               10000) &&
           !m_xDisplay.isEmpty();
}

QProcessEnvironment WaylandSession::Environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
    env.insert(QStringLiteral("WAYLAND_DISPLAY"), m_socket);
    env.insert(QStringLiteral("DISPLAY"), m_xDisplay);
    env.remove(QStringLiteral("WAYLAND_SOCKET"));
    return env;
}

QProcessEnvironment WaylandSession::UserEnvironment(const QString& configDir) const {
    QProcessEnvironment env = Environment();
    env.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("wayland"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), configDir);
    // The session is the test's own: a bus of the desktop the tests run on is not
    // its bus (the program would hand its files to a copy running there).
    for (const char* name : {"LUMAREST_VIDEOSINK", "LUMAREST_AUDIOSINK", "GST_DEBUG",
                             "QT_QPA_PLATFORM", "DBUS_SESSION_BUS_ADDRESS"})
        env.remove(QString::fromLatin1(name));
    return env;
}

QProcess& WaylandSession::Launch(const QString& program, const QStringList& args,
                                 const QProcessEnvironment& env, const QString& workDir) {
    m_programs.push_back(std::make_unique<GroupedProcess>());
    GroupedProcess& p = *m_programs.back();
    const QString log = m_runtime.filePath(QStringLiteral("program-%1.log").arg(m_programs.size()));
    p.setProperty("log", log);
    p.setProcessEnvironment(env);
    if (!workDir.isEmpty())
        p.setWorkingDirectory(workDir);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.setStandardOutputFile(log);
    p.start(program, args);
    return p;
}

QString WaylandSession::Output(const QProcess& process) {
    return readFile(process.property("log").toString());
}

void WaylandSession::Stop(QProcess& process) {
    XSession::Stop(process);
}

void WaylandSession::StopPrograms() {
    for (auto it = m_programs.rbegin(); it != m_programs.rend(); ++it)
        Stop(**it);
}

QString WaylandSession::Run(const QString& program, const QStringList& args,
                            const QString& workDir) const {
    QProcess p;
    p.setProcessEnvironment(Environment());
    p.setWorkingDirectory(workDir.isEmpty() ? m_runtime.path() : workDir);
    p.start(program, args);
    if (!p.waitForFinished(testtime::scaled(10000)))
        p.kill();
    p.waitForFinished(1000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

QImage WaylandSession::Shot() const {
    // weston-screenshooter names its file by the time of day, in the folder it runs in.
    QTemporaryDir dir;
    if (!dir.isValid())
        return QImage();
    Run(QStringLiteral("weston-screenshooter"), {}, dir.path());
    const QFileInfoList shots =
        QDir(dir.path()).entryInfoList({QStringLiteral("*.png")}, QDir::Files, QDir::Time);
    if (shots.isEmpty())
        return QImage();
    return QImage(shots.first().filePath()).convertToFormat(QImage::Format_RGB32);
}

std::vector<WaylandSession::Window> WaylandSession::Windows() const {
    std::vector<Window> windows;
    const QStringList lines = Run(QStringLiteral("weston-debug"), {"scene-graph"}).split('\n');
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        const QRegularExpressionMatch view = kViewLine.match(lines[i]);
        const QRegularExpressionMatch at = kPositionLine.match(lines[i + 1]);
        if (!view.hasMatch() || !at.hasMatch())
            continue;
        const QPoint topLeft(at.captured(1).toInt(), at.captured(2).toInt());
        const QPoint end(at.captured(3).toInt(), at.captured(4).toInt());
        windows.push_back({view.captured(2), view.captured(1), QRect(topLeft, end - QPoint(1, 1))});
    }
    return windows;
}

WaylandSession::Window WaylandSession::FindWindow(const QString& title) const {
    for (const Window& window : Windows())
        if (window.title == title)
            return window;
    return Window();
}

QString WaylandSession::Log() const {
    return readFile(m_runtime.filePath(QStringLiteral("weston.log")));
}
