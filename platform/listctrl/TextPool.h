#pragma once
// Compact storage for the cell texts of a list: UTF-16 text packed into pages,
// so that a hundred thousand lines cost no allocation per cell.
#include <QStringView>
#include <cstdint>
#include <memory>
#include <vector>

class CTextPool {
public:
    // Where a text lives: page index in the high bits of pos, offset in the low.
    struct Ref {
        uint32_t pos = 0;
        uint32_t len = 0;
    };

    // Copies the text into the pool. Throws std::bad_alloc when full.
    Ref Store(QStringView text);
    // Replaces the text behind ref, in place when the new one fits.
    void Replace(Ref& ref, QStringView text);
    // Marks the text as no longer used, for the garbage count.
    void Release(Ref ref) { m_garbage += ref.len; }
    void Clear();

    QStringView View(Ref ref) const {
        if (ref.len == 0)
            return {};
        return QStringView(m_pages[ref.pos >> kPageBits] + (ref.pos & kPageMask), ref.len);
    }

    // True when enough of the pool is unused that repacking it pays.
    bool WantsRepack() const;

private:
    static constexpr unsigned kPageBits = 16;
    static constexpr uint32_t kPageChars = 1u << kPageBits;
    static constexpr uint32_t kPageMask = kPageChars - 1;
    static constexpr size_t kMaxPages = size_t(1) << (32 - kPageBits);

    Ref StoreLarge(QStringView text);

    std::vector<std::unique_ptr<char16_t[]>> m_blocks;
    std::vector<char16_t*> m_pages; // a large block spans several consecutive pages
    uint32_t m_fill = kPageChars;   // characters used in the last small page
    size_t m_stored = 0;            // characters handed out, live or not
    size_t m_garbage = 0;           // characters no longer used
};
