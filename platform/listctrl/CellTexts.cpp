#include "platform/listctrl/CellTexts.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {
// Surrogates stand for code points above U+FFFF: moved above U+E000..U+FFFF,
// so that UTF-16 units compare in code-point order.
char16_t Rank(char16_t c) {
    return c >= 0xE000 ? char16_t(c - 0x800) : char16_t(c + 0x2000);
}

int CompareWide(const char16_t* a, size_t na, const char16_t* b, size_t nb) {
    const size_t n = std::min(na, nb);
    for (size_t i = 0; i < n; ++i) {
        char16_t ca = a[i], cb = b[i];
        if (ca == cb)
            continue;
        if (ca >= 0xD800 && cb >= 0xD800) {
            ca = Rank(ca);
            cb = Rank(cb);
        }
        return ca < cb ? -1 : 1;
    }
    return na < nb ? -1 : (nb < na ? 1 : 0);
}

// A Latin-1 text against a UTF-16 one: every Latin-1 character is a code point
// below U+0100, so a unit compares by its value (a surrogate is above them all).
int CompareMixed(const uint8_t* a, size_t na, const char16_t* b, size_t nb) {
    const size_t n = std::min(na, nb);
    for (size_t i = 0; i < n; ++i)
        if (char16_t(a[i]) != b[i])
            return char16_t(a[i]) < b[i] ? -1 : 1;
    return na < nb ? -1 : (nb < na ? 1 : 0);
}

bool IsLatin1(const CCellView& text) {
    if (!text.wide)
        return true;
    const char16_t* p = text.Utf16();
    char16_t any = 0;
    for (uint32_t i = 0; i < text.length; ++i)
        any |= p[i];
    return any < 0x100;
}

// A hash of the bytes of a text's stored form, eight at a time; the last
// word is read where it lies (overlapping the one before), never assembled in
// memory first.
uint32_t HashBytes(const void* data, size_t length) {
    const auto* p = static_cast<const uint8_t*>(data);
    uint64_t h = 0x9E3779B97F4A7C15ull ^ length;
    uint64_t w = 0;
    if (length >= 8) {
        for (size_t n = length; n > 8; p += 8, n -= 8) {
            std::memcpy(&w, p, 8);
            h = (h ^ w) * 0xFF51AFD7ED558CCDull;
            h ^= h >> 32;
        }
        std::memcpy(&w, static_cast<const uint8_t*>(data) + length - 8, 8);
    } else if (length >= 4) {
        uint32_t a, b;
        std::memcpy(&a, p, 4);
        std::memcpy(&b, p + length - 4, 4);
        w = a | (uint64_t(b) << 32);
    } else if (length > 0) {
        w = p[0] | (uint64_t(p[length / 2]) << 8) | (uint64_t(p[length - 1]) << 16);
    }
    h = (h ^ w) * 0xC4CEB9FE1A85EC53ull;
    // Mixed down, so that the low bits that pick a recent text depend on all.
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    return uint32_t(h ^ (h >> 33));
}

bool SameText(const CCellView& stored, const CCellView& text) {
    return stored.length == text.length && CompareCellViews(stored, text) == 0;
}
} // namespace

void CCellView::AssignTo(QString& out) const {
    if (wide) {
        out.setUnicode(reinterpret_cast<const QChar*>(data), qsizetype(length));
        return;
    }
    out.resize(qsizetype(length));
    QChar* to = out.data();
    const uint8_t* from = Latin1();
    for (uint32_t i = 0; i < length; ++i)
        to[i] = QChar(char16_t(from[i]));
}

int CompareCellViews(const CCellView& a, const CCellView& b) {
    if (!a.wide && !b.wide) {
        const uint32_t n = std::min(a.length, b.length);
        const int r = n ? std::memcmp(a.data, b.data, n) : 0;
        if (r != 0)
            return r < 0 ? -1 : 1;
        return a.length < b.length ? -1 : (b.length < a.length ? 1 : 0);
    }
    if (a.wide && b.wide)
        return CompareWide(a.Utf16(), a.length, b.Utf16(), b.length);
    if (!a.wide)
        return CompareMixed(a.Latin1(), a.length, b.Utf16(), b.length);
    return -CompareMixed(b.Latin1(), b.length, a.Utf16(), a.length);
}

CCellTexts::CCellTexts() {
    Clear();
}

CCellTexts::CCellTexts(const CCellTexts& other)
    : m_pages(other.m_pages), m_stored(other.m_stored), m_garbage(other.m_garbage),
      m_recent(other.m_recent), m_sharing(other.m_sharing) {
    // The other one goes on filling its last page: this one starts a page of its own.
    m_garbage += kPageBytes - other.m_fill;
    m_stored += kPageBytes - other.m_fill;
    m_fill = kPageBytes;
}

CCellTexts& CCellTexts::operator=(const CCellTexts& other) {
    if (this != &other)
        *this = CCellTexts(other);
    return *this;
}

