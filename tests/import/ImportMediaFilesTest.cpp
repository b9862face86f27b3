// The document's import of a folder, in the running program: what enters the
// catalogue, the progress bar and status pane while it runs, the play list
// filled again, and what an engine error leaves behind.
#include "AppHarness.h"
#include "ImportFixtures.h"
#include "app/CMainFrame.h"
#include "catalogue/CDao_PlayList.h"
#include "platform/dao/DaoDatabase.h"
#include "platform/framework/StatusBar.h"
#include "platform/framework/WaitCursor.h"
#include "platform/listctrl/ListCtrl.h"
#include "player/CLumarestDoc.h"
#include "playlist/CListView_Table.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProgressBar>
#include <QWindow>

#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace importtest;

namespace {

const QString kCaption = QStringLiteral("Importing Media Files to Database: ");

class ImportMediaFiles : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_h.started());
        ASSERT_TRUE(m_media.isValid());
        // As a user finds it: the main window on the screen.
        ASSERT_TRUE(AppHarness::waitFor([this] {
            return m_h.frame().windowHandle() && m_h.frame().windowHandle()->isExposed();
        }));
        m_folder = m_media.path();
    }
    CDao_PlayList& catalogue() { return m_h.frame().m_PlayList; }
    sqlite3* db() { return catalogue().m_pCDaoDatabase->GetHandle(); }
    CStatusBar& statusBar() { return *m_h.frame().m_wndStatusBar; }
    int progressBars() {
        return static_cast<int>(statusBar().findChildren<QProgressBar*>().size());
    }
    void import(const QString& extension) { m_doc.ImportMediaFiles(m_folder, extension); }

    AppHarness m_h;
    CLumarestDoc m_doc; // takes the main frame's catalogue
    QTemporaryDir m_media;
    QString m_folder;
};

} // namespace

TEST_F(ImportMediaFiles, AddsTheFilesOfTheFolderWithTheSameEnding) {
    makeFile(m_folder, QStringLiteral("a.mp3"), "aaaa");
    makeFile(m_folder, QStringLiteral("B.MP3"), "bbbbbb");
    makeFile(m_folder, QStringLiteral("c.wav"), "c");
    makeFile(m_folder, QStringLiteral("it's.mp3"), "quoted");
    ASSERT_TRUE(QDir(m_folder).mkdir(QStringLiteral("d.mp3")));
    ASSERT_EQ(m_doc.m_pCDao_PlayList, &catalogue());

    import(QStringLiteral("mp3"));
    const auto rows = readRows(db());
    ASSERT_EQ(rows.size(), 3u);
    const auto a = findRow(rows, m_folder, QStringLiteral("a.mp3"));
    const auto b = findRow(rows, m_folder, QStringLiteral("B.MP3"));
    const auto quoted = findRow(rows, m_folder, QStringLiteral("it's.mp3"));
    ASSERT_TRUE(a && b && quoted);
    EXPECT_EQ(a->extension, QStringLiteral("mp3"));
    EXPECT_EQ(b->extension, QStringLiteral("MP3"));
    EXPECT_EQ(a->size, 4);
    EXPECT_EQ(b->size, 6);
    EXPECT_EQ(quoted->size, 6);
    for (const Row& row : rows)
        EXPECT_TRUE(row.date) << row.name.toStdString();
    EXPECT_TRUE(m_h.messages.empty());

    // A second import of the same folder adds nothing and says nothing.
    import(QStringLiteral("mp3"));
    const auto again = readRows(db());
    ASSERT_EQ(again.size(), 3u);
    for (size_t i = 0; i < again.size(); ++i)
        EXPECT_EQ(again[i].id, rows[i].id);
    EXPECT_TRUE(m_h.messages.empty());
}

