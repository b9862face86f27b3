// The play-list window on large catalogues against the floor of the same work
// done plainly: reading the rows ordered and formatting their cells, showing
// them through a model over a vector, sorting them with std::stable_sort plus a
// model reset. Prints the figures; asserts nothing about time.
#include "BenchSupport.h"
#include "PlayListWindows.h"

#include "app/CLumarestApp.h"
#include "app/CMainFrame.h"
#include "platform/dao/DaoDatabase.h"
#include "platform/dao/DaoRecordset.h"
#include "platform/framework/MDIChildWnd.h"
#include "platform/framework/MessageBox.h"
#include "platform/listctrl/ListCtrl.h"
#include "playlist/CListView_Table.h"
#include "playlist/PlayListCells.h"
#include "res/Resource.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTreeView>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <malloc.h>
#include <random>
#include <string>

namespace {

using bench::ClosePlayList;
using bench::OpenPlayList;
using bench::PeakKiB;
using bench::ResetPeak;
using bench::RssKiB;

double Ms(const QElapsedTimer& t) {
    return t.nsecsElapsed() / 1e6;
}
double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void Settle(QWidget* w) {
    QApplication::processEvents();
    w->repaint();
}

// The program started in a folder of its own, with a catalogue of n records.
class Program {
public:
    explicit Program(int n) {
        m_old = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
        m_oldHandler = SetMessageBoxHandler([](const MessageBoxRequest&) { return IDOK; });
        m_app = std::make_unique<CLumarestApp>();
        EXPECT_TRUE(m_app->InitInstance());
        Fill(n);
        Settle(frame());
    }
    ~Program() {
        m_app.reset();
        SetMessageBoxHandler(std::move(m_oldHandler));
        QDir::setCurrent(m_old);
    }
    CMainFrame* frame() const { return MainFrame(); }
    CDaoDatabase& db() const { return *frame()->m_PlayList.m_pCDaoDatabase; }

private:
    void Fill(int n) {
        static const std::array<const char*, 7> exts{"avi", "mp3", "ogg", "wav",
                                                     "mkv", "mp4", "png"};
        std::mt19937 rng(20051206);
        CDaoTransaction transaction(db());
        CDaoRecordset rs(&db());
        rs.Open(AFX_DAO_USE_DEFAULT_TYPE, QStringLiteral("SELECT * FROM FILES"));
        for (int i = 0; i < n; ++i) {
            const char* ext = exts[rng() % exts.size()];
            rs.AddNew();
            rs.SetFieldValue(QStringLiteral("Name"),
                             QStringLiteral("%1 track %2.%3")
                                 .arg(rng() % 2 ? "Live" : "studio")
                                 .arg(rng() % 1000000, 6, 10, QLatin1Char('0'))
                                 .arg(ext));
            rs.SetFieldValue(QStringLiteral("Extention"), ext);
            rs.SetFieldValue(QStringLiteral("Size"), qint64(rng()) * 2);
            rs.SetFieldValue(QStringLiteral("DateCreated"),
                             COleVariant(COleDateTime(1995 + int(rng() % 30), 1 + int(rng() % 12),
                                                      1 + int(rng() % 28), int(rng() % 24),
                                                      int(rng() % 60), 0)));
            rs.SetFieldValue(QStringLiteral("Directory"),
                             QStringLiteral("/home/user/media/collection %1/disc %2")
                                 .arg(rng() % 200)
                                 .arg(rng() % 9));
            rs.Update();
        }
        rs.Close();
        transaction.Commit();
    }

