// The play-list window on a catalogue of a million records, in the running
// program: opening it (time, bytes a line, a second window), sorting by every
// column against an index sort of the same texts, select-all, deleting half the
// lines against prepared deletes plus one model update, and the refill after an
// import that finds nothing new, the filter box's keystrokes against a plain scan
// of the same texts. Floors and program run alternately in one
// run, so that the machine's load falls on both alike. Prints figures and
// TARGET lines; asserts only that the results are right.
#include "BenchSupport.h"
#include "PlayListWindows.h"

#include "app/CLumarestApp.h"
#include "app/CMainFrame.h"
#include "catalogue/CDao_PlayList.h"
#include "platform/dao/DaoDatabase.h"
#include "platform/framework/MDIChildWnd.h"
#include "platform/framework/MessageBox.h"
#include "platform/listctrl/ListCtrl.h"
#include "player/CLumarestDoc.h"
#include "playlist/CListView_Table.h"
#include "playlist/PlayListCells.h"
#include "playlist/PlayListOrder.h"
#include "playlist/PlayListSort.h"
#include "res/Resource.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <malloc.h>
#include <numeric>

using bench::Samples;
using bench::Stopwatch;

namespace {

using bench::ClosePlayList;
using bench::OpenPlayList;

constexpr int kLines = 1000000;

void Exec(sqlite3* db, const char* sql) {
    char* error = nullptr;
    ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
}

// A million records like a real collection's: seven extensions, names that
// share their beginnings, a few hundred folders, sizes and dates all over.
void FillCatalogue(sqlite3* db) {
    Exec(db, "BEGIN");
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(
        db,
        "INSERT INTO FILES (Name, Extention, Size, DateCreated, Directory) VALUES ("
        "printf('%s track %06d.%s', iif(?1 % 3, 'Live', 'studio'), (?1 * 7919) % 1000003, "
        "  substr('avimp3oggwavmkvmp4png', 1 + 3 * (?1 % 7), 3)),"
        "substr('avimp3oggwavmkvmp4png', 1 + 3 * (?1 % 7), 3), (?1 * 2654435761) % 2000000000,"
        "printf('%04d-%02d-%02d %02d:%02d:00', 1995 + ?1 % 30, 1 + ?1 % 12, 1 + ?1 % 28, ?1 % 24,"
        "  ?1 % 60),"
        "printf('/home/user/media/collection %d/disc %d', (?1 * 31) % 200, ?1 % 9))",
        -1, &insert, nullptr);
    for (int i = 0; i < kLines; ++i) {
        sqlite3_bind_int(insert, 1, i);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    Exec(db, "COMMIT");
}

void Settle(QWidget* w) {
    QApplication::processEvents();
    w->repaint();
}

// The floor's model: rows by number, reset once after a change.
class IndexModel : public QAbstractListModel {
public:
    explicit IndexModel(std::vector<uint32_t>& rows) : m_rows(rows) {}
    int rowCount(const QModelIndex& p = {}) const override {
        return p.isValid() ? 0 : int(m_rows.size());
    }
    QVariant data(const QModelIndex& i, int role) const override {
        return role == Qt::DisplayRole ? QVariant(int(m_rows[size_t(i.row())])) : QVariant();
    }
    void Reset() {
        beginResetModel();
        endResetModel();
    }

private:
    std::vector<uint32_t>& m_rows;
};

bool Replace(const QString& from, const QString& to) {
    QFile::remove(to);
    return QFile::copy(from, to);
}

class Million : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid() && m_media.isValid());
        m_old = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
        m_oldHandler = SetMessageBoxHandler(
            [](const MessageBoxRequest& r) { return (r.type & 0xF) == MB_YESNO ? IDYES : IDOK; });
        m_app = std::make_unique<CLumarestApp>();
        ASSERT_TRUE(m_app->InitInstance());
        // A catalogue made by an earlier run may be named to spare its making.
        const QString made = qEnvironmentVariable("LUMAREST_BENCH_MILLION_CATALOGUE");
        if (!made.isEmpty() && QFile::exists(made)) {
            Catalogue().m_pCDaoDatabase->Close();
            ASSERT_TRUE(Replace(made, Path()));
            ASSERT_TRUE(Catalogue().OpenDatabase(Path(), false));
        } else {
            Stopwatch fill;
            FillCatalogue(Db());
            std::printf("catalogue of %d records made in %.1f s\n", kLines, fill.Ms() / 1e3);
            if (!made.isEmpty()) {
                Catalogue().m_pCDaoDatabase->Close();
                QFile::copy(Path(), made);
                ASSERT_TRUE(Catalogue().OpenDatabase(Path(), false));
            }
        }
        // Ten files of a folder, catalogued already: their import adds nothing.
        for (int i = 0; i < 10; ++i) {
            QFile f(m_media.path() + QStringLiteral("/again%1.mp3").arg(i));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("x");
        }
        CLumarestDoc doc;
        doc.ImportMediaFiles(m_media.path(), QStringLiteral("mp3"));
        m_full = m_dir.path() + QStringLiteral("/full.mdb");
        Catalogue().m_pCDaoDatabase->Close();
        ASSERT_TRUE(Replace(Path(), m_full));
        ASSERT_TRUE(Catalogue().OpenDatabase(Path(), false));
    }
    void TearDown() override {
        m_app.reset();
        SetMessageBoxHandler(std::move(m_oldHandler));
        QDir::setCurrent(m_old);
    }
    CMainFrame* Frame() const { return MainFrame(); }
    CDao_PlayList& Catalogue() const { return Frame()->m_PlayList; }
    sqlite3* Db() const { return Catalogue().m_pCDaoDatabase->GetHandle(); }
    QString Path() const { return m_dir.path() + QStringLiteral("/Lumarest.mdb"); }

    QTemporaryDir m_dir, m_media;
    QString m_old, m_full;
    MessageBoxHandler m_oldHandler;
    std::unique_ptr<CLumarestApp> m_app;
};

