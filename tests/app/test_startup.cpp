// Starting the program: the main frame alone, its bars, the profile entry and
// the catalogue file it opens or creates in the working folder.
#include "AppHarness.h"
#include "MediaFixtures.h"

#include "app/CLumarestApp.h"
#include "app/CMainFrame.h"
#include "app/FirstFrameSize.h"
#include "app/MediaFramework.h"
#include "platform/dao/DaoDatabase.h"
#include "platform/framework/Profile.h"
#include "platform/framework/StatusBar.h"
#include "res/Resource.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMenuBar>
#include <QPalette>
#include <QToolBar>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

// Every toolbar button has a picture when it is drawn, whenever its icon was looked up.
void ExpectToolbarPictures(CMainFrame& frame) {
    for (QAction* a : frame.m_wndToolBar->actions()) {
        if (a->isSeparator())
            continue;
        const QImage picture = a->icon().pixmap(16, 16).toImage();
        int drawn = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                drawn += qAlpha(picture.pixel(x, y)) > 0;
        EXPECT_GT(drawn, 16) << a->property("lumarestCommand").toUInt();
    }
}

QByteArray Digest(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

QStringList MenuTitles(CMainFrame& frame) {
    QStringList titles;
    for (QAction* a : frame.menuBar()->actions())
        titles << a->text();
    return titles;
}

struct Column {
    QString name;
    QString type;
};

std::vector<Column> FilesColumns(const QString& path, QStringList* indexes) {
    sqlite3* db = nullptr;
    std::vector<Column> columns;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) !=
        SQLITE_OK) {
        sqlite3_close(db);
        return columns;
    }
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA table_info(FILES)", -1, &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW)
        columns.push_back(
            {QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 1))),
             QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 2)))});
    sqlite3_finalize(st);
    sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type='index' AND tbl_name='FILES'",
                       -1, &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW)
        *indexes << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    sqlite3_close(db);
    return columns;
}

TEST(Startup, WithoutArgumentsShowsOnlyTheMainFrame) {
    AppHarness h;
    ASSERT_TRUE(h.started());
    CMainFrame& frame = h.frame();
    EXPECT_TRUE(frame.isVisible());
    EXPECT_TRUE(frame.ChildFrames().empty());
    EXPECT_EQ(frame.windowTitle(), "Lumarest");
    EXPECT_EQ(frame.CurrentMenuID(), IDR_MAINFRAME);
    EXPECT_EQ(MenuTitles(frame), QStringList({"&File", "&View", "Playlist", "&Help"}));
    EXPECT_TRUE(h.messages.empty());
}

TEST(Startup, TheMainWindowOpensAtItsSizeOrWhatTheScreenLeaves) {
    EXPECT_EQ(FirstFrameSize(QRect(0, 0, 1920, 1040)), QSize(1024, 720));
    EXPECT_EQ(FirstFrameSize(QRect(0, 0, 960, 515)), QSize(944, 467)); // 1920 x 1080 at scale 2
    EXPECT_EQ(FirstFrameSize(QRect(0, 27, 1280, 741)), QSize(1024, 693));
    EXPECT_EQ(FirstFrameSize(QRect(0, 0, 200, 100)), QSize(320, 240));
    EXPECT_EQ(FirstFrameSize(QRect()), QSize(1024, 720)); // no screen known
}

TEST(Startup, ASwitchWithoutAFileDoesNothing) {
    AppHarness h({"-nologo", "--verbose"});
    ASSERT_TRUE(h.started());
    EXPECT_TRUE(h.frame().ChildFrames().empty());
    ExpectToolbarPictures(h.frame()); // looked up when first drawn, with arguments given
}

