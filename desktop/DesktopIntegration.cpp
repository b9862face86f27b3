#include "desktop/DesktopIntegration.h"

#include "desktop/FileDrop.h"
#include "desktop/MprisService.h"
#include "desktop/PlayerWatch.h"
#include "desktop/ScreenSaverInhibitor.h"
#include "platform/framework/MDIFrameWnd.h"

#include <QGuiApplication>
#include <QIcon>

namespace desktop {

QIcon AppIcon() {
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/desktop/icons/%1x%1/lumarest.png").arg(size),
                     QSize(size, size));
    return icon;
}

DesktopIntegration::DesktopIntegration(CMDIFrameWnd& frame, const QDBusConnection& bus) {
    // The desktop finds the entry (and with it the icon) of the running program by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("lumarest"));
    const QIcon icon = AppIcon();
    QGuiApplication::setWindowIcon(icon);
    frame.setWindowIcon(icon);

    m_drop = new FileDrop(frame, this);
    m_watch = new PlayerWatch(frame, this);
    if (!bus.isConnected())
        return;
    m_mpris = new MprisService(bus, *m_watch, frame, this);
    m_inhibitor = new ScreenSaverInhibitor(bus, this);
    connect(m_watch, &PlayerWatch::videoShowingChanged, m_inhibitor,
            &ScreenSaverInhibitor::SetWanted);
    m_inhibitor->SetWanted(m_watch->VideoShowing());
}

// The service goes off the bus before the watch it reads.
DesktopIntegration::~DesktopIntegration() {
    delete m_inhibitor;
    delete m_mpris;
    delete m_drop;
    delete m_watch;
}

} // namespace desktop
