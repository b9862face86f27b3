// Speed and memory of the report-style list control with play-list sized
// tables: fill while hidden and show, sort with a text comparison against a
// bare std::stable_sort plus a model reset, select every line one call at a
// time, delete the selection line by line, and the memory of 100,000 lines.
// Prints medians of several runs, as thread CPU time (steady on a busy
// machine) and wall time; asserts only that the results are right.
#include "platform/listctrl/ListCtrl.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QFile>
#include <QTreeView>
#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <gtest/gtest.h>
#include <malloc.h>

namespace {

constexpr int kRuns = 5;
using Line = std::array<QString, 6>;

// Texts like the play list's: name, extension, size, date, folder, key.
Line MakeLine(int i) {
    static const char* const exts[] = {"avi", "mp3", "jpg", "mkv", "ogg", "png", "wav"};
    const char* ext = exts[(i * 7919) % 7];
    return {QString::asprintf("clip_%06d_holiday_%d.%s", (i * 104729) % 1000003, i % 97, ext),
            QString::fromLatin1(ext),
            QString::asprintf("%.2f", double((i * 2654435761u) % 900000000u) / 1048576.0),
            QString::asprintf("%02d.%02d.%02d %02d:%02d", 1 + i % 28, 1 + i % 12, i % 100, i % 24,
                              i % 60),
            QString::asprintf("/home/user/Videos/Holidays/%d/Album %d", 2000 + i % 25, i % 300),
            QString::number(i + 1)};
}

std::vector<Line> MakeLines(int count) {
    std::vector<Line> lines;
    lines.reserve(size_t(count));
    for (int i = 0; i < count; ++i)
        lines.push_back(MakeLine(i));
    return lines;
}

// Thread CPU time and wall time since construction or Restart().
class Stopwatch {
public:
    Stopwatch() { Restart(); }
    void Restart() {
        m_wall = std::chrono::steady_clock::now();
        m_cpu = CpuMs();
    }
    double Cpu() const { return CpuMs() - m_cpu; }
    double Wall() const {
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - m_wall)
            .count();
    }

private:
    static double CpuMs() {
        timespec ts{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
        return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
    }
    std::chrono::steady_clock::time_point m_wall;
    double m_cpu = 0;
};

// Samples of one figure; printed as medians "cpu ms (wall ms)".
struct Figure {
    std::vector<double> cpu, wall;
    void Add(const Stopwatch& w) { AddValues(w.Cpu(), w.Wall()); }
    void AddValues(double c, double w) {
        cpu.push_back(c);
        wall.push_back(w);
    }
    static double Median(std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v.empty() ? 0 : v[v.size() / 2];
    }
    double Cpu() const { return Median(cpu); }
    QByteArray Text() const {
        return QByteArray::number(Median(cpu), 'f', 1) + " ms (wall " +
               QByteArray::number(Median(wall), 'f', 1) + ")";
    }
};

long StatusKiB(const char* field) {
    QFile f("/proc/self/status");
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qsizetype(strlen(field))).trimmed().split(' ').value(0).toLong();
    return -1;
}

void AddColumns(CListCtrl& list) {
    static const char* const titles[] = {"Name",    "Extention", "Size Mb",
                                         "Created", "Directory", "ID_File"};
    static const int widths[] = {200, 60, 80, 100, 300, 0};
    static const int formats[] = {LVCFMT_LEFT,   LVCFMT_LEFT, LVCFMT_RIGHT,
                                  LVCFMT_CENTER, LVCFMT_LEFT, LVCFMT_LEFT};
    for (int k = 0; k < 6; ++k)
        list.InsertColumn(k + 1, titles[k], formats[k], widths[k], k + 1);
}

void Paint(QWidget& view) {
    QCoreApplication::processEvents();
    view.repaint();
}

void InsertLines(CListCtrl& list, const std::vector<Line>& lines) {
    for (int i = 0; i < int(lines.size()); ++i) {
        list.InsertItem(i, lines[size_t(i)][0], i);
        for (int c = 1; c < 6; ++c)
            list.SetItemText(i, c, lines[size_t(i)][size_t(c)]);
    }
}

