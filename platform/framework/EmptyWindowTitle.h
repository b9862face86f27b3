#pragma once
// A top-level window whose title bar stays empty. Qt's X11 backend gives a window
// with an empty title the application's name instead; this takes the name away again.
class QWidget;

// Creates the window's native window when needed, then clears its title properties.
// Does nothing on platforms that show an empty title as it is.
void ShowEmptyWindowTitle(QWidget& window);
