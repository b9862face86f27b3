#include "desktop/ScreenSaverInhibitor.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace desktop {
namespace {

QDBusMessage ScreenSaverCall(const QString& method) {
    return QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.ScreenSaver"),
                                          QStringLiteral("/org/freedesktop/ScreenSaver"),
                                          QStringLiteral("org.freedesktop.ScreenSaver"), method);
}

} // namespace

ScreenSaverInhibitor::ScreenSaverInhibitor(const QDBusConnection& bus, QObject* parent)
    : QObject(parent), m_bus(bus) {}

ScreenSaverInhibitor::~ScreenSaverInhibitor() {
    m_wanted = false;
    Release();
}

void ScreenSaverInhibitor::SetWanted(bool wanted) {
    m_wanted = wanted;
    if (wanted)
        Inhibit();
    else
        Release();
}

void ScreenSaverInhibitor::Inhibit() {
    if (m_cookie || m_pending)
        return;
    QDBusMessage call = ScreenSaverCall(QStringLiteral("Inhibit"));
    call << QStringLiteral("Lumarest") << QStringLiteral("Playing a video");
    m_pending = true;
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            &ScreenSaverInhibitor::OnInhibitReply);
}

// No service, or one that refuses: nothing is held, and nothing is said.
void ScreenSaverInhibitor::OnInhibitReply(QDBusPendingCallWatcher* watcher) {
    watcher->deleteLater();
    m_pending = false;
    const QDBusPendingReply<uint> reply = *watcher;
    if (reply.isError())
        return;
    m_cookie = reply.value();
    if (!m_wanted)
        Release(); // the video stopped while the answer was on its way
}

void ScreenSaverInhibitor::Release() {
    if (!m_cookie)
        return;
    QDBusMessage call = ScreenSaverCall(QStringLiteral("UnInhibit"));
    call << *m_cookie;
    m_cookie.reset();
    m_bus.send(call);
}

} // namespace desktop