// Fills the hidden control as the play list does, then shows it.
void Fill(CListCtrl& list, const std::vector<Line>& lines, Figure* insert = nullptr,
          Figure* show = nullptr) {
    Stopwatch w;
    list.hide();
    list.DeleteAllItems();
    InsertLines(list, lines);
    if (insert)
        insert->Add(w);
    w.Restart();
    list.show();
    Paint(list);
    if (show)
        show->Add(w);
}

// atof of a cell without allocating and whatever the locale: QStringView's
// toDouble() costs about 2 µs, which two million comparisons cannot afford.
double LeadingNumber(QStringView text) {
    char buffer[64];
    qsizetype n = 0;
    for (QChar c : text.trimmed().left(63))
        buffer[n++] = c.unicode() < 128 ? char(c.unicode()) : '?';
    double value = 0;
    std::from_chars(buffer, buffer + n, value);
    return value;
}

// The play list's comparison: texts read back through the control by item
// data; "Size Mb" by number, any other column by code value, B against A.
struct SortState {
    CListCtrl* list = nullptr;
    int column = 0;
    bool flag = false;
};

int Compare(LPARAM a, LPARAM b, LPARAM data) {
    const auto* s = reinterpret_cast<const SortState*>(data);
    const QStringView ta = s->list->GetItemTextView(int(a), s->column);
    const QStringView tb = s->list->GetItemTextView(int(b), s->column);
    int r;
    if (s->column == 2) {
        const double x = LeadingNumber(ta), y = LeadingNumber(tb);
        r = x > y ? 1 : x < y ? -1 : 0;
    } else {
        r = tb.compare(ta);
    }
    return s->flag ? r : -r;
}

// The yardstick: the same rows as QStrings in a vector, under a bare model.
class BareModel : public QAbstractTableModel {
public:
    std::vector<Line> rows;
    int rowCount(const QModelIndex& p = {}) const override {
        return p.isValid() ? 0 : int(rows.size());
    }
    int columnCount(const QModelIndex& p = {}) const override { return p.isValid() ? 0 : 6; }
    QVariant data(const QModelIndex& i, int role) const override {
        return role == Qt::DisplayRole ? rows[size_t(i.row())][size_t(i.column())] : QVariant();
    }
    void Reset() {
        beginResetModel();
        endResetModel();
    }
};

// Bare stable_sort of the rows plus a model reset and the repaint after it.
void BareSort(const std::vector<Line>& lines, int column, Figure& sort, Figure& total) {
    BareModel model;
    model.rows = lines;
    QTreeView view;
    view.setUniformRowHeights(true);
    view.setRootIsDecorated(false);
    view.setModel(&model);
    view.resize(630, 450);
    view.show();
    Paint(view);
    Stopwatch w;
    std::stable_sort(model.rows.begin(), model.rows.end(), [column](const Line& a, const Line& b) {
        return b[size_t(column)].compare(a[size_t(column)]) > 0;
    });
    sort.Add(w);
    model.Reset();
    Paint(view);
    total.Add(w);
}

struct CountingListener : CListCtrlListener {
    long changes = 0;
    void OnItemChanged(int) override { ++changes; }
};

void BenchFill(CListCtrl& list, const std::vector<Line>& lines) {
    Figure insert, show, total;
    for (int run = 0; run < kRuns; ++run) {
        Fill(list, lines, &insert, &show);
        total.AddValues(insert.cpu.back() + show.cpu.back(), insert.wall.back() + show.wall.back());
    }
    std::printf("%6zu lines: fill hidden %s + show and paint %s = %s\n", lines.size(),
                insert.Text().data(), show.Text().data(), total.Text().data());
}

void BenchSort(CListCtrl& list, const std::vector<Line>& lines, int column) {
    Figure sort, total, bareSort, bareTotal;
    SortState state{&list, column, false};
    for (int run = 0; run < kRuns; ++run) {
        Fill(list, lines);
        Stopwatch w;
        ASSERT_TRUE(list.SortItems(&Compare, reinterpret_cast<LPARAM>(&state)));
        sort.Add(w);
        Paint(list);
        total.Add(w);
        for (int i = 1; i < list.GetItemCount(); ++i)
            ASSERT_LE(Compare(i - 1, i, reinterpret_cast<LPARAM>(&state)), 0);
        if (column != 2)
            BareSort(lines, column, bareSort, bareTotal);
    }
    std::printf("%6zu lines: sort column %d: SortItems %s, with reset and paint %s", lines.size(),
                column, sort.Text().data(), total.Text().data());
    if (column != 2)
        std::printf("; bare stable_sort %s, with reset and paint %s; ratio %.2f",
                    bareSort.Text().data(), bareTotal.Text().data(), total.Cpu() / bareTotal.Cpu());
    std::printf("\n");
}