    QTemporaryDir m_dir;
    QString m_old;
    MessageBoxHandler m_oldHandler;
    std::unique_ptr<CLumarestApp> m_app;
};

// The floor: rows in a vector, a model over it, a tree view showing it.
using Row = std::array<QString, 6>;

class RowsModel : public QAbstractTableModel {
public:
    explicit RowsModel(std::vector<Row>& rows) : m_rows(rows) {}
    int rowCount(const QModelIndex& p = {}) const override {
        return p.isValid() ? 0 : int(m_rows.size());
    }
    int columnCount(const QModelIndex& p = {}) const override { return p.isValid() ? 0 : 6; }
    QVariant data(const QModelIndex& i, int role) const override {
        return role == Qt::DisplayRole ? QVariant(m_rows[size_t(i.row())][size_t(i.column())])
                                       : QVariant();
    }
    void Reset() {
        beginResetModel();
        endResetModel();
    }

private:
    std::vector<Row>& m_rows;
};

std::vector<Row> FloorRead(CDaoDatabase& db) {
    using namespace playlist;
    std::vector<Row> rows;
    CDaoRecordset rs(&db);
    rs.Open(AFX_DAO_USE_DEFAULT_TYPE,
            QStringLiteral("SELECT * FROM FILES ORDER BY FILES.Extention, FILES.Name;"));
    for (; !rs.IsEOF(); rs.MoveNext())
        rows.push_back({TextCell(rs.GetFieldValue(QStringLiteral("Name"))),
                        TextCell(rs.GetFieldValue(QStringLiteral("Extention"))),
                        SizeCell(rs.GetFieldValue(QStringLiteral("Size"))),
                        CreatedCell(rs.GetFieldValue(QStringLiteral("DateCreated"))),
                        TextCell(rs.GetFieldValue(QStringLiteral("Directory"))),
                        KeyCell(rs.GetFieldValue(QStringLiteral("ID_Files")))});
    return rows;
}

struct Floor {
    double read = 0, show = 0, sortName = 0, sortSize = 0;
};

Floor MeasureFloor(CDaoDatabase& db, QWidget* parent) {
    Floor f;
    QElapsedTimer t;
    std::vector<Row> rows;
    std::vector<double> reads;
    for (int k = 0; k < 3; ++k) {
        rows.clear();
        t.start();
        rows = FloorRead(db);
        reads.push_back(Ms(t));
    }
    f.read = Median(reads);

    QTreeView view(parent);
    view.setUniformRowHeights(true);
    view.setRootIsDecorated(false);
    view.setGeometry(0, 0, 620, 420);
    view.show();
    RowsModel model(rows);
    t.restart();
    view.setModel(&model);
    Settle(&view);
    f.show = Ms(t);

    std::vector<double> byName, bySize;
    for (int k = 0; k < 3; ++k) {
        t.restart();
        std::stable_sort(rows.begin(), rows.end(), [k](const Row& a, const Row& b) {
            return k % 2 ? b[0] < a[0] : a[0] < b[0];
        });
        model.Reset();
        Settle(&view);
        byName.push_back(Ms(t));
        t.restart();
        std::vector<double> sizes(rows.size());
        std::transform(rows.begin(), rows.end(), sizes.begin(),
                       [](const Row& r) { return r[2].toDouble(); });
        std::vector<size_t> order(rows.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(),
                         [&](size_t a, size_t b) { return sizes[a] > sizes[b]; });
        std::vector<Row> sorted;
        sorted.reserve(rows.size());
        for (size_t i : order)
            sorted.push_back(std::move(rows[i]));
        rows.swap(sorted);
        model.Reset();
        Settle(&view);
        bySize.push_back(Ms(t));
    }
    f.sortName = Median(byName);
    f.sortSize = Median(bySize);
    view.setModel(nullptr);
    return f;
}

void RunBench(int n) {
    Program program(n);
    CMainFrame* frame = program.frame();
    frame->m_PlayList.CountRecords(QStringLiteral("FILES")); // warm the file cache
    FloorRead(program.db());

    // The real window, first while the peak memory is fresh.
    QApplication::processEvents();
    malloc_trim(0); // what the warm-up freed goes back, so it is not counted as reused
    const long rss0 = RssKiB();
    ResetPeak();
    QElapsedTimer t;
    t.start();
    CListView_Table* view = OpenPlayList(frame);
    Settle(view);
    const double firstOpen = Ms(t);
    const long rss1 = RssKiB();
    const long peak1 = PeakKiB();
    EXPECT_EQ(view->m_pCListCtrl->GetItemCount(), n);

    std::vector<double> opens{firstOpen};
    for (int k = 0; k < 2; ++k) {
        CListView_Table* other = OpenPlayList(frame);
        (void)other;
        t.restart();
        ClosePlayList(other);
        t.restart();
        CListView_Table* again = OpenPlayList(frame);
        Settle(again);
        opens.push_back(Ms(t));
        ClosePlayList(again);
    }
    view = frame->findChildren<CListView_Table*>().value(0);
    ASSERT_NE(view, nullptr);

    std::vector<double> sortName, sortSize, selectAll;
    for (int k = 0; k < 3; ++k) {
        t.restart();
        view->OnColumnClick(0);
        Settle(view);
        sortName.push_back(Ms(t));
        t.restart();
        view->OnColumnClick(2);
        Settle(view);
        sortSize.push_back(Ms(t));
        view->m_pCListCtrl->SetItemState(-1, 0, LVIS_SELECTED);
        Settle(view);
        t.restart();
        view->OnSelectAll();
        Settle(view);
        selectAll.push_back(Ms(t));
        EXPECT_EQ(view->m_pCListCtrl->GetSelectedCount(), n);
    }

    const Floor floor = MeasureFloor(program.db(), frame);
    const double open = Median(opens);
    const double floorOpen = floor.read + floor.show;
    printf("\n%d records\n", n);
    printf(
        "  floor: read ordered + format %7.1f ms, show through a model %6.1f ms, total %7.1f ms\n",
        floor.read, floor.show, floorOpen);
    printf("  open play list:      %7.1f ms (first %7.1f ms)  = %.2fx the floor (target 1.5x)\n",
           open, firstOpen, open / floorOpen);
    printf("  sort by Name:        %7.1f ms  floor %7.1f ms  = %.2fx (target 1.5x)\n",
           Median(sortName), floor.sortName, Median(sortName) / floor.sortName);
    printf("  sort by Size Mb:     %7.1f ms  floor %7.1f ms  = %.2fx (target 1.5x)\n",
           Median(sortSize), floor.sortSize, Median(sortSize) / floor.sortSize);
    printf("  select all:          %7.1f ms  (target 50 ms)\n", Median(selectAll));
    printf("  memory: resident +%.1f MiB after opening, peak +%.1f MiB above the empty window "
           "(target 40 MiB)\n",
           (rss1 - rss0) / 1024.0, (peak1 - rss0) / 1024.0);
    fflush(stdout);
}

TEST(BenchPlayList, HundredThousandRecords) {
    RunBench(100000);
}
TEST(BenchPlayList, TenThousandRecords) {
    RunBench(10000);
}

} // namespace
