#include "XSession.h"

#include "TestTime.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QThread>

namespace {

bool holdsSanitizerReport(const QString& output) {
    return output.contains(QLatin1String("Sanitizer")) ||
           output.contains(QLatin1String("runtime error:"));
}

// tesseract on a part of an image enlarged three times: what it printed.
QString tesseract(const QImage& image, const QRect& area, const QStringList& args) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("text.png"));
    image.copy(area)
        .scaled(area.size() * 3, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .save(file);
    QProcess p;
    // Its threads only wait for each other on a picture this small: one reads it faster.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("OMP_THREAD_LIMIT"), QStringLiteral("1"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral("tesseract"), QStringList{file, "stdout"} + args);
    p.waitForFinished(10000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

XSession::~XSession() {
    for (auto it = m_programs.rbegin(); it != m_programs.rend(); ++it) {
        Stop(**it);
        QFile log((*it)->property("log").toString());
        if (!log.open(QIODevice::ReadOnly))
            continue;
        const QString output = QString::fromUtf8(log.readAll());
        if (holdsSanitizerReport(output))
            ADD_FAILURE() << "a program started on the test's display reported:\n"
                          << qPrintable(output.right(8000));
    }
    Stop(m_wm);
    Stop(m_server);
}

QString XSession::Output(const QProcess& process, int lines) {
    QFile log(process.property("log").toString());
    if (!log.open(QIODevice::ReadOnly))
        return QString();
    const QStringList all = QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'));
    return all.mid(std::max<qsizetype>(0, all.size() - lines)).join(QLatin1Char('\n'));
}

QString XSession::Stacks(const QProcess& process) {
    if (process.state() != QProcess::Running || MissingTools({"gdb"}) != QString())
        return QString();
    QProcess gdb;
    gdb.setProcessChannelMode(QProcess::MergedChannels);
    gdb.start(QStringLiteral("gdb"), {"-p", QString::number(process.processId()), "-batch", "-nx",
                                      "-ex", "thread apply all bt 25"});
    if (!gdb.waitForFinished(testtime::scaled(60000)))
        gdb.kill();
    gdb.waitForFinished(1000);
    // Only the frames: gdb's chatter about loading symbols tells nothing.
    QStringList frames;
    for (const QString& line : QString::fromUtf8(gdb.readAll()).split(QLatin1Char('\n')))
        if (line.startsWith(QLatin1String("Thread ")) || line.startsWith(QLatin1Char('#')))
            frames << line;
    return frames.join(QLatin1Char('\n'));
}

QString XSession::MissingTools(const QStringList& tools) {
    for (const QString& tool : tools)
        if (QStandardPaths::findExecutable(tool).isEmpty())
            return tool;
    return QString();
}

bool XSession::Start(QSize screen, bool windowManager) {
    // -displayfd 1: the server picks a free display and prints its number. Nothing else
    // is read from the servers: their logs must not fill a pipe.
    m_server.setStandardErrorFile(QProcess::nullDevice());
    m_server.start(QStringLiteral("Xvfb"),
                   {"-displayfd", "1", "-screen", "0",
                    QStringLiteral("%1x%2x24").arg(screen.width()).arg(screen.height()),
                    "-nolisten", "tcp"});
    if (!m_server.waitForStarted(5000))
        return false;
    QElapsedTimer t;
    t.start();
    while (!m_server.canReadLine() && t.elapsed() < 10000)
        m_server.waitForReadyRead(200);
    const QString number = QString::fromLatin1(m_server.readLine()).trimmed();
    if (number.isEmpty())
        return false;
    m_display = QLatin1Char(':') + number;
    if (!windowManager)
        return true;
    m_wm.setStandardOutputFile(QProcess::nullDevice());
    m_wm.setStandardErrorFile(QProcess::nullDevice());
    m_wm.setProcessEnvironment(Environment());
    m_wm.start(QStringLiteral("openbox"), {});
    if (!m_wm.waitForStarted(5000))
        return false;
    QThread::msleep(testtime::scaled(500)); // openbox takes the screen
    return true;
}

QProcessEnvironment XSession::Environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), m_display);
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    return env;
}

