#include "AppHarness.h"

#include "app/CLumarestApp.h"
#include "app/CMainFrame.h"

#include "platform/framework/Profile.h"

#include <QDir>
#include <QFile>

AppHarness::AppHarness(QStringList arguments, QString workDir) {
    if (workDir.isEmpty()) {
        m_tmp = std::make_unique<QTemporaryDir>();
        workDir = m_tmp->path();
    }
    m_dir = QDir(workDir).absolutePath();
    m_oldDir = QDir::currentPath();
    QDir::setCurrent(m_dir);
    // The user's data (kept positions) of this run: the program started again on the same
    // folder finds them, another test does not.
    m_oldDataHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir + QStringLiteral("/.data")));
    m_oldHandler = SetMessageBoxHandler([this](const MessageBoxRequest& r) {
        messages.push_back(r);
        if (!answers.empty()) {
            const int answer = answers.front();
            answers.pop_front();
            return answer;
        }
        return (r.type & 0xF) == MB_YESNO ? IDNO : IDOK;
    });
    // Every run starts as a first run: no recent files from an earlier test.
    CProfile profile(QStringLiteral("Orvenhal"), QStringLiteral("Lumarest"));
    for (int i = 1; i <= 16; ++i)
        profile.RemoveEntry(QStringLiteral("Recent File List"), QStringLiteral("File%1").arg(i));
    m_app = std::make_unique<CLumarestApp>(std::move(arguments));
    m_started = m_app->InitInstance();
}

AppHarness::~AppHarness() {
    m_app.reset();
    SetMessageBoxHandler(std::move(m_oldHandler));
    QDir::setCurrent(m_oldDir);
    qputenv("XDG_DATA_HOME", m_oldDataHome);
}

CMainFrame& AppHarness::frame() {
    return *MainFrame();
}

QString AppHarness::catalogue() const {
    return m_dir + QStringLiteral("/Lumarest.mdb");
}

QStringList AppHarness::messageTexts() const {
    QStringList texts;
    for (const MessageBoxRequest& r : messages)
        texts << r.text;
    return texts;
}

void AppHarness::pump(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}
