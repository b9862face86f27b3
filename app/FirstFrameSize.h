#pragma once
// The main window's size when the program starts.
#include <QRect>
#include <QSize>

// 1024 × 720 where that fits; on a smaller screen, or at a larger scale or font, the room
// the desktop leaves (available), less an allowance for the window manager's frame, so that
// the caption and the status bar stay on the screen.
QSize FirstFrameSize(const QRect& available);
