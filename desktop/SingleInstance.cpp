#include "desktop/SingleInstance.h"

#include "desktop/FileDrop.h"
#include "desktop/WindowFront.h"
#include "platform/framework/Locations.h"
#include "platform/framework/WinApp.h"

#include <QCryptographicHash>
#include <QDBusAbstractAdaptor>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <QUrl>

#include <utility>

namespace desktop {
namespace {

const QString kInterface = QStringLiteral("org.freedesktop.Application");
// A copy answers from its event loop: one still opening the files of its own start (a slow
// medium, a large folder to catalogue) may take a while. One that never answers is left alone.
constexpr int kHandOverTimeoutMs = 25000;

// What the desktop gave this start to take the focus with, passed on to the copy
// that shows the files.
QVariantMap OwnPlatformData() {
    QVariantMap data;
    const QString x11 = qEnvironmentVariable("DESKTOP_STARTUP_ID");
    const QString wayland = qEnvironmentVariable("XDG_ACTIVATION_TOKEN");
    if (!x11.isEmpty())
        data.insert(QStringLiteral("desktop-startup-id"), x11);
    if (!wayland.isEmpty())
        data.insert(QStringLiteral("activation-token"), wayland);
    return data;
}

QString ActivationToken(const QVariantMap& platformData) {
    return platformData.value(QStringLiteral("activation-token")).toString();
}

class ApplicationAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")
public:
    explicit ApplicationAdaptor(SingleInstance* owner)
        : QDBusAbstractAdaptor(owner), m_owner(owner) {}

public slots:
    void Activate(const QVariantMap& platformData) { m_owner->Activate(platformData); }
    void Open(const QStringList& uris, const QVariantMap& platformData) {
        m_owner->Open(uris, platformData);
    }
    void ActivateAction(const QString&, const QVariantList&, const QVariantMap& platformData) {
        m_owner->Activate(platformData); // no actions: the window comes to the front
    }

private:
    SingleInstance* m_owner;
};

QString CanonicalFolder(const QString& folder) {
    const QFileInfo info(folder);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

QString CopyPrefix() {
    return QString::fromLatin1(kApplicationId) + QLatin1String(".c");
}

} // namespace

QString BusNameFor(const QString& folder) {
    const QByteArray digest =
        QCryptographicHash::hash(CanonicalFolder(folder).toUtf8(), QCryptographicHash::Sha256);
    return CopyPrefix() + QString::fromLatin1(digest.left(8).toHex());
}

SingleInstance::SingleInstance(const QDBusConnection& bus, const QString& folder, QObject* parent)
    : QObject(parent), m_bus(bus), m_folder(folder), m_name(BusNameFor(folder)) {
    new ApplicationAdaptor(this);
    // The object is there before the name is: a start that finds the name can call it.
    m_objectRegistered =
        m_bus.isConnected() && m_bus.registerObject(QString::fromLatin1(kApplicationPath), this,
                                                    QDBusConnection::ExportAdaptors);
}

SingleInstance::~SingleInstance() {
    if (m_holdsName)
        m_bus.unregisterService(m_name);
    if (m_objectRegistered)
        m_bus.unregisterObject(QString::fromLatin1(kApplicationPath));
}

bool SingleInstance::HandOver(const CCommandLineInfo& commandLine) {
    if (!m_objectRegistered)
        return false;
    const bool ownCopy = commandLine.HasSwitch(QStringLiteral("--new-window"));
    if (!ownCopy) {
        const QString elsewhere = CopyForAStartFromHome();
        if (!elsewhere.isEmpty() && Send(elsewhere, commandLine.m_files) == Sent::Taken)
            return true;
    }
    // Taking the name is the test: of two starts at once, exactly one holds it and the
    // other hands over. A copy that went between the two steps leaves the name free again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (Take() || ownCopy)
            return false;
        const Sent sent = Send(m_name, commandLine.m_files);
        if (sent != Sent::NoCopy)
            return sent == Sent::Taken;
    }
    return false;
}

bool SingleInstance::Take() {
    QDBusConnectionInterface* daemon = m_bus.interface();
    if (!daemon)
        return false;
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        daemon->registerService(m_name, QDBusConnectionInterface::DontQueueService,
                                QDBusConnectionInterface::DontAllowReplacement);
    m_holdsName = reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered;
    return m_holdsName;
}

// The files go as URIs of their absolute paths, so that the copy finds them from its own
// folder. The copy answers once it has the request, before it opens anything.
SingleInstance::Sent SingleInstance::Send(const QString& name, const QStringList& files) const {
    const QString path = QString::fromLatin1(kApplicationPath);
    QDBusMessage call;
    if (files.isEmpty()) {
        call = QDBusMessage::createMethodCall(name, path, kInterface, QStringLiteral("Activate"));
        call << OwnPlatformData();
    } else {
        QStringList uris;
        for (const QString& file : files)
            uris << (AfxIsStreamUrl(file) ? file
                                          : QUrl::fromLocalFile(AfxFullPath(file)).toString());
        call = QDBusMessage::createMethodCall(name, path, kInterface, QStringLiteral("Open"));
        call << uris << OwnPlatformData();
    }
    call.setAutoStartService(false);
    const QDBusMessage reply = m_bus.call(call, QDBus::Block, kHandOverTimeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return Sent::Taken;
    const QString error = reply.errorName();
    if (error == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown") ||
        error == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner"))
        return Sent::NoCopy;
    return Sent::Failed; // a copy that does not answer is left alone
}

// The desktop starts programs in the home folder. Where the user keeps no catalogue there,
// such a start means "the player", and goes to the one copy running, wherever it started;
// with none or several running, the start opens the home folder's catalogue, as any start does.
QString SingleInstance::CopyForAStartFromHome() const {
    if (CanonicalFolder(m_folder) != CanonicalFolder(QDir::homePath()) ||
        QFileInfo::exists(QDir(m_folder).filePath(QStringLiteral("Lumarest.mdb"))))
        return {};
    QDBusConnectionInterface* daemon = m_bus.interface();
    if (!daemon)
        return {};
    QStringList copies;
    for (const QString& name : daemon->registeredServiceNames().value())
        if (name.startsWith(CopyPrefix()))
            copies << name;
    return copies.size() == 1 ? copies.front() : QString();
}

void SingleInstance::Serve(QWidget& mainWindow) {
    m_window = &mainWindow;
    if (!m_waiting.isEmpty())
        QTimer::singleShot(0, this, [paths = std::exchange(m_waiting, {})] { OpenFiles(paths); });
}

void SingleInstance::Activate(const QVariantMap& platformData) {
    if (m_window)
        BringToFront(*m_window, ActivationToken(platformData));
}

// The caller has its answer at once: opening a file may wait for its medium, or ask
// the user something, long after the call would have timed out.
void SingleInstance::Open(const QStringList& uris, const QVariantMap& platformData) {
    QStringList paths;
    for (const QString& uri : uris) {
        const QUrl url(uri);
        if (url.isLocalFile())
            paths << url.toLocalFile();
        else if (AfxIsStreamUrl(uri))
            paths << uri; // a stream opens by its URL
    }
    if (!m_window) { // still starting: its window opens them once it is there
        m_waiting << paths;
        return;
    }
    Activate(platformData);
    QTimer::singleShot(0, this, [paths] { OpenFiles(paths); });
}

} // namespace desktop

#include "SingleInstance.moc"