TEST_F(ImportMediaFiles, ProgressAdvancesBeforeEachFileThenGoes) {
    for (const char* name : {"1.ogg", "2.ogg", "3.ogg", "4.ogg"})
        makeFile(m_folder, QString::fromLatin1(name));
    std::vector<qint64> recordsAtPosition;
    std::vector<QString> captions;
    std::vector<int> barLefts;
    ProgressWatch watch([&](int) {
        recordsAtPosition.push_back(countRows(db()));
        captions.push_back(statusBar().GetPaneText(0));
        const auto bars = statusBar().findChildren<QProgressBar*>();
        barLefts.push_back(bars.size() == 1 ? bars.front()->geometry().left() : -1);
    });
    import(QStringLiteral("ogg"));

    EXPECT_EQ(watch.positions, (std::vector<int>{0, 25, 50, 75}));
    EXPECT_EQ(recordsAtPosition, (std::vector<qint64>{0, 1, 2, 3})); // set before each addition
    for (const QString& caption : captions)
        EXPECT_EQ(caption, kCaption);
    for (int left : barLefts)
        EXPECT_EQ(left, 210); // 6 pixels for each of the caption's 35 characters
    EXPECT_EQ(countRows(db()), 4);
    EXPECT_FALSE(catalogue().m_CProgressCtrl.IsWindow());
    EXPECT_EQ(progressBars(), 0);
    EXPECT_EQ(statusBar().GetPaneText(0), QString());
    EXPECT_EQ(CWaitCursor::Depth(), 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(ImportMediaFiles, ManyFilesRepaintAsTheyAdvanceAtMostAboutOnceAFrame) {
    makeFiles(m_folder, QStringLiteral("t"), QStringLiteral("mp3"), 450);
    ProgressWatch watch(nullptr);
    import(QStringLiteral("mp3"));
    EXPECT_EQ(countRows(db()), 450);
    ASSERT_EQ(watch.positions.size(), 100u);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(watch.positions[i], i);
    // Drawn as it advances although the import holds the event loop, and at
    // its end, but no more often than about once a frame (16 ms), so that
    // painting does not slow the import down.
    EXPECT_GE(watch.paints, 2);
    EXPECT_LE(watch.paints, 110);
    int close = 0;
    for (size_t i = 1; i < watch.paintTimes.size(); ++i)
        close += watch.paintTimes[i] - watch.paintTimes[i - 1] < 12;
    EXPECT_LE(close, 2) << "paints closer together than a frame";
}

TEST_F(ImportMediaFiles, FolderWithoutMatchesShowsAndRemovesTheBar) {
    makeFile(m_folder, QStringLiteral("a.wav"));
    ProgressWatch watch(nullptr);
    m_doc.ImportMediaFiles(m_folder + QStringLiteral("/missing"), QStringLiteral("mp3"));
    import(QStringLiteral("mp3"));
    EXPECT_EQ(watch.positions, (std::vector<int>{0, 0}));
    EXPECT_EQ(countRows(db()), 0);
    EXPECT_EQ(progressBars(), 0);
    EXPECT_EQ(statusBar().GetPaneText(0), QString());
    EXPECT_TRUE(m_h.messages.empty());
}

TEST_F(ImportMediaFiles, EmptyExtensionImportsEveryPlainFile) {
    for (const char* name : {"a.mp3", "b.wav", "readme", "clip.mpeg"})
        makeFile(m_folder, QString::fromLatin1(name));
    ASSERT_TRUE(QDir(m_folder).mkdir(QStringLiteral("sub")));
    import(QString());
    const auto rows = readRows(db());
    EXPECT_EQ(rows.size(), 4u);
    EXPECT_EQ(findRow(rows, m_folder, QStringLiteral("clip.mpeg"))->extension,
              QStringLiteral("peg"));
    EXPECT_EQ(findRow(rows, m_folder, QStringLiteral("readme"))->extension, QStringLiteral("dme"));
}

TEST_F(ImportMediaFiles, LongAndShortEndingsImportTheirFilesAndStoreTheLastThreeCharacters) {
    for (const char* name : {"clip.mpeg", "other.MPEG", "film.mpg", "photo.peg"})
        makeFile(m_folder, QString::fromLatin1(name));
    import(CLumarestDoc::ExtensionOf(QStringLiteral("clip.mpeg")));
    auto rows = readRows(db());
    ASSERT_EQ(rows.size(), 2u); // the MPEG files, whatever their case, and nothing else
    EXPECT_EQ(findRow(rows, m_folder, QStringLiteral("clip.mpeg"))->extension,
              QStringLiteral("peg"));
    EXPECT_EQ(findRow(rows, m_folder, QStringLiteral("other.MPEG"))->extension,
              QStringLiteral("PEG"));

    for (const char* name : {"a.flac", "b.ts", "c.mts"})
        makeFile(m_folder, QString::fromLatin1(name));
    import(CLumarestDoc::ExtensionOf(QStringLiteral("a.flac")));
    import(CLumarestDoc::ExtensionOf(QStringLiteral("b.ts")));
    rows = readRows(db());
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(findRow(rows, m_folder, QStringLiteral("a.flac"))->extension, QStringLiteral("lac"));
    EXPECT_EQ(findRow(rows, m_folder, QStringLiteral("b.ts"))->extension, QStringLiteral(".ts"));

    // A three-letter ending is its last three characters, as before.
    import(CLumarestDoc::ExtensionOf(QStringLiteral("photo.peg")));
    EXPECT_EQ(readRows(db()).size(), 5u);
}

TEST_F(ImportMediaFiles, FileGoneBeforeItsTurnGetsARecordWithoutSizeAndDate) {
    makeFile(m_folder, QStringLiteral("stays.mp3"));
    const QString gone = makeFile(m_folder, QStringLiteral("goes.mp3"));
    // Position 0 is shown after the folder was listed and before any file is added.
    ProgressWatch watch([&](int position) {
        if (position == 0)
            QFile::remove(gone);
    });
    import(QStringLiteral("mp3"));
    const auto rows = readRows(db());
    ASSERT_EQ(rows.size(), 2u);
    const auto goes = findRow(rows, m_folder, QStringLiteral("goes.mp3"));
    ASSERT_TRUE(goes);
    EXPECT_FALSE(goes->size);
    EXPECT_FALSE(goes->date);
    EXPECT_TRUE(findRow(rows, m_folder, QStringLiteral("stays.mp3"))->size);
}

TEST_F(ImportMediaFiles, EngineErrorKeepsTheRecordsAddedBeforeAndIsPassedOn) {
    makeFiles(m_folder, QStringLiteral("e"), QStringLiteral("mp3"), 6);
    QStringList order;
    catalogue().ListFiles(m_folder, order, QStringLiteral("mp3"));
    ASSERT_EQ(order.size(), 6);
    const QString refused = order.at(3);
    catalogue().m_pCDaoDatabase->Execute(
        QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON FILES WHEN NEW.Name = '%1' "
                       "BEGIN SELECT RAISE(ABORT, 'refused by the test'); END")
            .arg(refused));

    EXPECT_THROW(import(QStringLiteral("mp3")), CDaoException);
    EXPECT_EQ(catalogue().m_pCDaoDatabase->GetTransactionDepth(), 0);
    EXPECT_EQ(progressBars(), 0);
    EXPECT_EQ(statusBar().GetPaneText(0), QString());
    EXPECT_EQ(CWaitCursor::Depth(), 0);

    // Committed: another connection to the file sees them.
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open_v2(QFile::encodeName(m_h.catalogue()).constData(), &other,
                              SQLITE_OPEN_READONLY, nullptr),
              SQLITE_OK);
    const auto rows = readRows(other);
    sqlite3_close(other);
    ASSERT_EQ(rows.size(), 3u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(rows[i].name, order.at(i));
}

TEST_F(ImportMediaFiles, PlayListIsFilledAgainOnlyWhenTheCatalogueNamesIt) {
    makeFile(m_folder, QStringLiteral("first.mp3"));
    import(QStringLiteral("mp3"));
    m_h.frame().OnViewPlayList();
    CListView_Table* view = catalogue().m_pCListView_Table;
    ASSERT_NE(view, nullptr);
    CListCtrl* list = view->ListCtrl();
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->GetItemCount(), 1);

    makeFile(m_folder, QStringLiteral("second.mp3"));
    import(QStringLiteral("mp3"));
    EXPECT_EQ(list->GetItemCount(), 2);

    // With no play list named, the import refills nothing.
    catalogue().m_pCListView_Table = nullptr;
    makeFile(m_folder, QStringLiteral("third.mp3"));
    import(QStringLiteral("mp3"));
    EXPECT_EQ(countRows(db()), 3);
    EXPECT_EQ(list->GetItemCount(), 2);
    catalogue().m_pCListView_Table = view;
}
