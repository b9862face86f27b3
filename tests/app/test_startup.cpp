// Starting the program: the main frame alone, its bars, the profile entry and
// the catalogue file it opens or creates in the working folder.
#include "AppHarness.h"

#include "app/CLumarestApp.h"
#include "app/CMainFrame.h"
#include "app/MediaFramework.h"
#include "platform/dao/DaoDatabase.h"
#include "platform/framework/Profile.h"
#include "platform/framework/StatusBar.h"
#include "res/Resource.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QMenuBar>
#include <QToolBar>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

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
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return columns;
    }
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA table_info(FILES)", -1, &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW)
        columns.push_back({QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 1))),
                           QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 2)))});
    sqlite3_finalize(st);
    sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type='index' AND tbl_name='FILES'", -1, &st,
                       nullptr);
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

TEST(Startup, ASwitchWithoutAFileDoesNothing) {
    AppHarness h({"-nologo", "--verbose"});
    ASSERT_TRUE(h.started());
    EXPECT_TRUE(h.frame().ChildFrames().empty());
}

TEST(Startup, BuildsTheToolbarAndTheStatusBar) {
    AppHarness h;
    CMainFrame& frame = h.frame();
    ASSERT_NE(frame.m_wndToolBar, nullptr);
    std::vector<UINT> places;
    for (QAction* a : frame.m_wndToolBar->actions())
        places.push_back(a->isSeparator() ? 0u : a->property("lumarestCommand").toUInt());
    const std::vector<UINT> expected = {ID_FILE_OPEN,    ID_VIEW_PLAYLIST,   ID_PLAYLIST_PLAYSELECTED,
                                        0,               ID_PLAYER_PLAY,     ID_PLAYER_PAUSE,
                                        ID_VIEW_FULLSCREEN, ID_PLAYER_SOUND, 0,
                                        ID_VIEW_PARAMETERS};
    EXPECT_EQ(places, expected);
    for (QAction* a : frame.m_wndToolBar->actions()) {
        if (!a->isSeparator()) {
            EXPECT_FALSE(a->icon().isNull()) << a->property("lumarestCommand").toUInt();
        }
    }

    CStatusBar* bar = frame.m_wndStatusBar;
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(bar->GetCount(), 4);
    EXPECT_EQ(bar->GetPaneText(0), " ");
    EXPECT_EQ(bar->GetPaneText(1), "CAP");
    EXPECT_EQ(bar->GetPaneText(2), "NUM");
    EXPECT_EQ(bar->GetPaneText(3), "SCRL");
    // Pane 0 takes what the indicators leave.
    EXPECT_GT(bar->GetItemRect(0).width(), bar->GetItemRect(1).width());
    EXPECT_LT(bar->GetItemRect(0).right(), bar->GetItemRect(1).left());
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
                fprintf(stderr, "message: [%s]\n", qPrintable(QString(r.text).replace("\r\n", "<CRLF>")));
                return IDOK;
            });
            CLumarestApp app;
            app.InitInstance();
        },
        ::testing::ExitedWithCode(1), "message: \\[CoInitialize Failed!<CRLF>\\]");
}

} // namespace