void BenchSelectAll(CListCtrl& list, int count) {
    CountingListener listener;
    list.SetListener(&listener);
    Figure select, paint;
    for (int run = 0; run < kRuns; ++run) {
        list.SetItemState(-1, 0, LVIS_SELECTED);
        Paint(list);
        listener.changes = 0;
        Stopwatch w;
        for (int i = 0; i < list.GetItemCount(); ++i)
            list.SetItemState(i, LVIS_SELECTED, LVIS_SELECTED);
        select.Add(w);
        w.Restart();
        Paint(list);
        paint.Add(w);
        ASSERT_EQ(listener.changes, count);
        ASSERT_EQ(list.GetSelectedCount(), count);
    }
    list.SetListener(nullptr);
    std::printf("%6d lines: select all, one SetItemState (and one notice) a line: %s, repaint %s\n",
                count, select.Text().data(), paint.Text().data());
}

// Deletes the selection as the catalogue does: the first selected line each time.
void BenchDeleteSelected(CListCtrl& list, const std::vector<Line>& lines, int from, int to,
                         const char* what) {
    Figure del;
    for (int run = 0; run < kRuns; ++run) {
        Fill(list, lines);
        for (int i = from; i < to; ++i)
            list.SetItemState(i, LVIS_SELECTED, LVIS_SELECTED);
        Stopwatch w;
        QString key;
        for (int i = list.GetNextItem(-1, LVNI_SELECTED); i >= 0;
             i = list.GetNextItem(-1, LVNI_SELECTED)) {
            key = list.GetItemText(i, 5);
            list.DeleteItem(i);
        }
        Paint(list);
        del.Add(w);
        ASSERT_EQ(list.GetItemCount(), int(lines.size()) - (to - from));
    }
    std::printf("%6zu lines: delete %s line by line, with repaint: %s\n", lines.size(), what,
                del.Text().data());
}

void RunScenario(int count) {
    const std::vector<Line> lines = MakeLines(count);
    CListCtrl list;
    list.resize(630, 450);
    AddColumns(list);
    list.show();
    Fill(list, lines); // warm-up
    BenchFill(list, lines);
    for (int column : {0, 2, 4})
        BenchSort(list, lines, column);
    BenchSelectAll(list, count);
    BenchDeleteSelected(list, lines, 0, count, "every line");
    BenchDeleteSelected(list, lines, count / 4, count * 3 / 4, "the middle half");
}

TEST(BenchListCtrl, MemoryOf100000Lines) {
    malloc_trim(0);
    const long before = StatusKiB("VmRSS:");
    CListCtrl list;
    list.resize(630, 450);
    AddColumns(list);
    list.hide();
    for (int i = 0; i < 100000; ++i) {
        const Line line = MakeLine(i);
        list.InsertItem(i, line[0], i);
        for (int c = 1; c < 6; ++c)
            list.SetItemText(i, c, line[size_t(c)]);
    }
    list.show();
    Paint(list);
    const long after = StatusKiB("VmRSS:");
    std::printf("memory: 100000 lines shown: RSS grew by %.1f MiB; peak RSS so far %.1f MiB\n",
                double(after - before) / 1024.0, double(StatusKiB("VmHWM:")) / 1024.0);
    EXPECT_EQ(list.GetItemCount(), 100000);
}

TEST(BenchListCtrl, Lines10000) {
    RunScenario(10000);
}

TEST(BenchListCtrl, Lines100000) {
    RunScenario(100000);
    std::printf("peak RSS of the whole run: %.1f MiB\n", double(StatusKiB("VmHWM:")) / 1024.0);
}

} // namespace
