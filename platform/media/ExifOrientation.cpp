#include "platform/media/ExifOrientation.h"

#include <array>
#include <fstream>
#include <vector>

namespace media {
namespace {

constexpr uint16_t kOrientationTag = 0x0112;
constexpr uint16_t kShortType = 3;
// An EXIF block lies in the first segments; a camera's is under 64 KiB by the format's rule.
constexpr size_t kHeaderBytes = 128 * 1024;

class Reader {
public:
    Reader(std::span<const uint8_t> bytes, bool bigEndian) : m_bytes(bytes), m_big(bigEndian) {}
    bool has(size_t at, size_t n) const { return at <= m_bytes.size() && n <= m_bytes.size() - at; }
    uint16_t u16(size_t at) const {
        return m_big ? uint16_t(m_bytes[at] << 8 | m_bytes[at + 1])
                     : uint16_t(m_bytes[at + 1] << 8 | m_bytes[at]);
    }
    uint32_t u32(size_t at) const {
        return m_big ? uint32_t(u16(at)) << 16 | u16(at + 2)
                     : uint32_t(u16(at + 2)) << 16 | u16(at);
    }

private:
    std::span<const uint8_t> m_bytes;
    bool m_big;
};

// The Orientation entry of IFD0 of a TIFF structure (the EXIF block after "Exif\0\0").
int orientationInTiff(std::span<const uint8_t> tiff) {
    if (tiff.size() < 8 ||
        !((tiff[0] == 'I' && tiff[1] == 'I') || (tiff[0] == 'M' && tiff[1] == 'M')))
        return 1;
    const Reader r(tiff, tiff[0] == 'M');
    const uint32_t ifd = r.u32(4);
    if (!r.has(ifd, 2))
        return 1;
    const uint16_t entries = r.u16(ifd);
    for (uint16_t i = 0; i < entries; ++i) {
        const size_t entry = ifd + 2 + size_t{i} * 12;
        if (!r.has(entry, 12))
            return 1;
        if (r.u16(entry) == kOrientationTag && r.u16(entry + 2) == kShortType) {
            const uint16_t value = r.u16(entry + 8);
            return value >= 1 && value <= 8 ? value : 1;
        }
    }
    return 1;
}

} // namespace

int exifOrientation(std::span<const uint8_t> jpeg) {
    if (jpeg.size() < 4 || jpeg[0] != 0xFF || jpeg[1] != 0xD8)
        return 1;
    size_t at = 2;
    // Segments up to the picture data: each is FF, a marker, and a big-endian length.
    while (at + 4 <= jpeg.size() && jpeg[at] == 0xFF) {
        const uint8_t marker = jpeg[at + 1];
        if (marker == 0xDA || marker == 0xD9)
            break;
        const size_t length = size_t{jpeg[at + 2]} << 8 | jpeg[at + 3];
        if (length < 2 || at + 2 + length > jpeg.size())
            break;
        const std::span<const uint8_t> body = jpeg.subspan(at + 4, length - 2);
        static constexpr std::array<uint8_t, 6> kExif{'E', 'x', 'i', 'f', 0, 0};
        if (marker == 0xE1 && body.size() > kExif.size() &&
            std::equal(kExif.begin(), kExif.end(), body.begin()))
            return orientationInTiff(body.subspan(kExif.size()));
        at += 2 + length;
    }
    return 1;
}

int exifOrientationOfFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return 1;
    std::vector<uint8_t> start(kHeaderBytes);
    file.read(reinterpret_cast<char*>(start.data()), static_cast<std::streamsize>(start.size()));
    start.resize(static_cast<size_t>(file.gcount()));
    return exifOrientation(start);
}

const char* turnForExifOrientation(int orientation) {
    static constexpr std::array<const char*, 9> kTurns{
        "identity", "identity", "horiz", "180", "vert", "ul-lr", "90r", "ur-ll", "90l"};
    return orientation >= 1 && orientation <= 8 ? kTurns[size_t(orientation)] : kTurns[0];
}

} // namespace media
