#pragma once
// Runs a piece of start-up once a window is on screen and painted (or after a while, should
// the window never be shown), so that the window's first paint does not wait for it.
#include <functional>

class QWidget;

namespace desktop {

void WhenShown(QWidget& window, std::function<void()> run);

} // namespace desktop
