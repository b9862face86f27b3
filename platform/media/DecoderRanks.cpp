#include "platform/media/DecoderRanks.h"

#include "platform/media/AnimationDecoder.h"
#include "platform/media/GstPtr.h"
#include "platform/media/PictureFraming.h"
#include "platform/media/PictureTypes.h"
#include "platform/media/QtPictureDecoder.h"

namespace media {
namespace {

// GdkPixbuf reads BMP, TIFF, Targa, icons and more in any form; it is ranked out only because
// it does not decode moving pictures. Above libav's picture decoders, below every primary one.
struct Raised {
    const char* feature;
    GstRank rank;
};
constexpr Raised kRaised[] = {{"gdkpixbufdec", GST_RANK_SECONDARY}};

void raiseRank(const Raised& raised) {
    GstPtr<GstPluginFeature> feature(
        gst_registry_lookup_feature(gst_registry_get(), raised.feature));
    if (feature && gst_plugin_feature_get_rank(feature.get()) < static_cast<guint>(raised.rank)) {
        gst_plugin_feature_set_rank(feature.get(), raised.rank);
    }
}

gboolean initPicturePlugin(GstPlugin* plugin) {
    const bool types = registerPictureTypes(plugin);
    const bool framing = registerPictureFraming(plugin);
    const bool decoder = registerQtPictureDecoder(plugin);
    const bool animations = registerAnimationDecoder(plugin);
    return types && framing && decoder && animations;
}

} // namespace

void prepareDecoders() {
    static const bool prepared = [] {
        for (const Raised& raised : kRaised) {
            raiseRank(raised);
        }
        return gst_plugin_register_static(GST_VERSION_MAJOR, GST_VERSION_MINOR, "lumarestpictures",
                                          "Picture types and framing of the player",
                                          initPicturePlugin, "1.0", "unknown", "lumarest",
                                          "Lumarest", "Lumarest");
    }();
    (void)prepared;
}

} // namespace media
