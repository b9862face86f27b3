#include "platform/media/Mp4Chapters.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <optional>

namespace media {

namespace {

struct Box {
    std::string type;
    std::uint64_t body = 0; // where its contents start
    std::uint64_t end = 0;  // where the next box starts
};

std::uint64_t bigEndian(const std::uint8_t* bytes, int count) {
    std::uint64_t value = 0;
    for (int i = 0; i < count; ++i)
        value = (value << 8) | bytes[i];
    return value;
}

bool readAt(std::istream& in, std::uint64_t at, std::uint8_t* into, std::size_t count) {
    in.clear();
    in.seekg(static_cast<std::streamoff>(at));
    in.read(reinterpret_cast<char*>(into), static_cast<std::streamsize>(count));
    return in.gcount() == static_cast<std::streamsize>(count);
}

// The box at `at`, which must end within `limit`.
std::optional<Box> boxAt(std::istream& in, std::uint64_t at, std::uint64_t limit) {
    std::array<std::uint8_t, 16> head{};
    if (limit < at + 8 || !readAt(in, at, head.data(), 8))
        return std::nullopt;
    Box box;
    box.type.assign(reinterpret_cast<const char*>(head.data() + 4), 4);
    std::uint64_t size = bigEndian(head.data(), 4);
    box.body = at + 8;
    if (size == 1) { // a 64-bit size follows the type
        if (limit < at + 16 || !readAt(in, at + 8, head.data() + 8, 8))
            return std::nullopt;
        size = bigEndian(head.data() + 8, 8);
        box.body = at + 16;
    } else if (size == 0) { // runs to the end of what holds it
        size = limit - at;
    }
    if (size < box.body - at || size > limit - at)
        return std::nullopt;
    box.end = at + size;
    return box;
}

std::optional<Box> findChild(std::istream& in, std::uint64_t from, std::uint64_t limit,
                             const std::string& type) {
    for (std::uint64_t at = from; at < limit;) {
        const std::optional<Box> box = boxAt(in, at, limit);
        if (!box)
            return std::nullopt;
        if (box->type == type)
            return box;
        at = box->end;
    }
    return std::nullopt;
}

// version 1, flags 3, (4 reserved in version 1), count 1, then per chapter a 64-bit start
// and a title of a length byte and that many bytes.
std::vector<Mp4Chapter> readChapterList(std::istream& in, const Box& chpl) {
    const std::uint64_t length = chpl.end - chpl.body;
    if (length < 5 || length > (1u << 20))
        return {};
    std::vector<std::uint8_t> bytes(length);
    if (!readAt(in, chpl.body, bytes.data(), bytes.size()))
        return {};
    std::size_t at = bytes[0] == 0 ? 4 : 8;
    if (at >= bytes.size())
        return {};
    const int count = bytes[at++];
    std::vector<Mp4Chapter> chapters;
    for (int i = 0; i < count; ++i) {
        if (bytes.size() - at < 9)
            return {};
        Mp4Chapter chapter;
        chapter.start = static_cast<std::int64_t>(bigEndian(&bytes[at], 8) & 0x7FFF'FFFF'FFFF'FFFF);
        const std::size_t titleLength = bytes[at + 8];
        at += 9;
        if (bytes.size() - at < titleLength)
            return {};
        chapter.title.assign(reinterpret_cast<const char*>(&bytes[at]), titleLength);
        at += titleLength;
        chapters.push_back(std::move(chapter));
    }
    std::stable_sort(chapters.begin(), chapters.end(),
                     [](const Mp4Chapter& a, const Mp4Chapter& b) { return a.start < b.start; });
    return chapters;
}

} // namespace

std::vector<Mp4Chapter> mp4Chapters(std::istream& in) {
    in.clear();
    in.seekg(0, std::ios::end);
    const std::streamoff end = in.tellg();
    if (end <= 0)
        return {};
    const auto size = static_cast<std::uint64_t>(end);
    const std::optional<Box> first = boxAt(in, 0, size);
    if (!first || first->type != "ftyp")
        return {};
    const std::optional<Box> moov = findChild(in, first->end, size, "moov");
    const std::optional<Box> udta =
        moov ? findChild(in, moov->body, moov->end, "udta") : std::nullopt;
    const std::optional<Box> chpl =
        udta ? findChild(in, udta->body, udta->end, "chpl") : std::nullopt;
    return chpl ? readChapterList(in, *chpl) : std::vector<Mp4Chapter>{};
}

std::vector<Mp4Chapter> mp4Chapters(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return in ? mp4Chapters(in) : std::vector<Mp4Chapter>{};
}

} // namespace media
