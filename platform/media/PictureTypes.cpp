#include "platform/media/PictureTypes.h"

#include <cstring>

namespace media {
namespace {

constexpr guint16 kSgiMagic = 474;
constexpr guint kSgiHeaderSize = 512;

// An SGI image starts with its magic number, then a storage kind (0 verbatim, 1 run-length),
// bytes per channel (1 or 2), a dimension of 1 to 3 and three sizes; its header is 512 bytes.
void findSgi(GstTypeFind* find, gpointer) {
    const guint8* header = gst_type_find_peek(find, 0, 12);
    if (header == nullptr || GST_READ_UINT16_BE(header) != kSgiMagic) {
        return;
    }
    const guint8 storage = header[2];
    const guint8 bytesPerChannel = header[3];
    const guint16 dimension = GST_READ_UINT16_BE(header + 4);
    const guint16 width = GST_READ_UINT16_BE(header + 6);
    const guint16 height = GST_READ_UINT16_BE(header + 8);
    const guint16 channels = GST_READ_UINT16_BE(header + 10);
    const bool plausible = storage <= 1 && (bytesPerChannel == 1 || bytesPerChannel == 2) &&
                           dimension >= 1 && dimension <= 3 && width > 0 && height > 0 &&
                           channels > 0 && channels <= 4;
    const guint64 length = gst_type_find_get_length(find);
    if (plausible && (length == 0 || length > kSgiHeaderSize)) {
        gst_type_find_suggest_empty_simple(find, GST_TYPE_FIND_LIKELY, "image/x-sgi");
    }
}

// A Targa file has no magic number at its start; one of version 2 ends with a footer.
void findTarga(GstTypeFind* find, gpointer) {
    static constexpr char kFooter[] = "TRUEVISION-XFILE.";
    constexpr gint64 kFooterSize = sizeof(kFooter); // with its closing zero byte
    const guint8* footer = gst_type_find_peek(find, -kFooterSize, kFooterSize);
    if (footer != nullptr && std::memcmp(footer, kFooter, kFooterSize) == 0) {
        gst_type_find_suggest_empty_simple(find, GST_TYPE_FIND_LIKELY, "image/x-tga");
    }
}

// A PCX image starts with 10, a version (0 to 5), an encoding (0 or 1), bits per pixel and a
// picture window whose far corner is not before its near one; a weak sign, so only possible.
void findPcx(GstTypeFind* find, gpointer) {
    const guint8* header = gst_type_find_peek(find, 0, 12);
    if (header == nullptr || header[0] != 10) {
        return;
    }
    const guint8 version = header[1];
    const guint8 encoding = header[2];
    const guint8 bits = header[3];
    const bool plausible = version <= 5 && version != 1 && encoding <= 1 &&
                           (bits == 1 || bits == 2 || bits == 4 || bits == 8) &&
                           GST_READ_UINT16_LE(header + 8) >= GST_READ_UINT16_LE(header + 4) &&
                           GST_READ_UINT16_LE(header + 10) >= GST_READ_UINT16_LE(header + 6);
    if (plausible) {
        gst_type_find_suggest_empty_simple(find, GST_TYPE_FIND_POSSIBLE, "image/x-pcx");
    }
}

// A JPEG of four colour components (CMYK, or Adobe's YCCK) is told apart from the others by
// its frame header: the decoders that take an ordinary JPEG refuse it or worse.
void findCmykJpeg(GstTypeFind* find, gpointer) {
    constexpr guint64 kLookAhead = 64 * 1024;
    const guint8* start = gst_type_find_peek(find, 0, 2);
    if (start == nullptr || start[0] != 0xFF || start[1] != 0xD8) {
        return;
    }
    guint64 at = 2;
    while (at < kLookAhead) {
        const guint8* segment = gst_type_find_peek(find, static_cast<gint64>(at), 4);
        if (segment == nullptr || segment[0] != 0xFF) {
            return;
        }
        const guint8 marker = segment[1];
        const guint length = guint{segment[2]} << 8 | segment[3]; // unaligned: byte by byte
        // A start of frame: any coding but the arithmetic's table marker 0xCC.
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            const guint8* header = gst_type_find_peek(find, static_cast<gint64>(at), 10);
            if (header != nullptr && header[9] == 4) {
                gst_type_find_suggest_simple(find, GST_TYPE_FIND_MAXIMUM, "image/jpeg",
                                             "colorspace", G_TYPE_STRING, "CMYK", nullptr);
            }
            return;
        }
        if (marker == 0xDA || length < 2) {
            return;
        }
        at += 2 + length;
    }
}

} // namespace

bool registerPictureTypes(GstPlugin* plugin) {
    return gst_type_find_register(plugin, "image/x-sgi", GST_RANK_MARGINAL, findSgi,
                                  "sgi,rgb,rgba,bw,int,inta", nullptr, nullptr, nullptr) &&
           gst_type_find_register(plugin, "image/x-tga", GST_RANK_MARGINAL, findTarga, "tga,targa",
                                  nullptr, nullptr, nullptr) &&
           gst_type_find_register(plugin, "image/x-pcx", GST_RANK_MARGINAL, findPcx, "pcx", nullptr,
                                  nullptr, nullptr) &&
           // Asked before GStreamer's own JPEG finder, whose answer would end the search.
           gst_type_find_register(plugin, "image/jpeg-cmyk", GST_RANK_PRIMARY + 1, findCmykJpeg,
                                  "jpg,jpeg", nullptr, nullptr, nullptr);
}

} // namespace media
