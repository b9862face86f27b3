#pragma once
// Compact storage for the cell texts of a long list. A text whose characters
// all lie below U+0100 is kept one byte a character (Latin-1), any other as
// UTF-16; each is prefixed by its length and packed into large pages, so that a
// cell costs a 4-byte reference and its characters. A text equal to one stored
// lately for the same column is shared rather than stored again (folders and
// extensions repeat down a play list). Stored texts never change: a new text
// for a cell is stored anew and the old one counted as garbage.
#include <QString>
#include <QStringView>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

// A stored text as it lies in the pages: bytes (Latin-1) or UTF-16 units.
struct CCellView {
    const void* data = nullptr;
    uint32_t length = 0; // characters (Latin-1) or UTF-16 units
    bool wide = false;

    const uint8_t* Latin1() const { return static_cast<const uint8_t*>(data); }
    const char16_t* Utf16() const { return static_cast<const char16_t*>(data); }
    // Appends the text to out (which is cleared first).
    void AssignTo(QString& out) const;
    QString ToString() const {
        QString s;
        AssignTo(s);
        return s;
    }
    static CCellView Of(QStringView text) { return {text.utf16(), uint32_t(text.size()), true}; }
};

// Code-point order (the order of the texts' UTF-8 bytes): negative, 0 or positive.
int CompareCellViews(const CCellView& a, const CCellView& b);

class CCellTexts {
public:
    using Ref = uint32_t; // 0 is the empty text

    CCellTexts();
    // A copy shares the pages, whose texts never change: it holds every text
    // stored so far and stores its own in pages of its own.
    CCellTexts(const CCellTexts& other);
    CCellTexts& operator=(const CCellTexts& other);
    CCellTexts(CCellTexts&&) noexcept = default;
    CCellTexts& operator=(CCellTexts&&) noexcept = default;
    // Stores the text, or finds it among the texts lately stored for the same
    // slot (a column index). Throws std::bad_alloc when full.
    Ref Store(QStringView text, int slot);
    // The same from a text in either form: Latin-1 bytes are stored as they
    // are, with no UTF-16 copy made on the way.
    Ref Store(const CCellView& text, int slot);
    void Release(Ref ref);
    void Clear();
    CCellView View(Ref ref) const;

    // True when enough of the stored characters are unused that repacking pays.
    bool WantsRepack() const;

private:
    static constexpr unsigned kOffsetBits = 20; // 1 MiB pages, 4096 of them
    static constexpr uint32_t kPageBytes = 1u << kOffsetBits;
    static constexpr uint32_t kOffsetMask = kPageBytes - 1;
    static constexpr size_t kMaxPages = size_t(1) << (32 - kOffsetBits);
    static constexpr int kSlots = 8;
    static constexpr unsigned kRecentBits = 12;

    // Length prefix: one byte below 0x40, else five (the length follows as four
    // bytes); bit 0x80 of the first byte marks UTF-16, bit 0x40 the long form.
    static size_t PrefixSize(size_t length) { return length < 0x40 ? 1 : 5; }
    Ref StoreNew(const CCellView& text, bool latin1);

    std::vector<std::shared_ptr<uint8_t[]>> m_pages;
    uint32_t m_fill = kPageBytes; // bytes used in the last page
    size_t m_stored = 0;          // bytes handed out
    size_t m_garbage = 0;         // bytes no longer used (shared texts counted per use)
    // Texts lately stored, per slot, by hash; the hash is kept so that a text
    // stored once only is told apart without reading the other one.
    struct Recent {
        Ref ref = 0;
        uint32_t hash = 0;
    };
    std::vector<std::array<Recent, size_t(1) << kRecentBits>> m_recent;
    // How often texts lately looked up in a slot were found: below one in
    // kSeldomShare, only one text in kSeldomLookup is looked up.
    static constexpr uint32_t kSharingWindow = 4096;
    static constexpr uint32_t kSeldomShare = 16;
    static constexpr uint32_t kSeldomLookup = 32;
    struct Sharing {
        uint32_t lookups = 0;
        uint32_t found = 0;
        uint32_t skipped = 0;
        bool seldom = false;
    };
    std::vector<Sharing> m_sharing;
    std::vector<uint8_t> m_narrow; // a Latin-1 text given as UTF-16, narrowed
};
