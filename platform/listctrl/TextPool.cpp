#include "platform/listctrl/TextPool.h"

#include <algorithm>
#include <new>

CTextPool::Ref CTextPool::Store(QStringView text) {
    const size_t len = size_t(text.size());
    if (len == 0)
        return {};
    if (len > kPageChars / 4)
        return StoreLarge(text);
    if (m_fill + len > kPageChars) {
        if (m_pages.size() >= kMaxPages)
            throw std::bad_alloc();
        m_garbage += kPageChars - m_fill;
        m_stored += kPageChars - m_fill;
        m_blocks.push_back(std::make_unique_for_overwrite<char16_t[]>(kPageChars));
        m_pages.push_back(m_blocks.back().get());
        m_fill = 0;
    }
    const uint32_t page = uint32_t(m_pages.size() - 1);
    std::copy_n(text.utf16(), len, m_pages[page] + m_fill);
    const Ref ref{(page << kPageBits) | m_fill, uint32_t(len)};
    m_fill += uint32_t(len);
    m_stored += len;
    return ref;
}

// A long text gets a block of its own that spans as many page numbers as it
// needs, so that a Ref still finds it by page and offset.
CTextPool::Ref CTextPool::StoreLarge(QStringView text) {
    const size_t len = size_t(text.size());
    const size_t pages = (len + kPageChars - 1) / kPageChars;
    if (m_pages.size() + pages > kMaxPages || len > UINT32_MAX)
        throw std::bad_alloc();
    m_blocks.push_back(std::make_unique_for_overwrite<char16_t[]>(pages * kPageChars));
    char16_t* block = m_blocks.back().get();
    std::copy_n(text.utf16(), len, block);
    const uint32_t first = uint32_t(m_pages.size());
    for (size_t i = 0; i < pages; ++i)
        m_pages.push_back(block + i * kPageChars);
    // Later small texts must not land in the tail of this block.
    m_fill = kPageChars;
    m_stored += len;
    return Ref{first << kPageBits, uint32_t(len)};
}

void CTextPool::Replace(Ref& ref, QStringView text) {
    const size_t len = size_t(text.size());
    if (len <= ref.len && len > 0) {
        char16_t* at = m_pages[ref.pos >> kPageBits] + (ref.pos & kPageMask);
        std::copy_n(text.utf16(), len, at);
        m_garbage += ref.len - len;
        ref.len = uint32_t(len);
        return;
    }
    const Ref fresh = Store(text); // may throw: ref stays as it was
    Release(ref);
    ref = fresh;
}

void CTextPool::Clear() {
    m_blocks.clear();
    m_pages.clear();
    m_fill = kPageChars;
    m_stored = 0;
    m_garbage = 0;
}

bool CTextPool::WantsRepack() const {
    constexpr size_t kMinGarbage = size_t(1) << 20;
    return m_garbage > kMinGarbage && m_garbage * 2 > m_stored;
}