// The floor of a sort: the same texts read from the control, an index of the
// lines sorted by the same keys (the quickest sort of them this program
// knows), the lines put in that order, one model reset and its view settled.
double FloorSortMs(CListCtrl& list, int column, bool sizeColumn, bool flag, IndexModel& model,
                   std::vector<uint32_t>& rows, QWidget& view) {
    Stopwatch t;
    const int n = list.GetItemCount();
    std::vector<CCellView> texts(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        texts[size_t(i)] = list.GetItemCell(i, column);
    std::vector<uint32_t> order = playlist::SortedLines(texts, sizeColumn, flag);
    rows.swap(order);
    model.Reset();
    Settle(&view); // its view laid out and painted again, as the program's is
    return t.Ms();
}

TEST_F(Million, PlayListWindow) {
    CMainFrame* frame = Frame();
    frame->m_PlayList.CountRecords(QStringLiteral("FILES")); // the file in the page cache
    QApplication::processEvents();

    // Opening, as the user does it, first while the memory figures are fresh.
    Samples open, openCpu;
    malloc_trim(0);
    const long rss0 = bench::RssKiB();
    Stopwatch t;
    CListView_Table* view = OpenPlayList(frame);
    ASSERT_NE(view, nullptr);
    Settle(view);
    open.Add(t.Ms());
    openCpu.Add(t.CpuMs());
    const long rss1 = bench::RssKiB();
    ASSERT_EQ(view->m_pCListCtrl->GetItemCount(), kLines + 10);
    const double perLine = double(rss1 - rss0) * 1024.0 / double(kLines + 10);

    // A second window beside it (it shares the first one's lines); then the
    // first closed too, and two more opened alone, each filled from the
    // catalogue: the last one stays.
    malloc_trim(0);
    const long rss2a = bench::RssKiB();
    t.Restart();
    CListView_Table* second = OpenPlayList(frame);
    Settle(second);
    const double secondMs = t.Ms();
    const long rss2 = bench::RssKiB();
    const double secondShare = double(rss2 - rss2a) / double(std::max(1L, rss1 - rss0));
    ASSERT_EQ(second->m_pCListCtrl->GetItemCount(), kLines + 10);
    ClosePlayList(second);
    ClosePlayList(view);
    for (int k = 0; k < 2; ++k) {
        t.Restart();
        view = OpenPlayList(frame);
        Settle(view);
        open.Add(t.Ms());
        openCpu.Add(t.CpuMs());
        if (k == 0)
            ClosePlayList(view);
    }
    ASSERT_EQ(frame->findChildren<CListView_Table*>().size(), 1);
    view = frame->findChildren<CListView_Table*>().value(0);
    ASSERT_NE(view, nullptr);
    CListCtrl& list = *view->m_pCListCtrl;

    // Sorting by every column, each against its floor, alternately.
    std::vector<uint32_t> floorRows;
    IndexModel floorModel(floorRows);
    QTreeView floorView;
    floorView.setUniformRowHeights(true);
    floorView.setModel(&floorModel);
    floorView.resize(600, 400);
    floorView.show();
    Samples sortMs, sortRatio, slowestColumn;
    double worstSort = 0;
    for (int column = 0; column < playlist::ColumnCount; ++column) {
        Samples byColumn;
        const bool sizeColumn = view->m_pCListCtrl->GetColumnTitle(column) == "Size Mb";
        for (int k = 0; k < 2; ++k) {
            const double floor =
                FloorSortMs(list, column, sizeColumn, k % 2, floorModel, floorRows, floorView);
            t.Restart();
            view->OnColumnClick(column);
            Settle(view);
            const double ms = t.Ms();
            sortMs.Add(ms);
            byColumn.Add(ms);
            sortRatio.Add(ms / floor);
            std::printf("  sort by column %d: %.0f ms, index sort %.0f ms\n", column, ms, floor);
            worstSort = std::max(worstSort, ms);
        }
        if (byColumn.Median() > slowestColumn.Median())
            slowestColumn = byColumn;
    }
    floorView.setModel(nullptr);

    Samples selectAll;
    for (int k = 0; k < 3; ++k) {
        list.SetItemState(-1, 0, LVIS_SELECTED);
        Settle(view);
        t.Restart();
        view->OnSelectAll();
        Settle(view);
        selectAll.Add(t.Ms());
        EXPECT_EQ(list.GetSelectedCount(), list.GetItemCount());
    }
    list.SetItemState(-1, 0, LVIS_SELECTED);

    // The refill after an import that finds nothing new, play list open.
    Samples refill, refillCpu, reimport;
    CLumarestDoc doc;
    for (int k = 0; k < 2; ++k) {
        t.Restart();
        doc.ImportMediaFiles(m_media.path(), QStringLiteral("mp3"));
        reimport.Add(t.Ms());
        t.Restart();
        view->FillList();
        Settle(view);
        refill.Add(t.Ms());
        refillCpu.Add(t.CpuMs());
        EXPECT_EQ(list.GetItemCount(), kLines + 10);
    }

    std::printf("\nPlay list of %d lines\n", list.GetItemCount());
    std::printf("  open: median %.0f ms (thread CPU %.0f ms), memory %.1f bytes a line\n",
                open.Median(), openCpu.Median(), perLine);
    std::printf("  a second window adds %.2f of the first one's memory, opens in %.0f ms\n",
                secondShare, secondMs);
    std::printf("  sorts: median %.0f ms, slowest %.0f ms, %.2fx an index sort\n", sortMs.Median(),
                worstSort, sortRatio.Median());
    std::printf("  re-import with nothing new, play list open: %.0f ms; the refill alone %.0f ms "
                "(thread CPU %.0f ms)\n",
                reimport.Median(), refill.Median(), refillCpu.Median());
    bench::Target("1M play list: open (ms)", open, "", 1500, false, 0);
    Samples bytes;
    bytes.Add(perLine);
    bench::Target("1M play list: bytes per line", bytes, "", 120, false, 0);
    Samples share;
    share.Add(secondShare);
    bench::Target("1M play list: second window's memory / first's", share, "x", 0.5);
    bench::Target("1M play list: sort by the slowest column (ms)", slowestColumn, "", 1000, false,
                  0);
    bench::Target("1M play list: sort vs index sort of same keys", sortRatio, "x", 1.5);
    bench::Target("1M play list: select all (ms)", selectAll, "", 50, true, 1);
    bench::Target("1M play list: refill after an import (ms)", refill, "", 1000, false, 0);
}

// Deleting every other line of a million: the program's Delete against one
// prepared DELETE per key in one transaction plus one model update, on copies
// of the same catalogue, alternately.
TEST_F(Million, DeleteHalf) {
    CMainFrame* frame = Frame();
    const QString floorPath = m_dir.path() + QStringLiteral("/floor.mdb");
    Samples ratio, programMs;
    constexpr int kRounds = 2;
    for (int round = 0; round < kRounds; ++round) {
        Catalogue().m_pCDaoDatabase->Close();
        ASSERT_TRUE(Replace(m_full, Path()));
        ASSERT_TRUE(Catalogue().OpenDatabase(Path(), false));
        CListView_Table* view = OpenPlayList(frame);
        ASSERT_NE(view, nullptr);
        Settle(view);
        CListCtrl& list = *view->m_pCListCtrl;
        const int n = list.GetItemCount();
        std::vector<qint64> keys;
        for (int i = 0; i < n; i += 2) {
            list.SetItemState(i, LVIS_SELECTED, LVIS_SELECTED);
            keys.push_back(list.GetItemText(i, playlist::ColKey).toLongLong());
        }
        Settle(view);

        // The floor, on its own copy.
        ASSERT_TRUE(Replace(m_full, floorPath));
        std::vector<uint32_t> rows(static_cast<size_t>(n));
        std::iota(rows.begin(), rows.end(), 0u);
        IndexModel model(rows);
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(floorPath).constData(), &db);
        Stopwatch t;
        Exec(db, "BEGIN IMMEDIATE");
        sqlite3_stmt* del = nullptr;
        sqlite3_prepare_v2(db, "DELETE FROM FILES WHERE ID_Files = ?1", -1, &del, nullptr);
        for (qint64 key : keys) {
            sqlite3_bind_int64(del, 1, key);
            sqlite3_step(del);
            sqlite3_reset(del);
        }
        sqlite3_finalize(del);
        Exec(db, "COMMIT");
        size_t kept = 0;
        for (size_t i = 0; i < rows.size(); ++i)
            if (i % 2)
                rows[kept++] = rows[i];
        rows.resize(kept);
        model.Reset();
        const double floor = t.Ms();
        sqlite3_close(db);

        t.Restart();
        view->OnDeleteSelected();
        Settle(view);
        const double ms = t.Ms();
        EXPECT_EQ(list.GetItemCount(), n - int(keys.size()));
        programMs.Add(ms);
        ratio.Add(ms / floor);
        std::printf("delete half of %d: floor %.0f ms, program %.0f ms\n", n, floor, ms);
        ClosePlayList(view);
    }
    bench::Target("1M play list: delete half vs prepared deletes + model update", ratio, "x", 1.3);
}

