#pragma once
// Brings a top-level window to the front, as the desktop asks (the sound menu's
// Raise, a second start handing its files over).
#include <QString>

class QWidget;

namespace desktop {

// The token is the desktop's leave to take the focus on Wayland (an activation
// token); empty when none came.
void BringToFront(QWidget& window, const QString& activationToken = QString());

} // namespace desktop
