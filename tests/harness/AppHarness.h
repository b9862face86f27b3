#pragma once
// Starts the program as a user would (application object, main frame, the two
// templates, the catalogue in the working folder) inside a temporary working
// folder, and stands in for the user at message boxes.
#include "platform/framework/MessageBox.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <deque>
#include <memory>
#include <vector>

class CLumarestApp;
class CMainFrame;

class AppHarness {
public:
    // arguments: the command line after the program's name. The working
    // folder is a new temporary folder unless workDir is given.
    explicit AppHarness(QStringList arguments = {}, QString workDir = {});
    ~AppHarness();
    AppHarness(const AppHarness&) = delete;
    AppHarness& operator=(const AppHarness&) = delete;

    bool started() const { return m_started; }
    CLumarestApp& app() { return *m_app; }
    CMainFrame& frame();
    // The working folder (where Lumarest.mdb lives).
    QString dir() const { return m_dir; }
    QString catalogue() const;

    // Every message box shown so far, oldest first.
    std::vector<MessageBoxRequest> messages;
    // Answers for the next questions (IDYES, IDNO, IDOK...); when none is
    // queued a Yes/No question is answered No and anything else OK.
    std::deque<int> answers;
    QStringList messageTexts() const;

    // Runs the event loop for ms milliseconds.
    static void pump(int ms);
    // Runs the event loop until pred is true or ms pass (stretched by the build's
    // time factor, see TestTime.h); returns pred().
    template <class Pred> static bool waitFor(Pred pred, int ms = 5000);

private:
    std::unique_ptr<QTemporaryDir> m_tmp;
    QString m_dir;
    QString m_oldDir;
    QByteArray m_oldDataHome;
    MessageBoxHandler m_oldHandler;
    std::unique_ptr<CLumarestApp> m_app;
    bool m_started = false;
};

#include "TestTime.h"

#include <QCoreApplication>
#include <QElapsedTimer>

template <class Pred> bool AppHarness::waitFor(Pred pred, int ms) {
    const int limit = testtime::scaled(ms);
    QElapsedTimer timer;
    timer.start();
    while (!pred() && timer.elapsed() < limit)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return pred();
}