// The floor of a filter keystroke: every line's name and folder read from the
// control and searched for the text as it is (bytes, case kept). The lines found.
int FloorScan(const CListCtrl& list, const QByteArray& typed, double& ms) {
    Stopwatch t;
    const auto holds = [&](const CCellView& cell) {
        if (cell.wide)
            return QStringView(cell.Utf16(), qsizetype(cell.length))
                .contains(QLatin1StringView(typed));
        const char* text = reinterpret_cast<const char*>(cell.Latin1());
        return std::search(text, text + cell.length, typed.begin(), typed.end()) !=
               text + cell.length;
    };
    int found = 0;
    for (int i = 0, n = list.GetItemCount(); i < n; ++i)
        found += holds(list.GetItemCell(i, playlist::ColName)) ||
                 holds(list.GetItemCell(i, playlist::ColDirectory));
    ms = t.Ms();
    return found;
}

// Typing into the filter box (Ctrl+F), a keystroke at a time, each timed until the
// table is painted again; the text typed last matches names, then folders.
TEST_F(Million, FilterKeystrokes) {
    CListView_Table* view = OpenPlayList(Frame());
    ASSERT_NE(view, nullptr);
    Settle(view);
    CListCtrl& list = *view->m_pCListCtrl;
    const int all = list.GetItemCount();
    Samples keystroke, ratio;
    for (const QByteArray& typed : {QByteArray("track 0042"), QByteArray("collection 17/disc")}) {
        for (int round = 0; round < 2; ++round) {
            std::vector<double> floors;
            std::vector<int> counts;
            for (qsizetype len = 1; len <= typed.size(); ++len) {
                double ms = 0;
                counts.push_back(FloorScan(list, typed.left(len), ms));
                floors.push_back(ms);
            }
            view->OpenFilter();
            Settle(view);
            auto* box = view->findChild<QLineEdit*>();
            ASSERT_NE(box, nullptr);
            for (qsizetype len = 1; len <= typed.size(); ++len) {
                Stopwatch t;
                QTest::keyClick(box, typed[len - 1]);
                Settle(view);
                const double ms = t.Ms();
                keystroke.Add(ms);
                ratio.Add(ms / floors[size_t(len - 1)]);
                ASSERT_EQ(list.GetItemCount(), counts[size_t(len - 1)]) << typed.left(len).data();
            }
            std::printf("  filter \"%s\": %d of %d lines; last keystroke %.0f ms, scan %.0f ms\n",
                        typed.data(), list.GetItemCount(), all, keystroke.values.back(),
                        floors.back());
            QTest::keyClick(box, Qt::Key_Escape);
            Settle(view);
            ASSERT_EQ(list.GetItemCount(), all);
        }
    }
    std::printf("filter keystrokes: median %.0f ms, slowest %.0f ms, %.2fx a plain scan\n",
                keystroke.Median(), keystroke.Max(), ratio.Median());
    bench::Target("1M play list: filter keystroke (ms)", keystroke, "", 100, false, 0);
    bench::Target("1M play list: filter keystroke vs plain scan", ratio, "x", 3.0);
}

} // namespace
