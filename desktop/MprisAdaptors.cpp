#include "desktop/MprisAdaptors.h"

#include "desktop/MprisProperties.h"
#include "desktop/MprisService.h"

namespace desktop {

MprisRootAdaptor::MprisRootAdaptor(MprisService* service)
    : QDBusAbstractAdaptor(service), m_service(service) {}

QString MprisRootAdaptor::Identity() const {
    return QStringLiteral("Lumarest");
}
QString MprisRootAdaptor::DesktopEntry() const {
    return QStringLiteral("lumarest");
}
QStringList MprisRootAdaptor::SupportedUriSchemes() const {
    return {QStringLiteral("file"), QStringLiteral("http"), QStringLiteral("https"),
            QStringLiteral("rtsp")};
}
QStringList MprisRootAdaptor::SupportedMimeTypes() const {
    return desktop::SupportedMimeTypes();
}
void MprisRootAdaptor::Raise() {
    m_service->Raise();
}

MprisPlayerAdaptor::MprisPlayerAdaptor(MprisService* service)
    : QDBusAbstractAdaptor(service), m_service(service) {}

QVariant MprisPlayerAdaptor::Property(const char* name) const {
    return m_service->Properties().value(QString::fromLatin1(name));
}

QString MprisPlayerAdaptor::PlaybackStatus() const {
    return Property("PlaybackStatus").toString();
}
QVariantMap MprisPlayerAdaptor::Metadata() const {
    return Property("Metadata").toMap();
}
double MprisPlayerAdaptor::Volume() const {
    return Property("Volume").toDouble();
}
void MprisPlayerAdaptor::SetVolume(double volume) {
    m_service->SetVolume(volume);
}
double MprisPlayerAdaptor::Rate() const {
    return Property("Rate").toDouble();
}
void MprisPlayerAdaptor::SetRate(double rate) {
    m_service->SetRate(rate);
}
double MprisPlayerAdaptor::MinimumRate() const {
    return Property("MinimumRate").toDouble();
}
double MprisPlayerAdaptor::MaximumRate() const {
    return Property("MaximumRate").toDouble();
}
qlonglong MprisPlayerAdaptor::Position() const {
    return m_service->Position();
}
bool MprisPlayerAdaptor::CanGoNext() const {
    return Property("CanGoNext").toBool();
}
bool MprisPlayerAdaptor::CanPlay() const {
    return Property("CanPlay").toBool();
}
bool MprisPlayerAdaptor::CanPause() const {
    return Property("CanPause").toBool();
}
bool MprisPlayerAdaptor::CanSeek() const {
    return Property("CanSeek").toBool();
}

void MprisPlayerAdaptor::Next() {
    m_service->Next();
}
void MprisPlayerAdaptor::Pause() {
    m_service->Pause();
}
void MprisPlayerAdaptor::PlayPause() {
    m_service->PlayPause();
}
void MprisPlayerAdaptor::Stop() {
    m_service->Stop();
}
void MprisPlayerAdaptor::Play() {
    m_service->Play();
}
void MprisPlayerAdaptor::Seek(qlonglong Offset) {
    m_service->Seek(Offset);
}
void MprisPlayerAdaptor::SetPosition(const QDBusObjectPath& TrackId, qlonglong Position) {
    m_service->SetPosition(TrackId, Position);
}
void MprisPlayerAdaptor::OpenUri(const QString& Uri) {
    m_service->OpenUri(Uri);
}

} // namespace desktop
