#include "platform/listctrl/ListRows.h"

#include <climits>

namespace {
constexpr uint8_t kStateBits = LVIS_SELECTED | LVIS_FOCUSED;
// Erased lines are dropped once there are this many and a quarter of all.
constexpr size_t kMinErased = 1024;
} // namespace

// Physical position of line `row`: the (row+1)-th line neither erased nor
// hidden. A skipped line at m_skipped[j] has m_skipped[j] - j lines before it.
size_t CListRows::Phys(int row) const {
    if (m_skipped.empty())
        return size_t(row);
    size_t lo = 0, hi = m_skipped.size();
    while (lo < hi) {
        const size_t mid = (lo + hi) / 2;
        if (m_skipped[mid] - mid <= size_t(row))
            lo = mid + 1;
        else
            hi = mid;
    }
    return size_t(row) + lo;
}

int CListRows::Logical(size_t phys) const {
    const auto before = std::lower_bound(m_skipped.begin(), m_skipped.end(), phys);
    return int(phys - size_t(before - m_skipped.begin()));
}

void CListRows::Reserve(int lines) {
    if (lines <= 0 || m_sorting)
        return;
    const size_t n = size_t(lines) + m_skipped.size();
    m_data.reserve(n);
    m_state.reserve(n);
    OwnCells().reserve(n * size_t(m_stride));
}

int CListRows::Insert(int index, QStringView text, LPARAM data) {
    if (index < 0 || m_sorting || m_alive == INT_MAX)
        return -1;
    index = std::min(index, m_alive);
    const CCellTexts::Ref ref = m_texts.Store(text, 0);
    size_t at = m_data.size(); // skipped lines all lie before the end
    if (index < m_alive) {
        DropErased();
        at = Phys(index);
    }
    std::vector<CCellTexts::Ref>& own = OwnCells();
    const auto cellAt = own.begin() + std::ptrdiff_t(at * size_t(m_stride));
    try {
        own.insert(cellAt, size_t(m_stride), CCellTexts::Ref{});
        try {
            m_data.insert(m_data.begin() + std::ptrdiff_t(at), data);
            try {
                m_state.insert(m_state.begin() + std::ptrdiff_t(at), uint8_t(0));
            } catch (...) {
                m_data.erase(m_data.begin() + std::ptrdiff_t(at));
                throw;
            }
        } catch (...) {
            const auto first = own.begin() + std::ptrdiff_t(at * size_t(m_stride));
            own.erase(first, first + m_stride);
            throw;
        }
    } catch (...) {
        m_texts.Release(ref);
        throw;
    }
    Cells(at)[0] = ref;
    ++m_version;
    if (m_focus != kNone && m_focus >= at)
        ++m_focus;
    for (auto it = std::lower_bound(m_skipped.begin(), m_skipped.end(), at); it != m_skipped.end();
         ++it)
        ++*it; // hidden lines after it

    ++m_alive;
    return index;
}

int CListRows::Append(std::span<const CCellView> cells, LPARAM data) {
    if (m_sorting || m_alive == INT_MAX)
        return -1;
    const size_t stride = size_t(m_stride);
    const size_t n = std::min(cells.size(), stride);
    const size_t at = m_data.size(); // skipped lines all lie before the end
    std::vector<CCellTexts::Ref>& own = OwnCells();
    own.resize(own.size() + stride, CCellTexts::Ref{});
    CCellTexts::Ref* refs = Cells(at);
    try {
        for (size_t c = 0; c < n; ++c)
            refs[c] = m_texts.Store(cells[c], int(c));
        m_data.push_back(data);
        try {
            m_state.push_back(0);
        } catch (...) {
            m_data.pop_back();
            throw;
        }
    } catch (...) {
        for (size_t c = 0; c < n; ++c)
            m_texts.Release(refs[c]);
        own.resize(at * stride);
        throw;
    }
    ++m_version;
    return m_alive++;
}

bool CListRows::Erase(int index) {
    if (index < 0 || index >= m_alive || m_sorting)
        return false;
    const size_t p = Phys(index);
    CCellTexts::Ref* cells = Cells(p);
    for (int c = 0; c < m_stride; ++c) {
        m_texts.Release(cells[c]);
        cells[c] = 0;
    }
    if (m_state[p] & LVIS_SELECTED)
        --m_selected;
    if (p == m_focus)
        m_focus = kNone;
    m_state[p] = kErased;
    ++m_version;
    m_skipped.insert(std::upper_bound(m_skipped.begin(), m_skipped.end(), p), p);
    ++m_erasedCount;
    --m_alive;
    if (m_erasedCount >= kMinErased && m_erasedCount * 4 >= m_data.size())
        DropErased();
    return true;
}

bool CListRows::Clear() {
    if (m_sorting)
        return false;
    std::vector<LPARAM>().swap(m_data);
    std::vector<uint8_t>().swap(m_state);
    m_cells = std::make_shared<std::vector<CCellTexts::Ref>>();
    std::vector<size_t>().swap(m_skipped);
    m_erasedCount = 0;
    m_hidden = 0;
    m_texts.Clear();
    for (QString& s : m_widened)
        s = QString();
    m_alive = 0;
    m_selected = 0;
    m_focus = kNone;
    m_selectedFrom = 0;
    ++m_version;
    return true;
}

