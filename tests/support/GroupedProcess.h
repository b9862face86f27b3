#pragma once
// A QProcess that leads a process group of its own, so that everything it starts
// goes with it: xvfb-run's X server and the test program under it, the program a
// test drives. The whole group is ended when the object goes (a failed assertion
// leaves the test early) and when it does not finish in time, so that no test
// leaves an X server or a program running behind it.
#include <QProcess>

#include <sys/types.h>

class GroupedProcess : public QProcess {
public:
    GroupedProcess();
    ~GroupedProcess() override;
    GroupedProcess(const GroupedProcess&) = delete;
    GroupedProcess& operator=(const GroupedProcess&) = delete;

    // Waits until the process has ended; when it has not after ms, ends its whole
    // group and returns false.
    bool finishWithin(int ms);
    // Asks every process of the group to end (SIGTERM), and forces those still
    // there after a short grace (SIGKILL).
    void endGroup();

private:
    pid_t group() const;
    bool groupAlive() const;

    pid_t m_group = 0;
};
