#include "platform/media/PictureTypes.h"

#include "platform/media/PictureHeaders.h"

#include <algorithm>
#include <cstring>
#include <span>

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

// The file's first bytes, as many as can be had up to limit (fewer when the file is shorter
// or, read as it streams in, not all there yet); empty when not even kLeast can be had.
std::span<const std::uint8_t> peekStart(GstTypeFind* find, guint limit) {
    constexpr guint kLeast = 4 * 1024;
    const guint64 length = gst_type_find_get_length(find);
    guint want = length > 0 && length < limit ? static_cast<guint>(length) : limit;
    for (;;) {
        if (const guint8* data = gst_type_find_peek(find, 0, want)) {
            return {data, want};
        }
        if (want <= kLeast) {
            return {};
        }
        want = std::max(want / 4, kLeast);
    }
}

// Whether the file starts as a JPEG does: start of image, then a marker.
bool startsAsJpeg(GstTypeFind* find) {
    const guint8* start = gst_type_find_peek(find, 0, 3);
    return start != nullptr && start[0] == 0xFF && start[1] == 0xD8 && start[2] == 0xFF;
}

// The components of a JPEG's frame header, read as far as it takes: most files have it in
// their first kilobytes, a photo with large metadata segments further on.
int jpegComponentsOf(GstTypeFind* find) {
    constexpr guint kUsual = 64 * 1024;
    constexpr guint kLargest = 16 * 1024 * 1024;
    const int components = jpegComponents(peekStart(find, kUsual));
    const guint64 length = gst_type_find_get_length(find);
    if (components != 0 || (length > 0 && length <= kUsual)) {
        return components;
    }
    return jpegComponents(peekStart(find, kLargest));
}

// A JPEG of four colour components (CMYK, or Adobe's YCCK) is told apart from the others by
// its frame header, whatever segments come before it: jpegdec refuses it, and libav's decoder
// must never be given one. A JPEG whose frame header cannot be read whole (cut short or
// damaged) may be one of them, and is taken as one; a grey or colour JPEG is left to
// GStreamer's own finder, asked after this one.
void findCmykJpeg(GstTypeFind* find, gpointer) {
    if (!startsAsJpeg(find)) {
        return;
    }
    const int components = jpegComponentsOf(find);
    if (components != 1 && components != 3) {
        gst_type_find_suggest_simple(find, GST_TYPE_FIND_MAXIMUM, "image/jpeg", "colorspace",
                                     G_TYPE_STRING, "CMYK", nullptr);
    }
}

// A still PNG of 16 bits a sample: pngdec of GStreamer 1.22 hands its RGB pictures on with
// their samples out of place (a red cast), so these go to a decoder of ours.
void findDeepPng(GstTypeFind* find, gpointer) {
    constexpr guint kChunksBeforeData = 1024 * 1024;
    const guint8* start = gst_type_find_peek(find, 0, 8);
    if (start == nullptr || start[0] != 0x89 || start[1] != 'P') {
        return;
    }
    if (isDeepStillPng(peekStart(find, kChunksBeforeData))) {
        gst_type_find_suggest_simple(find, GST_TYPE_FIND_MAXIMUM, "image/png", "bit-depth",
                                     G_TYPE_INT, 16, nullptr);
    }
}

// An animated PNG has its animation control chunk (acTL) before its first picture data.
void findAnimatedPng(GstTypeFind* find, gpointer) {
    constexpr guint kLookAhead = 64 * 1024;
    const guint8* start = gst_type_find_peek(find, 0, 8);
    if (start == nullptr || start[0] != 0x89 || start[1] != 'P') {
        return;
    }
    if (isAnimatedPng(peekStart(find, kLookAhead))) {
        gst_type_find_suggest_empty_simple(find, GST_TYPE_FIND_MAXIMUM, "image/apng");
    }
}

// An animated WebP has the extended header (VP8X) with its animation flag set.
void findAnimatedWebp(GstTypeFind* find, gpointer) {
    constexpr guint8 kAnimationFlag = 0x02;
    const guint8* header = gst_type_find_peek(find, 0, 21);
    if (header != nullptr && std::memcmp(header, "RIFF", 4) == 0 &&
        std::memcmp(header + 8, "WEBPVP8X", 8) == 0 && (header[20] & kAnimationFlag) != 0) {
        gst_type_find_suggest_simple(find, GST_TYPE_FIND_MAXIMUM, "image/webp", "animated",
                                     G_TYPE_BOOLEAN, TRUE, nullptr);
    }
}

} // namespace

bool registerPictureTypes(GstPlugin* plugin) {
    constexpr guint kBeforeGStreamers = GST_RANK_PRIMARY + 16;
    return gst_type_find_register(plugin, "image/x-sgi", GST_RANK_MARGINAL, findSgi,
                                  "sgi,rgb,rgba,bw,int,inta", nullptr, nullptr, nullptr) &&
           gst_type_find_register(plugin, "image/x-tga", GST_RANK_MARGINAL, findTarga, "tga,targa",
                                  nullptr, nullptr, nullptr) &&
           gst_type_find_register(plugin, "image/x-pcx", GST_RANK_MARGINAL, findPcx, "pcx", nullptr,
                                  nullptr, nullptr) &&
           // Asked before GStreamer's own JPEG and PNG finders (ranked primary + 15 and + 14),
           // whose sure answers would end the search.
           gst_type_find_register(plugin, "image/jpeg-cmyk", kBeforeGStreamers, findCmykJpeg,
                                  "jpg,jpeg", nullptr, nullptr, nullptr) &&
           gst_type_find_register(plugin, "image/png-deep", kBeforeGStreamers, findDeepPng, "png",
                                  nullptr, nullptr, nullptr) &&
           // Animated PNG and WebP, before GStreamer's finders take them for the still kinds.
           gst_type_find_register(plugin, "image/apng", kBeforeGStreamers, findAnimatedPng,
                                  "png,apng", nullptr, nullptr, nullptr) &&
           gst_type_find_register(plugin, "image/webp-animated", GST_RANK_PRIMARY + 1,
                                  findAnimatedWebp, "webp", nullptr, nullptr, nullptr);
}

} // namespace media
