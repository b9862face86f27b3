#include "GroupedProcess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <csignal>
#include <unistd.h>

namespace {
constexpr int kGraceMs = 3000;
} // namespace

GroupedProcess::GroupedProcess() {
    // Runs in the child between fork and exec: its own group, led by itself.
    setChildProcessModifier([] { ::setpgid(0, 0); });
    // The group's number outlives the leader's own process id, which QProcess
    // forgets once the leader has ended (its children may still be running).
    connect(this, &QProcess::started, this, [this] { m_group = static_cast<pid_t>(processId()); });
}

GroupedProcess::~GroupedProcess() {
    endGroup();
}

bool GroupedProcess::finishWithin(int ms) {
    if (waitForFinished(ms))
        return true;
    endGroup();
    return false;
}

// A member that has ended but is not yet reaped (a zombie) no longer counts: one
// whose parent ended before it is left to a reaper that may never come.
pid_t GroupedProcess::group() const {
    // Without an event loop or a wait for the start, started() may not have been told yet.
    return m_group > 0 ? m_group : static_cast<pid_t>(processId());
}

bool GroupedProcess::groupAlive() const {
    const pid_t leader = group();
    if (leader <= 0)
        return false;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& entry : entries) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (name) state ppid pgrp ...": the name may hold anything but its last ')'.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 2 && fields[0] != "Z" && fields[2].toLongLong() == leader)
            return true;
    }
    return false;
}

void GroupedProcess::endGroup() {
    if (!groupAlive())
        return;
    const pid_t leader = group();
    ::kill(-leader, SIGTERM);
    QElapsedTimer clock;
    clock.start();
    // The leader is our child: waiting for it also reaps it.
    if (state() != QProcess::NotRunning)
        waitForFinished(kGraceMs);
    while (groupAlive() && clock.elapsed() < kGraceMs)
        QThread::msleep(20);
    if (groupAlive())
        ::kill(-leader, SIGKILL);
    if (state() != QProcess::NotRunning)
        waitForFinished(kGraceMs);
}
