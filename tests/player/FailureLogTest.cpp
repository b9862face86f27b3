// The player's failure check: a success passes, a failure is appended to
// LUMarest.log in the current directory and ends the process with status 1,
// and a log that cannot be opened lets the program go on.
#include "PlayerTestSupport.h"
#include "PlayerViewProbe.h"

#include "platform/input/DirectInput.h"
#include "platform/media/GraphFailures.h"
#include "player/CLumarestView.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <unistd.h>

using fixtures::Media;
using playertest::MediaFolder;
using playertest::PlayerTest;

namespace {

// Where the child processes of the exit tests write their log: chosen by the
// parent, inherited by the child, which runs the same test again up to the exit.
constexpr const char* kLogDirVariable = "LUMAREST_PLAYER_TEST_LOG_DIR";

class FailureLog : public PlayerTest {
protected:
    QString log() const { return QDir(harness->dir()).filePath(QStringLiteral("LUMarest.log")); }
};

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST_F(FailureLog, SuccessCodesPassSilently) {
    CLumarestView* view = open(MediaFolder::instance().path(Media::Wav));
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->CheckResult(14, S_OK));
    EXPECT_TRUE(view->CheckResult(5, S_FALSE));
    EXPECT_TRUE(view->CheckResult(7, VFW_S_STATE_INTERMEDIATE));
    EXPECT_FALSE(QFile::exists(log()));
    EXPECT_TRUE(view->HasGraph());
}

TEST_F(FailureLog, UnopenableLogLetsTheProgramGoOn) {
    // A folder where the log should be: it cannot be opened, whoever runs the tests.
    ASSERT_TRUE(QDir(harness->dir()).mkdir(QStringLiteral("LUMarest.log")));
    media::injectGraphFailure(media::GraphCall::Run, E_FAIL);
    CLumarestView* view = open(MediaFolder::instance().path(Media::Wav));
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(Probe(view).m_bPlaying); // the failed Run was passed over
    EXPECT_TRUE(view->HasGraph());
    EXPECT_FALSE(view->CheckResult(17, E_FAIL));
    EXPECT_TRUE(QFileInfo(log()).isDir());
    media::clearGraphFailures();

    // A current directory that no longer exists cannot take a log either.
    QString gone;
    {
        QTemporaryDir doomed;
        gone = doomed.path();
        ASSERT_TRUE(QDir::setCurrent(gone));
    }
    ASSERT_FALSE(QDir(gone).exists());
    EXPECT_FALSE(view->CheckResult(15, E_UNEXPECTED));
    view->OnPlayerPause(); // still answers commands
    EXPECT_TRUE(Probe(view).m_bPaused);
    QDir::setCurrent(harness->dir());
}

TEST_F(FailureLog, FailureIsLoggedAndEndsTheProcess) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    QTemporaryDir parentDir;
    const bool parent = !qEnvironmentVariableIsSet(kLogDirVariable);
    if (parent)
        qputenv(kLogDirVariable, parentDir.path().toLocal8Bit());
    const QString dir = qEnvironmentVariable(kLogDirVariable);
    const QString path = QDir(dir).filePath(QStringLiteral("a.wav"));
    const QString logPath = QDir(dir).filePath(QStringLiteral("LUMarest.log"));
    if (parent) {
        ASSERT_EQ(fixtures::makeMedia(Media::Wav, dir, QStringLiteral("a.wav"), 1), path);
        fixtures::writeFile(dir, QStringLiteral("LUMarest.log"), "an earlier line\n");
    }

    // The graph cannot run: code 14, with the file's path.
    EXPECT_EXIT(
        {
            QDir::setCurrent(dir);
            media::injectGraphFailure(media::GraphCall::Run, E_FAIL);
            open(path);
            std::_Exit(42); // not reached when the failure ends the process
        },
        ::testing::ExitedWithCode(1), "");
    // A second run: the keyboard device of a new player cannot be made; no file is loaded yet.
    EXPECT_EXIT(
        {
            QDir::setCurrent(dir);
            SetInputFailure(InputOperation::CreateDevice, static_cast<HRESULT>(0x8007000Cu));
            emptyPlayer();
            std::_Exit(42);
        },
        ::testing::ExitedWithCode(1), "");
    qunsetenv(kLogDirVariable);

    const QByteArray expected = "an earlier line\n"
                                "FAILED: hr = 0x80004005\t\tLINE: 14\t\tFILE: \"" +
                                path.toUtf8() +
                                "\"\n"
                                "FAILED: hr = 0x8007000c\t\tLINE: 20\t\tFILE: \"\"\n";
    EXPECT_EQ(contents(logPath), expected);
}

} // namespace
