#include "desktop/MprisService.h"

#include "desktop/FileDrop.h"
#include "desktop/MprisAdaptors.h"
#include "desktop/MprisProperties.h"
#include "desktop/PlayerControl.h"
#include "desktop/PlayerWatch.h"
#include "desktop/WindowFront.h"
#include "platform/framework/MDIFrameWnd.h"
#include "player/CLumarestView.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <limits>

namespace desktop {
namespace {

const QString kBaseName = QStringLiteral("org.mpris.MediaPlayer2.lumarest");

bool Claim(QDBusConnection& bus, const QString& name) {
    QDBusConnectionInterface* daemon = bus.interface();
    if (!daemon)
        return false;
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        daemon->registerService(name, QDBusConnectionInterface::DontQueueService,
                                QDBusConnectionInterface::DontAllowReplacement);
    return reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered;
}

} // namespace

MprisService::MprisService(const QDBusConnection& bus, PlayerWatch& watch, CMDIFrameWnd& frame,
                           QObject* parent)
    : QObject(parent), m_bus(bus), m_watch(watch), m_frame(&frame) {
    new MprisRootAdaptor(this);
    m_player = new MprisPlayerAdaptor(this);
    OnChanged();
    connect(&m_watch, &PlayerWatch::changed, this, &MprisService::OnChanged);
    connect(&m_watch, &PlayerWatch::seeked, m_player, &MprisPlayerAdaptor::Seeked);
    m_objectRegistered = m_bus.registerObject(QString::fromLatin1(kObjectPath), this,
                                              QDBusConnection::ExportAdaptors);
    if (!m_objectRegistered)
        return;
    const QString instance =
        kBaseName + QStringLiteral(".instance%1").arg(QCoreApplication::applicationPid());
    for (const QString& name : {kBaseName, instance}) {
        if (Claim(m_bus, name)) {
            m_name = name;
            break;
        }
    }
}

MprisService::~MprisService() {
    if (!m_name.isEmpty())
        m_bus.unregisterService(m_name);
    if (m_objectRegistered)
        m_bus.unregisterObject(QString::fromLatin1(kObjectPath));
}

QString MprisService::CurrentTrackId() const {
    return TrackIdOf(m_watch.Snapshot(), m_serial);
}

// A new file in the followed window, or another window, is another track.
void MprisService::OnChanged() {
    const PlayerSnapshot& s = m_watch.Snapshot();
    const QString key = QStringLiteral("%1|%2|%3")
                            .arg(reinterpret_cast<quintptr>(m_watch.ActivePlayer()))
                            .arg(s.queueIndex)
                            .arg(s.path);
    if (key != m_trackKey) {
        m_trackKey = key;
        ++m_serial;
    }
    const QVariantMap now = PlayerProperties(s, m_serial);
    const QVariantMap changed = ChangedProperties(m_sent, now);
    m_sent = now;
    if (changed.isEmpty() || m_name.isEmpty())
        return;
    QDBusMessage signal = QDBusMessage::createSignal(
        QString::fromLatin1(kObjectPath), QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("PropertiesChanged"));
    signal << QString::fromLatin1(kPlayerInterface) << changed << QStringList();
    m_bus.send(signal);
}

void MprisService::Act(void (*action)(CLumarestView&)) {
    if (CLumarestView* view = m_watch.ActivePlayer())
        action(*view);
}

void MprisService::Raise() {
    if (m_frame)
        BringToFront(*m_frame);
}

void MprisService::Play() {
    Act(&desktop::Play);
}
void MprisService::Pause() {
    Act(&desktop::Pause);
}
void MprisService::PlayPause() {
    Act(&desktop::PlayPause);
}
void MprisService::Stop() {
    Act(&desktop::Stop);
}

// Loading the next file may ask the user something (a refused file): the call
// returns first, the queue moves on after.
void MprisService::Next() {
    QTimer::singleShot(0, this, [this] { Act([](CLumarestView& view) { view.MoveQueueOn(); }); });
}

void MprisService::SetVolume(double volume) {
    if (CLumarestView* view = m_watch.ActivePlayer())
        view->SetStoredVolume(StoredVolumeOf(volume));
}

void MprisService::SetRate(double rate) {
    if (CLumarestView* view = m_watch.ActivePlayer())
        desktop::SetRate(*view, rate);
}

qlonglong MprisService::Position() const {
    CLumarestView* view = m_watch.ActivePlayer();
    return view ? view->PositionUs() : 0;
}

void MprisService::Seek(qlonglong offsetUs) {
    SeekTo(Position() + offsetUs);
}

void MprisService::SetPosition(const QDBusObjectPath& trackId, qlonglong positionUs) {
    if (trackId.path() != CurrentTrackId() || positionUs < 0 ||
        positionUs > m_watch.Snapshot().lengthUs)
        return; // a request for a track no longer playing is ignored
    SeekTo(positionUs);
}

// The player seeks to whole seconds, as its slider does; it announces where it went.
void MprisService::SeekTo(qlonglong positionUs) {
    constexpr qlonglong kUsPerSecond = 1'000'000;
    if (CLumarestView* view = m_watch.ActivePlayer())
        view->SeekTo(static_cast<int>(
            std::clamp<qlonglong>(positionUs / kUsPerSecond, 0, std::numeric_limits<int>::max())));
}

// A local file, or a stream by its URL; any other address is left alone.
void MprisService::OpenUri(const QString& uri) {
    const QStringList files = LocalFiles({QUrl(uri)});
    QTimer::singleShot(0, this, [files] { OpenFiles(files); });
}

} // namespace desktop
