#include "platform/media/PictureHeaders.h"

#include <cstring>

namespace media {
namespace {

std::uint64_t bigEndian(std::span<const std::uint8_t> bytes, std::uint64_t at, int size) {
    std::uint64_t value = 0;
    for (int i = 0; i < size; ++i) {
        value = value << 8 | bytes[at + static_cast<std::uint64_t>(i)];
    }
    return value;
}

// Start of frame: every coding (SOF0 to SOF15) but the markers in that range that are not
// frames: DHT (C4), JPG (C8) and DAC (CC).
bool startsFrame(std::uint8_t marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// Markers that stand alone, with no length: TEM and the restart markers.
bool standsAlone(std::uint8_t marker) {
    return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7);
}

// A frame header: length (2), precision (1), height (2), width (2), component count (1),
// then three bytes for each component, all within the segment and the bytes.
int componentsOfFrame(std::span<const std::uint8_t> bytes, std::uint64_t at, std::uint64_t length) {
    constexpr std::uint64_t kFixedPart = 8;
    if (length < kFixedPart || at + length > bytes.size()) {
        return 0;
    }
    const std::uint64_t components = bytes[at + 7];
    return components > 0 && kFixedPart + 3 * components <= length ? static_cast<int>(components)
                                                                   : 0;
}

} // namespace

int jpegComponents(std::span<const std::uint8_t> bytes) {
    const std::uint64_t size = bytes.size();
    if (size < 4 || bytes[0] != 0xFF || bytes[1] != 0xD8) {
        return 0;
    }
    std::uint64_t at = 2;
    while (at < size) {
        if (bytes[at] != 0xFF) {
            return 0; // no marker where one must be
        }
        while (at < size && bytes[at] == 0xFF) {
            ++at; // fill bytes
        }
        if (at >= size) {
            return 0;
        }
        const std::uint8_t marker = bytes[at++];
        if (standsAlone(marker)) {
            continue;
        }
        // A marker that has no business before the frame: a stuffed zero, another start of
        // image, the end of image, the start of scan.
        if (marker == 0x00 || marker == 0xD8 || marker == 0xD9 || marker == 0xDA || at + 2 > size) {
            return 0;
        }
        const std::uint64_t length = bigEndian(bytes, at, 2);
        if (startsFrame(marker)) {
            return componentsOfFrame(bytes, at, length);
        }
        if (length < 2) {
            return 0;
        }
        at += length;
    }
    return 0;
}

namespace {

enum class PngKind { NoPng, Still, Animated, Unknown };

// Walks a PNG's chunks up to its picture data: an animation's control chunk comes before it.
PngKind pngKind(std::span<const std::uint8_t> bytes) {
    static constexpr std::uint8_t kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    constexpr std::uint64_t kChunkHead = 8; // length, type
    constexpr std::uint64_t kChunkTail = 4; // its check sum
    const std::uint64_t size = bytes.size();
    if (size < sizeof kSignature || std::memcmp(bytes.data(), kSignature, sizeof kSignature) != 0) {
        return PngKind::NoPng;
    }
    std::uint64_t at = sizeof kSignature;
    while (at + kChunkHead <= size) {
        const std::uint64_t length = bigEndian(bytes, at, 4);
        const std::uint8_t* type = bytes.data() + at + 4;
        if (std::memcmp(type, "IDAT", 4) == 0) {
            return PngKind::Still;
        }
        if (std::memcmp(type, "acTL", 4) == 0) {
            return PngKind::Animated;
        }
        at += kChunkHead + length + kChunkTail;
    }
    return PngKind::Unknown;
}

} // namespace

bool isDeepStillPng(std::span<const std::uint8_t> bytes) {
    constexpr std::uint64_t kHeaderData = 13;
    // The header chunk (IHDR) comes first; its bit depth is its ninth byte.
    if (bytes.size() < 8 + 8 + kHeaderData || std::memcmp(bytes.data() + 12, "IHDR", 4) != 0 ||
        bigEndian(bytes, 8, 4) != kHeaderData || bytes[24] != 16) {
        return false;
    }
    return pngKind(bytes) == PngKind::Still;
}

bool isAnimatedPng(std::span<const std::uint8_t> bytes) {
    return pngKind(bytes) == PngKind::Animated;
}

} // namespace media
