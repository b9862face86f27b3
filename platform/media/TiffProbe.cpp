#include "platform/media/TiffProbe.h"

#include <array>
#include <cstdint>
#include <fstream>

namespace media {
namespace {

constexpr uint16_t kSampleFormatTag = 339;
constexpr uint16_t kFloatSamples = 3;
constexpr uint16_t kShortType = 3;
constexpr uint16_t kMaxEntries = 4096; // far above what any writer puts in a directory

class TiffFile {
public:
    explicit TiffFile(const std::string& path) : m_file(path, std::ios::binary) {}

    // The byte order and the first directory's place, from the header.
    bool readHeader(uint32_t& directory) {
        std::array<uint8_t, 8> header{};
        if (!read(0, header.data(), header.size()))
            return false;
        if (header[0] == 'I' && header[1] == 'I')
            m_big = false;
        else if (header[0] == 'M' && header[1] == 'M')
            m_big = true;
        else
            return false;
        directory = u32(header.data() + 4);
        return u16(header.data() + 2) == 42;
    }

    // The first SHORT of the tag's value in the directory at offset.
    bool firstShort(uint32_t directory, uint16_t tag, uint16_t& value) {
        std::array<uint8_t, 2> count{};
        if (!read(directory, count.data(), count.size()) || u16(count.data()) > kMaxEntries)
            return false;
        for (uint32_t i = 0; i < u16(count.data()); ++i) {
            std::array<uint8_t, 12> entry{};
            if (!read(directory + 2 + 12 * i, entry.data(), entry.size()))
                return false;
            if (u16(entry.data()) != tag)
                continue;
            if (u16(entry.data() + 2) != kShortType)
                return false;
            // Two SHORTs fit in the entry itself; more lie where it points.
            if (u32(entry.data() + 4) <= 2) {
                value = u16(entry.data() + 8);
                return true;
            }
            std::array<uint8_t, 2> first{};
            if (!read(u32(entry.data() + 8), first.data(), first.size()))
                return false;
            value = u16(first.data());
            return true;
        }
        return false;
    }

private:
    bool read(uint64_t at, uint8_t* to, size_t n) {
        m_file.clear();
        m_file.seekg(static_cast<std::streamoff>(at));
        m_file.read(reinterpret_cast<char*>(to), static_cast<std::streamsize>(n));
        return m_file.gcount() == static_cast<std::streamsize>(n);
    }
    uint16_t u16(const uint8_t* p) const {
        return m_big ? uint16_t(p[0] << 8 | p[1]) : uint16_t(p[1] << 8 | p[0]);
    }
    uint32_t u32(const uint8_t* p) const {
        return m_big ? uint32_t(u16(p)) << 16 | u16(p + 2) : uint32_t(u16(p + 2)) << 16 | u16(p);
    }

    std::ifstream m_file;
    bool m_big = false;
};

} // namespace

bool tiffHasFloatSamples(const std::string& path) {
    TiffFile file(path);
    uint32_t directory = 0;
    uint16_t format = 0;
    return file.readHeader(directory) && file.firstShort(directory, kSampleFormatTag, format) &&
           format == kFloatSamples;
}

} // namespace media
