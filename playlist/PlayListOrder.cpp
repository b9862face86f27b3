#include "playlist/PlayListOrder.h"

#include "playlist/PlayListSort.h"

#include <QString>
#include <algorithm>
#include <array>
#include <bit>

namespace playlist {
namespace {

struct Entry {
    uint64_t key;
    uint32_t line;
    uint32_t capped; // the key stands for characters at or above U+00FF
};

constexpr uint32_t kChunk = 7;             // characters a key holds
constexpr size_t kSmallRun = 64;           // runs this short are sorted by comparison
constexpr uint64_t kMoreFollow = 8;        // low byte of a key whose text goes on
constexpr uint32_t kDeepest = 64 * kChunk; // ties this deep are sorted by comparison

// Characters [depth, depth + 7) of the text as bytes, then how many characters
// are left from depth (8 for more than seven). A character at or above U+00FF
// and all after it in the key count as 0xFF, and the key is marked capped:
// such keys do not decide a tie.
Entry KeyAt(const CCellView& text, uint32_t line, uint32_t depth) {
    uint64_t key = 0;
    bool capped = false;
    for (uint32_t i = 0; i < kChunk; ++i) {
        const uint32_t at = depth + i;
        unsigned c = 0;
        if (capped)
            c = 0xFF;
        else if (at < text.length)
            c = text.wide ? text.Utf16()[at] : text.Latin1()[at];
        if (c >= 0xFF) {
            c = 0xFF;
            capped = true;
        }
        key = (key << 8) | c;
    }
    const uint32_t left = text.length > depth ? text.length - depth : 0;
    key = (key << 8) | (capped ? kMoreFollow : std::min<uint64_t>(left, kMoreFollow));
    return {key, line, capped ? 1u : 0u};
}

// The number's bits, turned so that they sort as the numbers do.
uint64_t NumberKey(double value) {
    const uint64_t bits = std::bit_cast<uint64_t>(value + 0.0); // -0.0 as 0.0
    return (bits >> 63) ? ~bits : bits | (uint64_t(1) << 63);
}

// Stable sort of [first, last) by key, descending keys first when asked.
void SortByKey(Entry* first, Entry* last, bool descending, std::vector<Entry>& scratch) {
    const size_t n = size_t(last - first);
    if (n < 2)
        return;
    if (n <= kSmallRun) {
        std::stable_sort(first, last, [descending](const Entry& a, const Entry& b) {
            return descending ? b.key < a.key : a.key < b.key;
        });
        return;
    }
    // LSD radix sort, byte by byte; a byte that all keys share is passed over.
    const uint64_t flip = descending ? ~uint64_t(0) : 0;
    std::vector<std::array<uint32_t, 256>> counts(8);
    for (auto& c : counts)
        c.fill(0);
    for (const Entry* e = first; e != last; ++e) {
        const uint64_t k = e->key ^ flip;
        for (int b = 0; b < 8; ++b)
            ++counts[size_t(b)][(k >> (8 * b)) & 0xFF];
    }
    scratch.resize(std::max(scratch.size(), n));
    Entry* from = first;
    Entry* to = scratch.data();
    for (int b = 0; b < 8; ++b) {
        std::array<uint32_t, 256>& c = counts[size_t(b)];
        if (std::find(c.begin(), c.end(), uint32_t(n)) != c.end())
            continue;
        uint32_t sum = 0;
        for (uint32_t& v : c)
            sum += std::exchange(v, sum);
        for (const Entry* e = from; e != from + n; ++e)
            to[c[((e->key ^ flip) >> (8 * b)) & 0xFF]++] = *e;
        std::swap(from, to);
    }
    if (from != first)
        std::copy(from, from + n, first);
}

class TextOrder {
public:
    TextOrder(const std::vector<CCellView>& texts, bool descending)
        : m_texts(texts), m_descending(descending) {}

    // Sorts a run whose texts agree on their first `depth` characters.
    void SortRun(Entry* first, Entry* last, uint32_t depth) {
        if (depth >= kDeepest)
            return SortByText(first, last);
        for (Entry* e = first; e != last; ++e)
            *e = KeyAt(m_texts[e->line], e->line, depth);
        SortByKey(first, last, m_descending, m_scratch);
        for (Entry* run = first; run != last;) {
            Entry* end = run + 1;
            bool capped = run->capped;
            while (end != last && end->key == run->key)
                capped |= (end++)->capped;
            if (end - run > 1) {
                if (capped)
                    SortByText(run, end);
                else if ((run->key & 0xFF) == kMoreFollow)
                    SortRun(run, end, depth + kChunk);
                // else every text of the run ends here: they are the same text
            }
            run = end;
        }
    }

private:
    void SortByText(Entry* first, Entry* last) {
        std::stable_sort(first, last, [this](const Entry& a, const Entry& b) {
            const int r = CompareCellViews(m_texts[a.line], m_texts[b.line]);
            return m_descending ? r > 0 : r < 0;
        });
    }

    const std::vector<CCellView>& m_texts;
    bool m_descending;
    std::vector<Entry> m_scratch;
};

} // namespace

std::vector<uint32_t> SortedLines(const std::vector<CCellView>& texts, bool sizeColumn,
                                  bool sortFlag) {
    // Text columns compare B with A: the flag clear sorts them ascending; sizes
    // compare A with B: the flag clear puts the largest first.
    const bool descending = sizeColumn ? !sortFlag : sortFlag;
    std::vector<Entry> entries(texts.size());
    for (size_t i = 0; i < texts.size(); ++i)
        entries[i].line = uint32_t(i);
    if (sizeColumn) {
        QString text;
        for (Entry& e : entries) {
            texts[e.line].AssignTo(text);
            e.key = NumberKey(AtoF(text));
        }
        std::vector<Entry> scratch;
        SortByKey(entries.data(), entries.data() + entries.size(), descending, scratch);
    } else {
        TextOrder(texts, descending).SortRun(entries.data(), entries.data() + entries.size(), 0);
    }
    std::vector<uint32_t> lines(entries.size());
    for (size_t i = 0; i < entries.size(); ++i)
        lines[i] = entries[i].line;
    return lines;
}

} // namespace playlist
