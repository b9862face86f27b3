#pragma once
// The program on the session bus as an MPRIS 2 media player, so that media
// keys and the desktop's sound menu reach the active player window. It takes
// the name org.mpris.MediaPlayer2.lumarest, or one with .instance<pid> added
// when another copy of the program holds that, and gives it back at the end.
#include "desktop/PlayerState.h"

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QObject>
#include <QPointer>
#include <QVariantMap>

class CLumarestView;
class CMDIFrameWnd;

namespace desktop {

class PlayerWatch;
class MprisPlayerAdaptor;

class MprisService : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kObjectPath = "/org/mpris/MediaPlayer2";
    static constexpr const char* kPlayerInterface = "org.mpris.MediaPlayer2.Player";

    MprisService(const QDBusConnection& bus, PlayerWatch& watch, CMDIFrameWnd& frame,
                 QObject* parent);
    ~MprisService() override;

    // The name held on the bus; empty when the bus gave none.
    const QString& ServiceName() const { return m_name; }

    // org.mpris.MediaPlayer2
    void Raise();
    // org.mpris.MediaPlayer2.Player
    void Play();
    void Pause();
    void PlayPause();
    void Stop();
    void Next();
    void Seek(qlonglong offsetUs);
    void SetPosition(const QDBusObjectPath& trackId, qlonglong positionUs);
    void OpenUri(const QString& uri);
    void SetVolume(double volume);
    void SetRate(double rate);

    QVariantMap Properties() const { return m_sent; }
    qlonglong Position() const;

private:
    void OnChanged();
    void Act(void (*action)(CLumarestView&));
    void SeekTo(qlonglong positionUs);
    QString CurrentTrackId() const;

    QDBusConnection m_bus;
    PlayerWatch& m_watch;
    QPointer<CMDIFrameWnd> m_frame;
    MprisPlayerAdaptor* m_player = nullptr; // child of this
    QString m_name;
    bool m_objectRegistered = false;
    quint64 m_serial = 0; // counts the files loaded, for track ids
    QString m_trackKey;   // which window and file the serial stands for
    QVariantMap m_sent;   // the player properties as last announced
};

} // namespace desktop
