#include "platform/listctrl/ListRows.h"

#include <climits>

namespace {
constexpr uint8_t kStateBits = LVIS_SELECTED | LVIS_FOCUSED;
// Erased lines are dropped once there are this many and a quarter of all.
constexpr size_t kMinErased = 1024;
} // namespace

// Physical position of line `row`: the (row+1)-th line not erased. An erased
// line at m_erased[j] has m_erased[j] - j live lines before it.
size_t CListRows::Phys(int row) const {
    if (m_erased.empty())
        return size_t(row);
    size_t lo = 0, hi = m_erased.size();
    while (lo < hi) {
        const size_t mid = (lo + hi) / 2;
        if (m_erased[mid] - mid <= size_t(row))
            lo = mid + 1;
        else
            hi = mid;
    }
    return size_t(row) + lo;
}

int CListRows::Logical(size_t phys) const {
    const auto before = std::lower_bound(m_erased.begin(), m_erased.end(), phys);
    return int(phys - size_t(before - m_erased.begin()));
}

int CListRows::Insert(int index, QStringView text, LPARAM data) {
    if (index < 0 || m_sorting || m_alive == INT_MAX)
        return -1;
    index = std::min(index, m_alive);
    const CTextPool::Ref ref = m_pool.Store(text);
    size_t at = m_rows.size(); // erased lines all lie before the end
    if (index < m_alive) {
        DropErased();
        at = size_t(index);
    }
    try {
        m_cells.insert(m_cells.begin() + std::ptrdiff_t(at * size_t(m_stride)), size_t(m_stride),
                       CTextPool::Ref{});
        try {
            m_rows.insert(m_rows.begin() + std::ptrdiff_t(at), Row{data, 0});
        } catch (...) {
            const auto first = m_cells.begin() + std::ptrdiff_t(at * size_t(m_stride));
            m_cells.erase(first, first + m_stride);
            throw;
        }
    } catch (...) {
        m_pool.Release(ref);
        throw;
    }
    Cells(at)[0] = ref;
    if (m_focus != kNone && m_focus >= at)
        ++m_focus;
    ++m_alive;
    return index;
}

bool CListRows::Erase(int index) {
    if (index < 0 || index >= m_alive || m_sorting)
        return false;
    const size_t p = Phys(index);
    Row& row = m_rows[p];
    CTextPool::Ref* cells = Cells(p);
    for (int c = 0; c < m_stride; ++c) {
        m_pool.Release(cells[c]);
        cells[c] = {};
    }
    if (row.state & LVIS_SELECTED)
        --m_selected;
    if (p == m_focus)
        m_focus = kNone;
    row.state = kErased;
    m_erased.insert(std::upper_bound(m_erased.begin(), m_erased.end(), p), p);
    --m_alive;
    if (m_erased.size() >= kMinErased && m_erased.size() * 4 >= m_rows.size())
        DropErased();
    return true;
}

bool CListRows::Clear() {
    if (m_sorting)
        return false;
    std::vector<Row>().swap(m_rows);
    std::vector<CTextPool::Ref>().swap(m_cells);
    std::vector<size_t>().swap(m_erased);
    m_pool.Clear();
    m_alive = 0;
    m_selected = 0;
    m_focus = kNone;
    m_selectedFrom = 0;
    return true;
}

bool CListRows::InsertCell(int cell) {
    if (m_sorting || cell < 0 || m_stride == INT_MAX)
        return false;
    cell = std::min(cell, m_stride);
    const int stride = m_stride + 1;
    std::vector<CTextPool::Ref> cells(m_rows.size() * size_t(stride));
    for (size_t s = 0; s < m_rows.size(); ++s) {
        const auto from = m_cells.begin() + std::ptrdiff_t(s * size_t(m_stride));
        const auto to = cells.begin() + std::ptrdiff_t(s * size_t(stride));
        std::copy(from, from + cell, to);
        std::copy(from + cell, from + m_stride, to + cell + 1);
    }
    m_cells.swap(cells);
    m_stride = stride;
    return true;
}

bool CListRows::SetText(int row, int cell, QStringView text) {
    if (row < 0 || row >= m_alive || cell < 0 || cell >= m_stride || m_sorting)
        return false;
    m_pool.Replace(Cells(Phys(row))[cell], text);
    return true;
}

QStringView CListRows::Text(int row, int cell) const {
    if (row < 0 || row >= m_alive || cell < 0 || cell >= m_stride)
        return {};
    return m_pool.View(Cells(Phys(row))[cell]);
}

