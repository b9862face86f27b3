#pragma once
// One running copy: a start that names files hands them to the copy already
// running on the session bus (org.freedesktop.Application, under the program's
// desktop name) and ends; a start without files brings that copy to the front.
// --new-window starts a copy of its own; so does every start without a bus.
#include <QDBusConnection>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <QWidget>

namespace desktop {

inline constexpr char kApplicationId[] = "com.orvenhal.lumarest";
inline constexpr char kApplicationPath[] = "/com/orvenhal/lumarest";

// What a command line asks of a start.
struct StartRequest {
    QStringList files; // as given, in their order
    bool newWindow = false;
};
StartRequest ParseStart(const QStringList& arguments);

// True when a running copy took the request; the caller then ends. The files go as
// URIs of their absolute paths, so that the copy finds them from its own folder.
bool HandToRunningCopy(const StartRequest& request,
                       const QDBusConnection& bus = QDBusConnection::sessionBus());

// The running copy's side: takes the name when it is free and opens what later
// starts hand over, as File/Open opens them, its main window brought to the front.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    SingleInstance(const QDBusConnection& bus, QWidget& mainWindow, QObject* parent);
    ~SingleInstance() override;

    bool HoldsName() const { return m_holdsName; }
    void Activate(const QVariantMap& platformData);
    void Open(const QStringList& uris, const QVariantMap& platformData);

private:
    QDBusConnection m_bus;
    QPointer<QWidget> m_window;
    bool m_objectRegistered = false;
    bool m_holdsName = false;
};

} // namespace desktop
