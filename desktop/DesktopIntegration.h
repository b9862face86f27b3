#pragma once
// The program on the Linux desktop: its icon on the main window, files dropped
// onto the window, the media keys and sound menu (MPRIS on the session bus) and
// no screen blanking while a video plays (later starts handing their files to
// this copy: SingleInstance). It watches and drives the program from outside;
// the program knows nothing of it.
#include <QDBusConnection>
#include <QObject>

class CMDIFrameWnd;
class QIcon;

namespace desktop {

class FileDrop;
class MprisService;
class PlayerWatch;
class ScreenSaverInhibitor;

class DesktopIntegration : public QObject {
    Q_OBJECT
public:
    // Without a session bus only the icon and the drops are set up, silently.
    DesktopIntegration(CMDIFrameWnd& frame,
                       const QDBusConnection& bus = QDBusConnection::sessionBus());
    ~DesktopIntegration() override;

    PlayerWatch& Watch() const { return *m_watch; }
    MprisService* Mpris() const { return m_mpris; }                 // null without a bus
    ScreenSaverInhibitor* Inhibitor() const { return m_inhibitor; } // null without a bus

private:
    FileDrop* m_drop = nullptr;
    PlayerWatch* m_watch = nullptr;
    MprisService* m_mpris = nullptr;
    ScreenSaverInhibitor* m_inhibitor = nullptr;
};

// The program's icon, drawn from the same picture as the installed one.
QIcon AppIcon();

} // namespace desktop
