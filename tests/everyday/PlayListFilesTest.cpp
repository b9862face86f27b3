// Play lists as files: lists of every kind read into the files they name, a
// selection saved and read back, and File/Open of a list in the whole program.
#include "AppHarness.h"
#include "MediaFixtures.h"

#include "app/CLumarestApp.h"
#include "app/CMainFrame.h"
#include "app/SharedState.h"
#include "platform/framework/DocTemplate.h"
#include "platform/framework/RecentFileList.h"
#include "platform/listctrl/ListCtrl.h"
#include "player/CLumarestDoc.h"
#include "player/CLumarestView.h"
#include "playlist/CListView_Table.h"
#include "playlist/PlayListFiles.h"
#include "res/Resource.h"

#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <memory>

using namespace playlist;

namespace {

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

struct ListCase {
    const char* name;
    const char* file;  // the list's name in the folder
    QByteArray text;   // "{dir}" stands for the folder's absolute path
    QStringList found; // relative to the folder
    int missing;
};

TEST(PlayListFiles, ListsOfEveryKindNameTheirExistingFiles) {
    QTemporaryDir tmp;
    const QString dir = tmp.path();
    for (const QString& name : QStringList{"a.wav", "sub/b.wav", "with space.wav", "Ünï çødé.wav",
                                           "Café.wav", "other.m3u"})
        WriteBytes(dir + '/' + name, "x");
    const std::vector<ListCase> cases = {
        {"relative, absolute, missing and URL",
         "m.m3u",
         "#EXTM3U\n#EXTINF:5,A\na.wav\n\n{dir}/sub/b.wav\nmissing.wav\nhttp://127.0.0.1/x.mp3\n",
         {"a.wav", "sub/b.wav"},
         2},
        {"UTF-8 with a mark and CR LF",
         "u.m3u8",
         "\xEF\xBB\xBF#EXTM3U\r\n#EXTINF:-1,\xC3\x9Cn\xC3\xAF\r\n\xC3\x9Cn\xC3\xAF "
         "\xC3\xA7\xC3\xB8\x64\xC3\xA9.wav\r\n\r\n",
         {"Ünï çødé.wav"},
         0},
        {"file URLs decoded, another host's refused",
         "f.m3u",
         "file://{dir}/with%20space.wav\nfile://elsewhere/{dir}/a.wav\n",
         {"with space.wav"},
         1},
        {"PLS in the order of its numbers",
         "p.pls",
         "[playlist]\r\nFile2=sub/b.wav\r\nTitle2=B\r\nFile1=a.wav\r\nLength1=5\r\n"
         "NumberOfEntries=2\r\nVersion=2\r\n",
         {"a.wav", "sub/b.wav"},
         0},
        {"folders by backslashes", "w.m3u", "sub\\b.wav\n", {"sub/b.wav"}, 0},
        {"Latin-1 names", "l.m3u", "Caf\xE9.wav\n", {"Café.wav"}, 0},
        {"a list in a list is no medium", "n.m3u", "other.m3u\na.wav\n", {"a.wav"}, 1},
        {"comments and blanks only", "e.m3u", "#EXTM3U\n\n# nothing\n", {}, 0},
    };
    for (const ListCase& c : cases) {
        SCOPED_TRACE(c.name);
        const QString list = dir + '/' + c.file;
        WriteBytes(list, QByteArray(c.text).replace("{dir}", dir.toUtf8()));
        QStringList expected;
        for (const QString& name : c.found)
            expected << QDir::cleanPath(dir + '/' + name);
        const PlayListRead read = ReadPlayListFile(list);
        EXPECT_TRUE(read.fault.isEmpty());
        EXPECT_EQ(read.files, expected);
        EXPECT_EQ(read.missing, c.missing);
    }
    EXPECT_FALSE(ReadPlayListFile(dir + "/none.m3u").fault.isEmpty());
    EXPECT_EQ(MissingFilesText(1), "1 of the files listed was not found.");
    EXPECT_EQ(MissingFilesText(3), "3 of the files listed were not found.");
}

// The program: a list opened by File/Open catalogues what it names and plays it.
class PlayListFileOpen : public ::testing::Test {
protected:
    void SetUp() override {
        harness = std::make_unique<AppHarness>();
        ASSERT_TRUE(harness->started());
        media = QDir(harness->dir()).filePath("media");
        QDir().mkpath(media + "/dür");
        first = fixtures::makeMedia(fixtures::Media::Wav, media, "first.wav", 1);
        second = fixtures::makeMedia(fixtures::Media::Wav, media + "/dür", "sëcond.wav", 1);
        ASSERT_FALSE(first.isEmpty());
        ASSERT_FALSE(second.isEmpty());
        WriteBytes(media + "/third.wav", "not here for long");
        WriteBytes(media + "/other.m3u", "first.wav\n");
    }
    void TearDown() override {
        CListView_Table::SetSaveFileChooser({});
        harness.reset();
        g_bQueuePlaying = false;
    }
    void openByFileOpen(const QString& path) {
        harness->app().SetFileDialogHandler([path](const QString&) { return path; });
        harness->frame().SendCommand(ID_FILE_OPEN);
    }
    QStringList catalogued() {
        sqlite3* raw = nullptr;
        EXPECT_EQ(sqlite3_open(QFile::encodeName(harness->catalogue()).constData(), &raw),
                  SQLITE_OK);
        std::unique_ptr<sqlite3, decltype(&sqlite3_close)> db(raw, &sqlite3_close);
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(raw, "SELECT Directory || '/' || Name FROM FILES ORDER BY 1", -1, &stmt,
                           nullptr);
        QStringList rows;
        while (stmt && sqlite3_step(stmt) == SQLITE_ROW)
            rows << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
        sqlite3_finalize(stmt);
        return rows;
    }
    std::vector<CLumarestDoc*> players() {
        std::vector<CLumarestDoc*> docs;
        for (const auto& doc : harness->app().m_pPlayerTemplate->Documents())
            docs.push_back(dynamic_cast<CLumarestDoc*>(doc.get()));
        return docs;
    }

