#pragma once
// Reads the tags of a rendered file from the streams playbin picked.
#include "platform/media/MediumTags.h"

#include <gst/gst.h>

namespace media {

// The first stream's tags win; a later stream fills what the first left empty.
MediumTags readStreamTags(GstElement* playbin);

} // namespace media
