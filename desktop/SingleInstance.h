#pragma once
// One running copy per catalogue: each copy holds a name on the session bus made
// from its start folder (where its Lumarest.mdb lives), org.freedesktop.Application
// under it. A start takes its folder's name before it makes any window; where the
// name is held already, it hands its files to that copy (a start without files
// brings it to the front) and ends. A start from the home folder that has no
// catalogue there (a file manager's "Open with", a menu entry) joins the copy
// running elsewhere when exactly one runs. --new-window starts a copy of its own;
// so does every start without a bus.
#include <QDBusConnection>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <QWidget>

struct CCommandLineInfo;

namespace desktop {

inline constexpr char kApplicationId[] = "com.orvenhal.lumarest";
inline constexpr char kApplicationPath[] = "/com/orvenhal/lumarest";

// The bus name of the copy whose catalogue lives in folder: the same for every
// spelling of the folder (links, "..", a trailing slash).
QString BusNameFor(const QString& folder);

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // folder: the start folder, where this copy's catalogue is.
    SingleInstance(const QDBusConnection& bus, const QString& folder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when a running copy took the start; the caller then ends. Otherwise this
    // copy holds its folder's name where it was free.
    bool HandOver(const CCommandLineInfo& commandLine);
    // From here on what later starts hand over is opened as File/Open opens it, the
    // window brought to the front; files handed over before are opened now.
    void Serve(QWidget& mainWindow);

    QString Name() const { return m_name; }
    bool HoldsName() const { return m_holdsName; }
    void Activate(const QVariantMap& platformData);
    void Open(const QStringList& uris, const QVariantMap& platformData);

private:
    enum class Sent { Taken, NoCopy, Failed };
    bool Take();
    Sent Send(const QString& name, const QStringList& files) const;
    QString CopyForAStartFromHome() const;

    QDBusConnection m_bus;
    QString m_folder;
    QString m_name;
    QPointer<QWidget> m_window;
    QStringList m_waiting; // handed over before the window was served
    bool m_objectRegistered = false;
    bool m_holdsName = false;
};

} // namespace desktop