bool CListRows::EraseShown() {
    if (m_sorting)
        return false;
    if (m_hidden == 0)
        return Clear();
    for (size_t p = 0; p < m_state.size(); ++p) {
        if (m_state[p] & (kErased | kHidden))
            continue;
        CCellTexts::Ref* cells = Cells(p);
        for (int c = 0; c < m_stride; ++c) {
            m_texts.Release(cells[c]);
            cells[c] = 0;
        }
        m_state[p] = kErased;
        ++m_erasedCount;
    }
    m_alive = 0;
    m_selected = 0;
    m_focus = kNone; // hidden lines hold no focus
    ++m_version;
    DropErased(); // the skipped positions are the hidden lines' again
    return true;
}

bool CListRows::InsertCell(int cell) {
    if (m_sorting || cell < 0 || m_stride == INT_MAX)
        return false;
    cell = std::min(cell, m_stride);
    const int stride = m_stride + 1;
    std::vector<CCellTexts::Ref> cells(m_data.size() * size_t(stride));
    const std::vector<CCellTexts::Ref>& old = *m_cells;
    for (size_t s = 0; s < m_data.size(); ++s) {
        const auto from = old.begin() + std::ptrdiff_t(s * size_t(m_stride));
        const auto to = cells.begin() + std::ptrdiff_t(s * size_t(stride));
        std::copy(from, from + cell, to);
        std::copy(from + cell, from + m_stride, to + cell + 1);
    }
    m_cells = std::make_shared<std::vector<CCellTexts::Ref>>(std::move(cells));
    m_stride = stride;
    ++m_version;
    return true;
}

bool CListRows::SetText(int row, int cell, QStringView text) {
    if (row < 0 || row >= m_alive || cell < 0 || cell >= m_stride || m_sorting)
        return false;
    CCellTexts::Ref& ref = Cells(Phys(row))[cell];
    const CCellTexts::Ref fresh = m_texts.Store(text, cell); // may throw: ref stays
    m_texts.Release(ref);
    ref = fresh;
    ++m_version;
    return true;
}

CCellView CListRows::Cell(int row, int cell) const {
    if (row < 0 || row >= m_alive || cell < 0 || cell >= m_stride)
        return {};
    return m_texts.View(Cells(Phys(row))[cell]);
}

QStringView CListRows::Text(int row, int cell) const {
    const CCellView v = Cell(row, cell);
    if (v.length == 0)
        return {};
    if (v.wide)
        return QStringView(v.Utf16(), qsizetype(v.length));
    QString& buffer = m_widened[m_nextWidened++ % m_widened.size()];
    v.AssignTo(buffer);
    return buffer;
}

bool CListRows::SetData(int row, LPARAM data) {
    if (row < 0 || row >= m_alive || m_sorting)
        return false;
    LPARAM& d = m_data[Phys(row)];
    if (d == data)
        return false;
    d = data;
    ++m_version;
    return true;
}

LPARAM CListRows::Data(int row) const {
    if (row < 0 || row >= m_alive)
        return 0;
    return m_data[Phys(row)];
}

uint32_t CListRows::State(int row) const {
    if (row < 0 || row >= m_alive)
        return 0;
    return m_state[Phys(row)] & kStateBits;
}

bool CListRows::SetState(int row, uint32_t state, uint32_t mask) {
    if (row < 0 || row >= m_alive || m_sorting)
        return false;
    mask &= kStateBits;
    const size_t p = Phys(row);
    uint8_t& r = m_state[p];
    const uint8_t next = uint8_t((r & ~mask) | (state & mask));
    if (next == r)
        return false;
    if ((next ^ r) & LVIS_SELECTED) {
        if (next & LVIS_SELECTED) {
            ++m_selected;
            m_selectedFrom = std::min(m_selectedFrom, p);
        } else {
            --m_selected;
        }
    }
    if (next & LVIS_FOCUSED) {
        if (m_focus != kNone && m_focus != p)
            m_state[m_focus] &= uint8_t(~LVIS_FOCUSED);
        m_focus = p;
    } else if (m_focus == p) {
        m_focus = kNone;
    }
    r = next;
    return true;
}

int CListRows::NextSelected(int after) const {
    const int start = std::max(after + 1, 0);
    if (m_selected == 0 || start >= m_alive)
        return -1;
    const size_t from = std::max(Phys(start), m_selectedFrom);
    for (size_t p = from; p < m_state.size(); ++p) {
        const uint8_t s = m_state[p];
        if ((s & LVIS_SELECTED) && !(s & (kErased | kHidden))) {
            if (start == 0)
                m_selectedFrom = p;
            return Logical(p);
        }
    }
    if (start == 0)
        m_selectedFrom = m_state.size();
    return -1;
}

