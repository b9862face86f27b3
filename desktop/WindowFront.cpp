#include "desktop/WindowFront.h"

#include <QWidget>

namespace desktop {

void BringToFront(QWidget& window, const QString& activationToken) {
    // Qt's Wayland plugin, where it speaks the activation protocol, takes the leave
    // from the environment when it activates the window.
    if (!activationToken.isEmpty())
        qputenv("XDG_ACTIVATION_TOKEN", activationToken.toUtf8());
    if (window.isMinimized())
        window.showNormal();
    window.show();
    window.raise();
    window.activateWindow();
}

} // namespace desktop