TEST(Startup, BuildsTheToolbarAndTheStatusBar) {
    AppHarness h;
    CMainFrame& frame = h.frame();
    ASSERT_NE(frame.m_wndToolBar, nullptr);
    std::vector<UINT> places;
    for (QAction* a : frame.m_wndToolBar->actions())
        places.push_back(a->isSeparator() ? 0u : a->property("lumarestCommand").toUInt());
    const std::vector<UINT> expected = {
        ID_FILE_OPEN,    ID_VIEW_PLAYLIST,   ID_PLAYLIST_PLAYSELECTED, 0, ID_PLAYER_PLAY,
        ID_PLAYER_PAUSE, ID_VIEW_FULLSCREEN, ID_PLAYER_SOUND,          0, ID_VIEW_PARAMETERS};
    EXPECT_EQ(places, expected);
    ExpectToolbarPictures(frame);

    CStatusBar* bar = frame.m_wndStatusBar;
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(bar->GetCount(), 6);
    EXPECT_EQ(bar->GetPaneText(0), " ");
    EXPECT_EQ(bar->GetPaneText(1), "CAP");
    EXPECT_EQ(bar->GetPaneText(2), " "); // the player's volume level
    EXPECT_EQ(bar->GetPaneText(3), "NUM");
    EXPECT_EQ(bar->GetPaneText(4), "SCRL");
    EXPECT_EQ(bar->GetPaneText(5), QString()); // the player's speed, folded away at 1x
    EXPECT_EQ(bar->GetItemRect(5).width(), 0);
    EXPECT_EQ(bar->CommandToIndex(ID_INDICATOR_SPEED), 5);
    // Pane 0 takes what the indicators leave.
    EXPECT_GT(bar->GetItemRect(0).width(), bar->GetItemRect(1).width());
    EXPECT_LT(bar->GetItemRect(0).right(), bar->GetItemRect(1).left());
}

// The toolbar's pictures stand out from their buttons on a light style and on a dark one.
TEST(Startup, ToolbarPicturesShowOnLightAndDarkStyles) {
    const QPalette original = QApplication::palette();
    QPalette dark = original;
    dark.setColor(QPalette::Window, QColor(40, 40, 40));
    dark.setColor(QPalette::Button, QColor(50, 50, 50));
    dark.setColor(QPalette::WindowText, QColor(235, 235, 235));
    dark.setColor(QPalette::ButtonText, QColor(235, 235, 235));
    for (const bool isDark : {false, true}) {
        const QPalette& palette = isDark ? dark : original;
        QApplication::setPalette(palette);
        AppHarness h;
        CMainFrame& frame = h.frame();
        for (QAction* a : frame.m_wndToolBar->actions()) {
            const UINT id = a->property("lumarestCommand").toUInt();
            if (a->isSeparator())
                continue;
            QWidget* button = frame.m_wndToolBar->widgetForAction(a);
            ASSERT_NE(button, nullptr);
            const QImage picture = button->grab().toImage();
            const int background = qGray(picture.pixel(1, picture.height() / 2));
            int standingOut = 0;
            for (int y = 0; y < picture.height(); ++y)
                for (int x = 0; x < picture.width(); ++x)
                    standingOut += std::abs(qGray(picture.pixel(x, y)) - background) > 110;
            EXPECT_GT(standingOut, 20) << id << (isDark ? " on dark" : " on light");
        }
    }
    QApplication::setPalette(original);
}

TEST(Startup, WritesTheWorkingFolderToTheProfile) {
    AppHarness h;
    EXPECT_EQ(h.app().GetProfileString("Directories", "Dir_exe"), h.dir());
    CProfile profile("Orvenhal", "Lumarest");
    EXPECT_EQ(profile.GetString("Directories", "Dir_exe"), h.dir());
}

TEST(Startup, CreatesTheCatalogueWithItsSchemaAndReopensItUnchanged) {
    QTemporaryDir dir;
    QByteArray first;
    {
        AppHarness h({}, dir.path());
        ASSERT_TRUE(QFile::exists(h.catalogue()));
        EXPECT_TRUE(h.frame().m_PlayList.m_pCDaoDatabase->IsOpen());
    }
    QStringList indexes;
    const auto columns = FilesColumns(dir.path() + "/Lumarest.mdb", &indexes);
    ASSERT_EQ(columns.size(), 6u);
    const QStringList names = {"ID_Files", "Name", "Extention", "Size", "DateCreated", "Directory"};
    for (size_t i = 0; i < columns.size(); ++i)
        EXPECT_EQ(columns[i].name, names[static_cast<int>(i)]);
    EXPECT_TRUE(columns[0].type.startsWith("INTEGER"));
    EXPECT_TRUE(columns[1].type.contains("150"));
    EXPECT_TRUE(columns[2].type.contains("10"));
    EXPECT_TRUE(columns[4].type.contains("DATE", Qt::CaseInsensitive));
    EXPECT_TRUE(columns[5].type.contains("250"));
    EXPECT_TRUE(indexes.contains("PrimaryKey")) << indexes.join(",").toStdString();

    first = Digest(dir.path() + "/Lumarest.mdb");
    {
        AppHarness h({}, dir.path());
        EXPECT_TRUE(h.frame().m_PlayList.m_pCDaoDatabase->IsOpen());
        EXPECT_TRUE(h.messages.empty());
    }
    EXPECT_EQ(Digest(dir.path() + "/Lumarest.mdb"), first);
}

