#include "platform/media/UnfitReaders.h"

#include <string_view>

namespace media {

bool isUnfitReader(GstElementFactory* factory, const GstCaps* caps) {
    if (factory == nullptr || caps == nullptr || gst_caps_get_size(caps) == 0) {
        return false;
    }
    const GstStructure* type = gst_caps_get_structure(caps, 0);
    const std::string_view name = GST_OBJECT_NAME(factory);
    if (name == "avdec_mjpeg") {
        const gchar* colours = gst_structure_get_string(type, "colorspace");
        return g_strcmp0(colours, "CMYK") == 0 || g_strcmp0(colours, "YCCK") == 0;
    }
    if (name == "pngparse" || name == "pngdec") {
        gint depth = 0;
        return gst_structure_get_int(type, "bit-depth", &depth) && depth == 16;
    }
    return false;
}

} // namespace media
