// The GL sink's window lives on a thread of its own, and takes in a new size of the window
// it draws into only when that thread next hears from the X server: a frame drawn before
// then is drawn at the size before.
#pragma once

#include <QSize>

#include <gst/gst.h>

namespace media {

// Makes the GL sink's window take the size now, on its own thread, after everything the
// sink was told before; returns when that is done. Nothing happens for other sinks, or
// before the sink has its window.
void settleGlWindowSize(GstElement* sink, QSize size);

} // namespace media