TEST(Startup, NeverAltersACatalogueFileItCannotOpen) {
    QTemporaryDir dir;
    const QString path = dir.path() + "/Lumarest.mdb";
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("these are my notes, not a database\n");
    }
    const QByteArray before = Digest(path);
    {
        AppHarness h({}, dir.path());
        ASSERT_TRUE(h.started());
        EXPECT_FALSE(h.frame().m_PlayList.m_pCDaoDatabase->IsOpen());
        EXPECT_FALSE(h.frame().m_PlayList.OpenCatalogue());
        EXPECT_TRUE(h.messages.empty()) << h.messageTexts().join("|").toStdString();
    }
    EXPECT_EQ(Digest(path), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"Lumarest.mdb"}));
}

// A folder in which no file can be made, even by root: immutable where the file
// system allows it, else without write permission. Restored on destruction.
class UnwritableFolder {
public:
    explicit UnwritableFolder(const QString& path) : m_path(path.toLocal8Bit()) {
        if (geteuid() != 0) {
            m_ok = chmod(m_path.constData(), 0555) == 0;
            return;
        }
        const int fd = open(m_path.constData(), O_RDONLY | O_DIRECTORY);
        int flags = 0;
        if (fd >= 0 && ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags |= FS_IMMUTABLE_FL;
            m_immutable = m_ok = ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        if (fd >= 0)
            close(fd);
    }
    ~UnwritableFolder() {
        if (!m_immutable) {
            chmod(m_path.constData(), 0755);
            return;
        }
        const int fd = open(m_path.constData(), O_RDONLY | O_DIRECTORY);
        int flags = 0;
        if (fd >= 0 && ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags &= ~FS_IMMUTABLE_FL;
            ioctl(fd, FS_IOC_SETFLAGS, &flags);
        }
        if (fd >= 0)
            close(fd);
    }
    UnwritableFolder(const UnwritableFolder&) = delete;
    UnwritableFolder& operator=(const UnwritableFolder&) = delete;
    bool ok() const { return m_ok; }

private:
    QByteArray m_path;
    bool m_ok = false;
    bool m_immutable = false;
};

// Holds the whole file locked, as another program in the middle of a write does.
class ForeignLock {
public:
    explicit ForeignLock(const QString& path) {
        sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
        m_locked = sqlite3_exec(m_db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    ~ForeignLock() { sqlite3_close(m_db); }
    ForeignLock(const ForeignLock&) = delete;
    ForeignLock& operator=(const ForeignLock&) = delete;
    bool locked() const { return m_locked; }
    void release() { sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr); }

private:
    sqlite3* m_db = nullptr;
    bool m_locked = false;
};

TEST(Startup, FinishesACatalogueWhoseCreationWasCutShortAndNothingElse) {
    // What a crash between the exclusive create and the schema left: nothing at
    // all, or our application id without a table.
    for (bool empty : {true, false}) {
        QTemporaryDir dir;
        const QString path = dir.path() + "/Lumarest.mdb";
        if (empty) {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        } else {
            CDaoDatabase db;
            db.Create(path);
        }
        AppHarness h({}, dir.path());
        ASSERT_TRUE(h.started());
        EXPECT_TRUE(h.frame().m_PlayList.m_pCDaoDatabase->IsOpen()) << empty;
        QStringList indexes;
        EXPECT_EQ(FilesColumns(path, &indexes).size(), 6u) << empty;
        EXPECT_TRUE(indexes.contains("PrimaryKey"));
        EXPECT_EQ(h.frame().m_PlayList.CountRecords("FILES"), 0);
        EXPECT_TRUE(h.messages.empty()) << h.messageTexts().join("|").toStdString();
        // Whole or not at all: nothing built aside is left behind.
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                  QStringList({"Lumarest.mdb"}));
    }
    // Ours, but with a table of someone else's: left as it is.
    QTemporaryDir dir;
    const QString path = dir.path() + "/Lumarest.mdb";
    {
        CDaoDatabase db;
        db.Create(path);
        db.Execute("CREATE TABLE Notes(x)");
    }
    const QByteArray before = Digest(path);
    { AppHarness h({}, dir.path()); }
    EXPECT_EQ(Digest(path), before);
}

TEST(Startup, ACatalogueFaultIsNamedByTheFirstOperationThatNeedsTheCatalogue) {
    QTemporaryDir media;
    const QString wav = fixtures::makeMedia(fixtures::Media::Wav, media.path(), "a.wav", 1);
    ASSERT_FALSE(wav.isEmpty());
    {
        QTemporaryDir dir;
        QFile f(dir.path() + "/Lumarest.mdb");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("these are my notes, not a database\n");
        f.close();
        AppHarness h({}, dir.path());
        EXPECT_TRUE(h.messages.empty()); // the start says nothing
        h.app().OpenDocumentFile(wav);
        h.frame().SendCommand(ID_VIEW_PLAYLIST);
        const QString fault = dir.path() + "/Lumarest.mdb: file is not a database";
        EXPECT_EQ(h.messageTexts(), QStringList({fault, fault}));
    }
    {
        QTemporaryDir dir;
        const QString path = dir.path() + "/Lumarest.mdb";
        { AppHarness first({}, dir.path()); } // a sound catalogue
        // A lock held for a moment only is waited for.
        std::thread briefly([&] {
            ForeignLock lock(path);
            std::this_thread::sleep_for(std::chrono::milliseconds(700));
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        {
            AppHarness h({}, dir.path());
            EXPECT_TRUE(h.frame().m_PlayList.m_pCDaoDatabase->IsOpen());
        }
        briefly.join();
        // A lock held past the wait is named; once it goes, the next import opens the catalogue.
        ForeignLock lock(path);
        ASSERT_TRUE(lock.locked());
        AppHarness h({}, dir.path());
        EXPECT_TRUE(h.messages.empty());
        h.app().OpenDocumentFile(wav);
        EXPECT_EQ(h.messageTexts(), QStringList({path + ": database is locked"}));
        lock.release();
        h.app().CloseAllDocuments(true);
        h.app().OpenDocumentFile(wav);
        EXPECT_EQ(h.messages.size(), 1u);
        EXPECT_EQ(h.frame().m_PlayList.CountRecords("FILES"), 1);
    }
    QTemporaryDir dir;
    UnwritableFolder unwritable(dir.path());
    if (!unwritable.ok())
        GTEST_SKIP() << "this file system lets root write everywhere (no immutable folders)";
    AppHarness h({}, dir.path());
    EXPECT_TRUE(h.messages.empty());
    h.app().OpenDocumentFile(wav);
    EXPECT_EQ(h.messageTexts(), QStringList({dir.path() + "/Lumarest.mdb: permission denied"}));
}

TEST(Startup, TakesALongWorkingFolderWhole) {
    QTemporaryDir root;
    QString deep = root.path();
    while (deep.size() < 400)
        deep += "/a-rather-long-folder-name-for-testing";
    ASSERT_TRUE(QDir().mkpath(deep));
    AppHarness h({}, deep);
    EXPECT_EQ(h.app().GetProfileString("Directories", "Dir_exe"), deep);
    EXPECT_TRUE(QFile::exists(deep + "/Lumarest.mdb"));
    EXPECT_TRUE(h.frame().m_PlayList.m_pCDaoDatabase->IsOpen());
}

TEST(StartupDeathTest, MediaFrameworkFailureShowsItsMessage) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // The message box is answered in the child and its text written out before the exit.
    EXPECT_EXIT(
        {
            SetMediaFrameworkStarter([] { return false; });
            SetMessageBoxHandler([](const MessageBoxRequest& r) {
                fprintf(stderr, "message: [%s]\n",
                        qPrintable(QString(r.text).replace("\r\n", "<CRLF>")));
                return IDOK;
            });
            CLumarestApp app;
            app.InitInstance();
        },
        ::testing::ExitedWithCode(1), "message: \\[CoInitialize Failed!<CRLF>\\]");
}

} // namespace
