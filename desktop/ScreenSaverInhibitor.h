#pragma once
// Keeps the screen from blanking while a video plays: one inhibit held on the
// desktop's org.freedesktop.ScreenSaver service for as long as it is wanted.
// Without that service nothing happens.
#include <QDBusConnection>
#include <QObject>

#include <optional>

class QDBusPendingCallWatcher;

namespace desktop {

class ScreenSaverInhibitor : public QObject {
    Q_OBJECT
public:
    ScreenSaverInhibitor(const QDBusConnection& bus, QObject* parent);
    ~ScreenSaverInhibitor() override;

    void SetWanted(bool wanted);
    bool Holding() const { return m_cookie.has_value(); }

private:
    void Inhibit();
    void Release();
    void OnInhibitReply(QDBusPendingCallWatcher* watcher);

    QDBusConnection m_bus;
    bool m_wanted = false;
    bool m_pending = false; // an Inhibit call awaits its answer
    std::optional<uint> m_cookie;
};

} // namespace desktop