    std::unique_ptr<AppHarness> harness;
    QString media, first, second;
};

TEST_F(PlayListFileOpen, ImportsReportsMissingAndPlaysAQueue) {
    const QString list = media + "/list.m3u8";
    WriteBytes(list, "\xEF\xBB\xBF#EXTM3U\r\n#EXTINF:1,First\r\nfirst.wav\r\n"
                     "gone.wav\r\nhttps://127.0.0.1/live\r\n" +
                         QUrl::fromLocalFile(second).toEncoded() + "\r\nother.m3u\r\n");
    openByFileOpen(list);
    EXPECT_EQ(harness->messageTexts(), QStringList{"3 of the files listed were not found."});
    // Only the files listed: neither their neighbours nor the lists are catalogued.
    EXPECT_EQ(catalogued(), (QStringList{second, first}));
    const std::vector<CLumarestDoc*> docs = players();
    ASSERT_EQ(docs.size(), 1u);
    CLumarestDoc* doc = docs.front();
    EXPECT_EQ(doc->m_arrPaths, (QStringList{first, second}));
    EXPECT_TRUE(g_bQueuePlaying);
    ASSERT_NE(doc->m_pCLumarestView, nullptr);
    EXPECT_EQ(doc->m_pCLumarestView->File(), first);
    EXPECT_EQ(doc->GetTitle(), first);
    EXPECT_TRUE(
        AppHarness::waitFor([&] { return doc->m_pCLumarestView->File() == second; }, 10000));
    EXPECT_EQ(doc->GetTitle(), second);
    ASSERT_TRUE(harness->app().m_pRecentFileList);
    EXPECT_EQ((*harness->app().m_pRecentFileList)[0], list);

    // A list naming nothing there opens nothing.
    const QString empty = media + "/gone.pls";
    WriteBytes(empty, "[playlist]\nFile1=gone.wav\nNumberOfEntries=1\n");
    openByFileOpen(empty);
    EXPECT_EQ(harness->messageTexts().last(), "1 of the files listed was not found.");
    EXPECT_EQ(players().size(), 1u);
}

TEST_F(PlayListFileOpen, SavedSelectionOpensAsTheSameQueue) {
    openByFileOpen(first);
    openByFileOpen(second);
    harness->frame().SendCommand(ID_VIEW_PLAYLIST);
    CListView_Table* table = harness->frame().findChild<CListView_Table*>();
    ASSERT_NE(table, nullptr);
    // Sorted by ending and name; third.wav came in with first.wav.
    ASSERT_EQ(table->ListCtrl()->GetItemCount(), 3);
    ASSERT_EQ(table->ListCtrl()->GetItemText(2, 0), "third.wav");
    table->ListCtrl()->SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED);
    table->ListCtrl()->SetItemState(2, 0, LVIS_SELECTED);
    // Saved beside the second: the first, outside the list's folder, is named whole.
    const QString saved = media + "/dür/saved.m3u8";
    CListView_Table::SetSaveFileChooser([&](const QString&) { return saved; });
    CListView_Table::SetMenuChooser([](QMenu& menu, QPoint) -> UINT {
        for (QAction* action : menu.actions())
            if (action->text() == QStringLiteral("Save selection as\u2026"))
                return action->data().toUInt();
        return 0;
    });
    table->OnRButtonDown(QPoint(4, 4)); // the context menu, its last entry chosen
    CListView_Table::SetMenuChooser({});
    QFile file(saved);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(file.readAll()),
              "#EXTM3U\n#EXTINF:-1,first\n" + first + "\n#EXTINF:-1,sëcond\nsëcond.wav\n");

    const size_t before = players().size();
    openByFileOpen(saved);
    ASSERT_EQ(players().size(), before + 1);
    EXPECT_EQ(players().back()->m_arrPaths, (QStringList{first, second}));
    EXPECT_EQ(catalogued().size(), 3); // nothing catalogued twice
    EXPECT_TRUE(harness->messages.empty());
}

} // namespace
