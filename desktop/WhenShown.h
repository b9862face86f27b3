#pragma once
// Runs a piece of start-up once a window is on screen and painted (or after a while, should
// the window never be shown), so that the window's first paint does not wait for it.
#include <chrono>
#include <functional>

class QWidget;

namespace desktop {

// latest: how long a window that is not shown keeps the work waiting.
void WhenShown(QWidget& window, std::function<void()> run,
               std::chrono::milliseconds latest = std::chrono::seconds(1));

} // namespace desktop