bool CListRows::SetData(int row, LPARAM data) {
    if (row < 0 || row >= m_alive || m_sorting)
        return false;
    Row& r = m_rows[Phys(row)];
    if (r.data == data)
        return false;
    r.data = data;
    return true;
}

LPARAM CListRows::Data(int row) const {
    if (row < 0 || row >= m_alive)
        return 0;
    return m_rows[Phys(row)].data;
}

uint32_t CListRows::State(int row) const {
    if (row < 0 || row >= m_alive)
        return 0;
    return m_rows[Phys(row)].state & kStateBits;
}

bool CListRows::SetState(int row, uint32_t state, uint32_t mask) {
    if (row < 0 || row >= m_alive || m_sorting)
        return false;
    mask &= kStateBits;
    const size_t p = Phys(row);
    Row& r = m_rows[p];
    const uint8_t next = uint8_t((r.state & ~mask) | (state & mask));
    if (next == r.state)
        return false;
    if ((next ^ r.state) & LVIS_SELECTED) {
        if (next & LVIS_SELECTED) {
            ++m_selected;
            m_selectedFrom = std::min(m_selectedFrom, p);
        } else {
            --m_selected;
        }
    }
    if (next & LVIS_FOCUSED) {
        if (m_focus != kNone && m_focus != p)
            m_rows[m_focus].state &= uint8_t(~LVIS_FOCUSED);
        m_focus = p;
    } else if (m_focus == p) {
        m_focus = kNone;
    }
    r.state = next;
    return true;
}

int CListRows::NextSelected(int after) const {
    const int start = std::max(after + 1, 0);
    if (m_selected == 0 || start >= m_alive)
        return -1;
    const size_t from = std::max(Phys(start), m_selectedFrom);
    for (size_t p = from; p < m_rows.size(); ++p) {
        const uint8_t s = m_rows[p].state;
        if ((s & LVIS_SELECTED) && !(s & kErased)) {
            if (start == 0)
                m_selectedFrom = p;
            return Logical(p);
        }
    }
    if (start == 0)
        m_selectedFrom = m_rows.size();
    return -1;
}

int CListRows::Focused() const {
    return m_focus == kNone ? -1 : Logical(m_focus);
}

void CListRows::Compact() {
    if (m_sorting)
        return;
    DropErased();
    if (m_pool.WantsRepack())
        RepackTexts();
}

void CListRows::DropErased() {
    if (m_erased.empty())
        return;
    if (m_focus != kNone)
        m_focus = size_t(Logical(m_focus));
    m_selectedFrom =
        m_selectedFrom >= m_rows.size() ? size_t(m_alive) : size_t(Logical(m_selectedFrom));
    const size_t stride = size_t(m_stride);
    size_t kept = 0;
    for (size_t p = 0; p < m_rows.size(); ++p) {
        if (m_rows[p].state & kErased)
            continue;
        if (kept != p) {
            m_rows[kept] = m_rows[p];
            std::copy_n(Cells(p), stride, Cells(kept));
        }
        ++kept;
    }
    m_rows.resize(kept);
    m_cells.resize(kept * stride);
    m_erased.clear();
}

// Copies the live texts, line by line, into a fresh pool.
void CListRows::RepackTexts() {
    CTextPool pool;
    std::vector<CTextPool::Ref> cells(m_cells.size());
    for (size_t i = 0; i < m_cells.size(); ++i)
        cells[i] = pool.Store(m_pool.View(m_cells[i]));
    m_pool = std::move(pool);
    m_cells.swap(cells);
}

void CListRows::Reorder(const std::vector<std::pair<LPARAM, uint32_t>>& order) {
    const size_t stride = size_t(m_stride);
    std::vector<Row> rows(order.size());
    std::vector<CTextPool::Ref> cells(order.size() * stride);
    size_t focus = kNone;
    size_t firstSelected = order.size();
    for (size_t i = 0; i < order.size(); ++i) {
        const size_t from = order[i].second;
        rows[i] = m_rows[from];
        std::copy_n(Cells(from), stride, &cells[i * stride]);
        if (from == m_focus)
            focus = i;
        if ((rows[i].state & LVIS_SELECTED) && firstSelected == order.size())
            firstSelected = i;
    }
    m_rows.swap(rows);
    m_cells.swap(cells);
    m_focus = focus;
    m_selectedFrom = firstSelected;
}
