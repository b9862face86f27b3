#include "desktop/SingleInstance.h"

#include "desktop/FileDrop.h"
#include "desktop/WindowFront.h"

#include <QDBusAbstractAdaptor>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QFileInfo>
#include <QTimer>
#include <QUrl>

namespace desktop {
namespace {

const QString kInterface = QStringLiteral("org.freedesktop.Application");
constexpr int kHandOverTimeoutMs = 5000;

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

} // namespace

StartRequest ParseStart(const QStringList& arguments) {
    StartRequest request;
    bool switchesEnded = false;
    for (const QString& arg : arguments) {
        if (!switchesEnded && arg == QLatin1String("--"))
            switchesEnded = true;
        else if (!switchesEnded && arg == QLatin1String("--new-window"))
            request.newWindow = true;
        else if (switchesEnded || !arg.startsWith(QLatin1Char('-')))
            request.files << arg;
    }
    return request;
}

bool HandToRunningCopy(const StartRequest& request, const QDBusConnection& bus) {
    if (request.newWindow || !bus.isConnected())
        return false;
    QDBusConnectionInterface* daemon = bus.interface();
    const QString name = QString::fromLatin1(kApplicationId);
    if (!daemon || !daemon->isServiceRegistered(name).value())
        return false;
    QDBusMessage call;
    if (request.files.isEmpty()) {
        call = QDBusMessage::createMethodCall(name, QString::fromLatin1(kApplicationPath),
                                              kInterface, QStringLiteral("Activate"));
        call << OwnPlatformData();
    } else {
        QStringList uris;
        for (const QString& file : request.files)
            uris << QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()).toString();
        call = QDBusMessage::createMethodCall(name, QString::fromLatin1(kApplicationPath),
                                              kInterface, QStringLiteral("Open"));
        call << uris << OwnPlatformData();
    }
    // A copy that does not answer in time is left alone: this start goes on by itself.
    const QDBusMessage reply = bus.call(call, QDBus::Block, kHandOverTimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage;
}

SingleInstance::SingleInstance(const QDBusConnection& bus, QWidget& mainWindow, QObject* parent)
    : QObject(parent), m_bus(bus), m_window(&mainWindow) {
    new ApplicationAdaptor(this);
    m_objectRegistered = m_bus.registerObject(QString::fromLatin1(kApplicationPath), this,
                                              QDBusConnection::ExportAdaptors);
    QDBusConnectionInterface* daemon = m_bus.interface();
    if (!m_objectRegistered || !daemon)
        return;
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        daemon->registerService(QString::fromLatin1(kApplicationId),
                                QDBusConnectionInterface::DontQueueService,
                                QDBusConnectionInterface::DontAllowReplacement);
    m_holdsName = reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered;
}

SingleInstance::~SingleInstance() {
    if (m_holdsName)
        m_bus.unregisterService(QString::fromLatin1(kApplicationId));
    if (m_objectRegistered)
        m_bus.unregisterObject(QString::fromLatin1(kApplicationPath));
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
    }
    Activate(platformData);
    QTimer::singleShot(0, this, [paths] { OpenFiles(paths); });
}

} // namespace desktop

#include "SingleInstance.moc"