int CListRows::Focused() const {
    return m_focus == kNone ? -1 : Logical(m_focus);
}

void CListRows::Compact() {
    if (m_sorting)
        return;
    DropErased();
    if (m_texts.WantsRepack())
        RepackTexts();
}

void CListRows::DropErased() {
    if (m_erasedCount == 0)
        return;
    const size_t stride = size_t(m_stride);
    const size_t selectedFrom = m_selectedFrom;
    size_t focus = kNone;
    m_selectedFrom = kNone;
    std::vector<size_t> hidden;
    hidden.reserve(size_t(m_hidden));
    size_t kept = 0;
    for (size_t p = 0; p < m_state.size(); ++p) {
        if (p >= selectedFrom && m_selectedFrom == kNone)
            m_selectedFrom = kept; // the first line kept from there on
        if (m_state[p] & kErased)
            continue;
        if (p == m_focus)
            focus = kept;
        if (m_state[p] & kHidden)
            hidden.push_back(kept);
        if (kept != p) {
            m_data[kept] = m_data[p];
            m_state[kept] = m_state[p];
            std::copy_n(Cells(p), stride, Cells(kept));
        }
        ++kept;
    }
    m_data.resize(kept);
    m_state.resize(kept);
    OwnCells().resize(kept * stride);
    m_skipped.swap(hidden);
    m_erasedCount = 0;
    m_focus = focus;
    if (m_selectedFrom == kNone)
        m_selectedFrom = kept;
}

void CListRows::RecountAfterFilter() {
    m_skipped.clear();
    m_hidden = 0;
    m_selected = 0;
    m_alive = 0;
    for (size_t p = 0; p < m_state.size(); ++p) {
        const uint8_t s = m_state[p];
        if (s & kHidden) {
            m_skipped.push_back(p);
            ++m_hidden;
            if (p == m_focus)
                m_focus = kNone;
            continue;
        }
        ++m_alive;
        if (s & LVIS_SELECTED)
            ++m_selected;
    }
    m_selectedFrom = 0;
    ++m_version; // other lines answer to the indexes now
}

// Copies the live texts, line by line, into a fresh store.
void CListRows::RepackTexts() {
    CCellTexts texts;
    const std::vector<CCellTexts::Ref>& old = *m_cells;
    std::vector<CCellTexts::Ref> cells(old.size());
    QString text;
    const size_t stride = size_t(m_stride);
    for (size_t i = 0; i < old.size(); ++i) {
        m_texts.View(old[i]).AssignTo(text);
        cells[i] = texts.Store(text, int(i % stride));
    }
    m_texts = std::move(texts);
    m_cells = std::make_shared<std::vector<CCellTexts::Ref>>(std::move(cells));
}

bool CListRows::Arrange(const std::vector<uint32_t>& order) {
    if (m_sorting || m_hidden > 0 || order.size() != size_t(m_alive))
        return false;
    std::vector<bool> seen(order.size());
    for (uint32_t line : order) {
        if (line >= order.size() || seen[line])
            return false;
        seen[line] = true;
    }
    Compact(); // physical positions are line indexes now
    Reorder(order);
    ++m_version;
    return true;
}

void CListRows::Reorder(const std::vector<uint32_t>& order) {
    const size_t stride = size_t(m_stride);
    std::vector<LPARAM> data(order.size());
    std::vector<uint8_t> state(order.size());
    std::vector<CCellTexts::Ref> cells(order.size() * stride);
    size_t focus = kNone;
    size_t firstSelected = order.size();
    for (size_t i = 0; i < order.size(); ++i) {
        const size_t from = order[i];
        data[i] = m_data[from];
        state[i] = m_state[from];
        std::copy_n(std::as_const(*this).Cells(from), stride, &cells[i * stride]);
        if (from == m_focus)
            focus = i;
        if ((state[i] & LVIS_SELECTED) && firstSelected == order.size())
            firstSelected = i;
    }
    m_data.swap(data);
    m_state.swap(state);
    m_cells = std::make_shared<std::vector<CCellTexts::Ref>>(std::move(cells));
    m_focus = focus;
    m_selectedFrom = firstSelected;
}

std::vector<CCellTexts::Ref>& CListRows::OwnCells() {
    if (m_cells.use_count() > 1)
        m_cells = std::make_shared<std::vector<CCellTexts::Ref>>(*m_cells);
    return *m_cells;
}

bool CListRows::ShareLinesOf(const CListRows& other) {
    if (m_sorting || other.m_sorting || !m_skipped.empty() || !other.m_skipped.empty() ||
        m_stride != other.m_stride)
        return false;
    std::vector<LPARAM> data = other.m_data;
    std::vector<uint8_t> state(data.size(), 0);
    CCellTexts texts = other.m_texts;
    m_data.swap(data);
    m_state.swap(state);
    m_texts = std::move(texts);
    m_cells = other.m_cells;
    m_alive = other.m_alive;
    m_selected = 0;
    m_focus = kNone;
    m_selectedFrom = 0;
    ++m_version;
    return true;
}
