// Redraw requests for the windows a video sink makes inside one of ours (the GL sink draws
// into a child window of its own there).
#pragma once

#include <QSize>

#include <QWidget>

namespace media {

// Asks the X server to expose every child window of window, as if it had just been
// uncovered; nothing happens off X. The GL sink takes in a new size of its window only
// when its own X connection has news to read: an expose is such news.
void exposeChildWindows(WId window);

// Gives the native window its size now, whether it is shown or not.
void resizeNativeWindow(WId window, QSize size);

} // namespace media