QProcessEnvironment XSession::UserEnvironment(const QString& configDir) const {
    QProcessEnvironment env = Environment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), configDir);
    // The session is the test's own: a bus of the desktop the tests run on is not
    // its bus (the program would hand its files to a copy running there).
    for (const char* name :
         {"LUMAREST_VIDEOSINK", "LUMAREST_AUDIOSINK", "GST_DEBUG", "DBUS_SESSION_BUS_ADDRESS"})
        env.remove(QString::fromLatin1(name));
    return env;
}

QProcess& XSession::Launch(const QString& program, const QStringList& args,
                           const QProcessEnvironment& env, const QString& workDir) {
    m_programs.push_back(std::make_unique<GroupedProcess>());
    GroupedProcess& p = *m_programs.back();
    p.setProcessEnvironment(env);
    if (!workDir.isEmpty())
        p.setWorkingDirectory(workDir);
    const QString log = m_logs.filePath(QStringLiteral("program-%1.log").arg(m_programs.size()));
    p.setProperty("log", log);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.setStandardOutputFile(log);
    p.start(program, args);
    return p;
}

void XSession::Stop(QProcess& process) {
    if (auto* grouped = dynamic_cast<GroupedProcess*>(&process)) {
        grouped->endGroup();
        return;
    }
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished(1000);
    }
}

QString XSession::Xdo(const QStringList& args) const {
    return Run(QStringLiteral("xdotool"), args);
}

QString XSession::Run(const QString& program, const QStringList& args) const {
    QProcess p;
    p.setProcessEnvironment(Environment());
    p.start(program, args);
    p.waitForFinished(10000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

QString XSession::FindWindow(const QString& titlePattern) const {
    return Xdo({"search", "--onlyvisible", "--name", titlePattern}).section('\n', 0, 0);
}

QRect XSession::Geometry(const QString& window) const {
    QRect r;
    for (const QString& line : Run(QStringLiteral("xwininfo"), {"-id", window}).split('\n')) {
        const int value = line.section(':', 1).trimmed().toInt();
        if (line.contains("Absolute upper-left X:"))
            r.moveLeft(value);
        else if (line.contains("Absolute upper-left Y:"))
            r.moveTop(value);
        else if (line.trimmed().startsWith("Width:"))
            r.setWidth(value);
        else if (line.trimmed().startsWith("Height:"))
            r.setHeight(value);
    }
    return r;
}

QImage XSession::Shot(const QString& window) const {
    QProcess p;
    p.setProcessEnvironment(Environment());
    p.start(QStringLiteral("import"), {"-window", window, "png:-"});
    p.waitForFinished(10000);
    return QImage::fromData(p.readAllStandardOutput(), "PNG");
}

QString XSession::Read(const QImage& image, const QRect& area, int pageMode) {
    return tesseract(image, area, {"--psm", QString::number(pageMode)}).simplified();
}

QRect XSession::Locate(const QImage& image, const QRect& line, const QString& word) {
    // Each word on a line of its own: level, page, block, paragraph, line, word, left, top,
    // width, height, confidence, text.
    for (const QString& row : tesseract(image, line, {"--psm", "7", "tsv"}).split('\n')) {
        const QStringList f = row.split('\t');
        if (f.size() == 12 && f[11].trimmed().compare(word, Qt::CaseInsensitive) == 0)
            return QRect(f[6].toInt() / 3, f[7].toInt() / 3, f[8].toInt() / 3, f[9].toInt() / 3)
                .translated(line.topLeft());
    }
    return QRect();
}

bool XSession::WaitFor(const std::function<bool()>& done, int ms, int stepMs) {
    const int limit = testtime::scaled(ms);
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > limit)
            return false;
        QThread::msleep(stepMs);
    }
    return true;
}