void CCellTexts::Clear() {
    m_pages.clear();
    m_recent.clear();
    m_sharing.clear();
    m_fill = kPageBytes;
    m_stored = 0;
    m_garbage = 0;
    // Offset 0 of page 0 is the empty text, so that a zeroed reference is one.
    m_pages.emplace_back(std::make_unique_for_overwrite<uint8_t[]>(kPageBytes));
    m_pages[0][0] = 0;
    m_fill = 2;
}

CCellTexts::Ref CCellTexts::Store(QStringView text, int slot) {
    return Store(CCellView::Of(text), slot);
}

CCellTexts::Ref CCellTexts::Store(const CCellView& given, int slot) {
    if (given.length == 0)
        return 0;
    // Hashed and stored in the form it is kept in: one byte a character when
    // every character is below U+0100.
    CCellView text = given;
    if (given.wide && IsLatin1(given)) {
        m_narrow.resize(given.length);
        const char16_t* from = given.Utf16();
        for (uint32_t i = 0; i < given.length; ++i)
            m_narrow[i] = uint8_t(from[i]);
        text = {m_narrow.data(), given.length, false};
    }
    const bool latin1 = !text.wide;
    if (slot < 0 || slot >= kSlots)
        return StoreNew(text, latin1);
    if (m_recent.size() <= size_t(slot)) {
        m_recent.resize(size_t(slot) + 1, {});
        m_sharing.resize(size_t(slot) + 1);
    }
    // A column whose texts seldom repeat (names, keys) is looked up only now
    // and then, to see whether that has changed.
    Sharing& sharing = m_sharing[size_t(slot)];
    if (sharing.seldom && (++sharing.skipped % kSeldomLookup) != 0)
        return StoreNew(text, latin1);
    const uint32_t hash = HashBytes(text.data, latin1 ? text.length : size_t(text.length) * 2);
    Recent& recent = m_recent[size_t(slot)][hash & ((1u << kRecentBits) - 1)];
    const bool found = recent.ref != 0 && recent.hash == hash && SameText(View(recent.ref), text);
    if (++sharing.lookups == kSharingWindow) {
        sharing.seldom = (sharing.found + int(found)) * kSeldomShare < kSharingWindow;
        sharing.lookups = sharing.found = 0;
    } else {
        sharing.found += found;
    }
    if (found)
        return recent.ref;
    recent = {StoreNew(text, latin1), hash};
    return recent.ref;
}

CCellTexts::Ref CCellTexts::StoreNew(const CCellView& text, bool latin1) {
    const size_t length = size_t(text.length);
    if (length > UINT32_MAX / 2)
        throw std::bad_alloc();
    const size_t prefix = PrefixSize(length);
    const size_t bytes = latin1 ? length : length * 2;
    // UTF-16 units start on an even byte: pad before the prefix when needed.
    size_t at = m_fill;
    if (!latin1 && ((at + prefix) & 1))
        ++at;
    if (at + prefix + bytes > kPageBytes) {
        // A text longer than a page gets a page of its own.
        const bool own = prefix + bytes + 1 > kPageBytes;
        if (m_pages.size() >= kMaxPages)
            throw std::bad_alloc();
        m_pages.emplace_back(
            std::make_unique_for_overwrite<uint8_t[]>(own ? prefix + bytes + 1 : kPageBytes));
        m_garbage += kPageBytes - m_fill;
        m_stored += kPageBytes - m_fill;
        at = (!latin1 && (prefix & 1)) ? 1 : 0;
        m_fill = own ? kPageBytes : uint32_t(at + prefix + bytes);
    } else {
        m_fill = uint32_t(at + prefix + bytes);
    }
    const Ref ref = (uint32_t(m_pages.size() - 1) << kOffsetBits) | uint32_t(at);
    uint8_t* p = m_pages.back().get() + at;
    const uint8_t wideBit = latin1 ? 0 : 0x80;
    if (prefix == 1) {
        p[0] = uint8_t(wideBit | length);
    } else {
        p[0] = uint8_t(wideBit | 0x40);
        const uint32_t n = uint32_t(length);
        std::memcpy(p + 1, &n, 4);
    }
    p += prefix;
    if (!text.wide) {
        std::memcpy(p, text.data, length);
    } else if (latin1) {
        const char16_t* from = text.Utf16();
        for (size_t i = 0; i < length; ++i)
            p[i] = uint8_t(from[i]);
    } else {
        std::memcpy(p, text.data, bytes);
    }
    m_stored += prefix + bytes;
    return ref;
}

void CCellTexts::Release(Ref ref) {
    if (ref == 0)
        return;
    const CCellView v = View(ref);
    m_garbage += PrefixSize(v.length) + (v.wide ? v.length * 2 : v.length);
}

CCellView CCellTexts::View(Ref ref) const {
    const uint8_t* p = m_pages[ref >> kOffsetBits].get() + (ref & kOffsetMask);
    const bool wide = p[0] & 0x80;
    uint32_t length;
    if (p[0] & 0x40) {
        std::memcpy(&length, p + 1, 4);
        p += 5;
    } else {
        length = p[0] & 0x3F;
        p += 1;
    }
    return {p, length, wide};
}

bool CCellTexts::WantsRepack() const {
    constexpr size_t kMinGarbage = size_t(4) << 20;
    return m_garbage > kMinGarbage && m_garbage * 2 > m_stored;
}
