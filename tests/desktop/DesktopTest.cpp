// The program on the desktop: files dropped onto the main window, the MPRIS
// service that media keys and the sound menu talk to, the screen-saver inhibit
// while a video plays, and a start without a session bus. The bus tests run
// under dbus-run-session; their client and the fake screen saver use a
// connection of their own, so every call goes through the bus daemon.
#include "AppHarness.h"
#include "LocalHttpServer.h"
#include "MediaFixtures.h"
#include "PlayerViewProbe.h"

#include "app/CLumarestApp.h"
#include "app/CMainFrame.h"
#include "app/SharedState.h"
#include "desktop/CoverArt.h"
#include "desktop/DesktopIntegration.h"
#include "desktop/MprisService.h"
#include "desktop/ScreenSaverInhibitor.h"
#include "desktop/SingleInstance.h"
#include "desktop/WhenShown.h"
#include "platform/framework/DocTemplate.h"
#include "platform/framework/MDIChildWnd.h"
#include "platform/framework/Profile.h"
#include "platform/framework/RecentFileList.h"
#include "platform/framework/StatusBar.h"
#include "player/CLumarestDoc.h"
#include "player/CLumarestView.h"

#include <QApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMdiArea>
#include <QMimeData>
#include <QProcess>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

const QString kMprisName = QStringLiteral("org.mpris.MediaPlayer2.lumarest");
const QString kMprisPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kPlayer = QStringLiteral("org.mpris.MediaPlayer2.Player");

// The amplitude the window's graph plays at, as GStreamer holds it.
double PlaybinVolume(CLumarestView* view) {
    double volume = -1;
    g_object_get(Probe(view).m_pGB->Pipeline(), "volume", &volume, nullptr);
    return volume;
}

QStringList WindowTitles(CMainFrame& frame) {
    QStringList titles;
    for (CMDIChildWnd* child : frame.ChildFrames())
        if (CDocument* doc = child->GetActiveDocument())
            titles << doc->GetTitle();
    return titles;
}

// Drags the URLs over target and lets go, as a file manager's drag does; true
// when the window took the drop.
bool DropUrls(QWidget* target, const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

TEST(DesktopDrop, DroppedFilesOpenInOrderOnTheAreaAndOnEveryChildWindow) {
    QTemporaryDir media;
    const QString a = fixtures::makeMedia(fixtures::Media::Wav, media.path(), "a.wav", 1);
    const QString b = fixtures::makeMedia(fixtures::Media::Wav, media.path(), "b.wav", 1);
    const QString c = fixtures::makeMedia(fixtures::Media::OggVorbis, media.path(), "c.ogg", 1);
    const QString d = fixtures::makeMedia(fixtures::Media::Wav, media.path(), "d.wav", 1);
    QDir(media.path()).mkdir("folder");
    AppHarness h;
    ASSERT_TRUE(h.started());
    desktop::DesktopIntegration desktop(h.frame(), QDBusConnection(QStringLiteral("no bus")));
    EXPECT_EQ(desktop.Mpris(), nullptr);
    EXPECT_EQ(h.frame().windowIcon().availableSizes().size(), 8); // the installed icon's sizes

    // A folder and an address of another scheme alone: refused, nothing opens.
    QWidget* area = h.frame().GetMdiArea()->viewport();
    EXPECT_FALSE(DropUrls(
        area, {QUrl::fromLocalFile(media.path() + "/folder"), QUrl("ftp://example.org/x.wav")}));
    AppHarness::pump(50);
    EXPECT_TRUE(h.frame().ChildFrames().empty());

    // On the MDI area: the file opens and its folder's .wav files are catalogued.
    ASSERT_TRUE(DropUrls(area, {QUrl::fromLocalFile(media.path() + "/folder"),
                                QUrl::fromLocalFile(a), QUrl("ftp://example.org/y.wav")}));
    ASSERT_TRUE(AppHarness::waitFor([&] { return h.frame().ChildFrames().size() == 1; }));
    EXPECT_EQ(h.frame().m_PlayList.CountRecords("FILES"), 3);

    // On the player window just opened: two more windows, in the order dropped.
    CMDIChildWnd* player = h.frame().ChildFrames().front();
    ASSERT_TRUE(
        DropUrls(player->GetActiveView(), {QUrl::fromLocalFile(c), QUrl::fromLocalFile(b)}));
    ASSERT_TRUE(AppHarness::waitFor([&] { return h.frame().ChildFrames().size() == 3; }));
    EXPECT_EQ(WindowTitles(h.frame()), QStringList({"a.wav", "c.ogg", "b.wav"}));
    EXPECT_EQ(h.frame().m_PlayList.CountRecords("FILES"), 4); // c.ogg's folder adds one .ogg

    // On the lines of a play-list window.
    h.frame().OnViewPlayList();
    ASSERT_EQ(h.frame().ChildFrames().size(), 4u);
    QWidget* list = h.frame().ChildFrames().back()->GetActiveView();
    QWidget* lines = list->childAt(list->rect().center());
    ASSERT_TRUE(DropUrls(lines ? lines : list, {QUrl::fromLocalFile(d)}));
    ASSERT_TRUE(AppHarness::waitFor([&] { return h.frame().ChildFrames().size() == 5; }));
    EXPECT_EQ(WindowTitles(h.frame()).back(), "d.wav");
    EXPECT_EQ(h.app().m_pRecentFileList->Paths(), QStringList({d, b, c, a}));

    // A stream's address, as a browser drags it: it plays by its URL, nothing catalogued.
    fixtures::LocalHttpServer server;
    QFile served(a);
    ASSERT_TRUE(served.open(QIODevice::ReadOnly));
    server.serve("/radio/e.wav", served.readAll(), fixtures::LocalHttpServer::Answer::Whole);
    ASSERT_TRUE(DropUrls(area, {QUrl(server.url("/radio/e.wav"))}));
    ASSERT_TRUE(AppHarness::waitFor([&] { return h.frame().ChildFrames().size() == 6; }));
    EXPECT_EQ(WindowTitles(h.frame()).back(), "e.wav");
    EXPECT_EQ(h.app().m_pRecentFileList->Paths().front(), server.url("/radio/e.wav"));
    EXPECT_EQ(h.frame().m_PlayList.CountRecords("FILES"), 4);
    EXPECT_TRUE(h.messages.empty());
}

// A stand-in for the desktop's screen saver that writes down what it is asked.
class FakeScreenSaver : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public:
    explicit FakeScreenSaver(QObject* owner) : QDBusAbstractAdaptor(owner) {}
    QStringList calls;
    uint held = 0;
public slots:
    uint Inhibit(const QString& application, const QString&) {
        calls << QStringLiteral("Inhibit ") + application;
        return ++held + 40;
    }
    void UnInhibit(uint cookie) { calls << QStringLiteral("UnInhibit %1").arg(cookie); }
};

// A client on a connection of its own: its calls travel through the bus daemon
// and the program answers them from the event loop that waits here.
class BusClient {
public:
    BusClient() : m_bus(QDBusConnection::connectToBus(QDBusConnection::SessionBus, "client")) {}
    ~BusClient() { QDBusConnection::disconnectFromBus("client"); }
    QDBusConnection& bus() { return m_bus; }

    QDBusMessage Call(const QString& service, const QString& interface, const QString& method,
                      const QVariantList& args = {}) {
        QDBusMessage call = QDBusMessage::createMethodCall(service, kMprisPath, interface, method);
        call.setArguments(args);
        QDBusPendingCall pending = m_bus.asyncCall(call);
        AppHarness::waitFor([&] { return pending.isFinished(); }, 10000);
        return pending.reply();
    }
    QVariant Get(const QString& name, const QString& service = kMprisName) {
        const QDBusMessage reply =
            Call(service, "org.freedesktop.DBus.Properties", "Get", {kPlayer, name});
        return reply.arguments().isEmpty()
                   ? QVariant()
                   : reply.arguments().front().value<QDBusVariant>().variant();
    }
    QVariantMap Metadata() {
        QVariantMap map;
        Get("Metadata").value<QDBusArgument>() >> map;
        return map;
    }
    void Player(const QString& method, const QString& service = kMprisName) {
        Call(service, kPlayer, method);
    }

private:
    QDBusConnection m_bus;
};

// Writes down the playback states and titles the program announces.
class StatusRecorder : public QObject {
    Q_OBJECT
public:
    QStringList statuses;
    QStringList titles;
    QList<qlonglong> seeks;
public slots:
    void seeked(qlonglong position) { seeks << position; }
    void changed(const QString&, const QVariantMap& properties, const QStringList&) {
        if (properties.contains("PlaybackStatus"))
            statuses << properties.value("PlaybackStatus").toString();
        if (properties.contains("Metadata")) {
            QVariantMap metadata;
            properties.value("Metadata").value<QDBusArgument>() >> metadata;
            titles << metadata.value("xesam:title").toString();
        }
    }
};

bool HasBus() {
    return QDBusConnection::sessionBus().isConnected();
}

// The metadata a service announces now, asked through the bus.
void Get(BusClient& client, const QString& service, QVariantMap& metadata) {
    metadata.clear();
    client.Get("Metadata", service).value<QDBusArgument>() >> metadata;
}

TEST(DesktopBus, MediaKeysDriveAQueueOfThreeAndTheScreenStaysOnWhileTheVideoMoves) {
    if (!HasBus())
        GTEST_SKIP() << "runs under dbus-run-session";
    const bool savedQueueFlag = g_bQueuePlaying;
    QTemporaryDir media;
    QStringList paths;
    for (const char* name : {"one.avi", "two.avi", "three.avi"})
        paths << fixtures::makeMedia(fixtures::Media::AviMjpeg, media.path(), name, 4);
    BusClient client;
    QObject screenSaverObject;
    auto* screenSaver = new FakeScreenSaver(&screenSaverObject);
    ASSERT_TRUE(client.bus().registerObject("/org/freedesktop/ScreenSaver", &screenSaverObject,
                                            QDBusConnection::ExportAdaptors));
    ASSERT_TRUE(client.bus().registerService("org.freedesktop.ScreenSaver"));
    AppHarness h;
    ASSERT_TRUE(h.started());
    desktop::DesktopIntegration desktop(h.frame());
    ASSERT_NE(desktop.Mpris(), nullptr);
    ASSERT_EQ(desktop.Mpris()->ServiceName(), kMprisName);
    EXPECT_TRUE(client.bus().interface()->isServiceRegistered(kMprisName));
    EXPECT_EQ(client.Get("PlaybackStatus").toString(), "Stopped");

    auto* doc =
        dynamic_cast<CLumarestDoc*>(h.app().m_pPlayerTemplate->OpenDocumentFile(QString(), true));
    ASSERT_NE(doc, nullptr);
    doc->m_arrPaths = paths;
    doc->m_arrLines = {0, 1, 2};
    doc->SetTitle(paths[0]);
    doc->StartPlayQueue();
    ASSERT_TRUE(
        AppHarness::waitFor([&] { return client.Get("PlaybackStatus").toString() == "Playing"; }));
    QVariantMap meta = client.Metadata();
    EXPECT_EQ(meta.value("xesam:title").toString(), "one.avi");
    EXPECT_EQ(meta.value("xesam:url").toString(), QUrl::fromLocalFile(paths[0]).toString());
    EXPECT_NEAR(meta.value("mpris:length").toLongLong(), 4000000, 100000);
    EXPECT_TRUE(meta.value("mpris:trackid")
                    .value<QDBusObjectPath>()
                    .path()
                    .startsWith("/org/lumarest/Track/"));
    EXPECT_TRUE(client.Get("CanGoNext").toBool());
    EXPECT_TRUE(AppHarness::waitFor([&] { return screenSaver->calls.size() == 1; }));

    // What the bus asks for, the player does by its own operations, and announces.
    CLumarestView* view = doc->m_pCLumarestView;
    std::vector<int> levels;
    int queueMoves = 0;
    QObject::connect(view, &CLumarestView::levelChanged,
                     [&](int level) { levels.push_back(level); });
    QObject::connect(view, &CLumarestView::queueChanged, [&] { ++queueMoves; });
    StatusRecorder recorder;
    ASSERT_TRUE(client.bus().connect(kMprisName, kMprisPath, kPlayer, "Seeked", &recorder,
                                     SLOT(seeked(qlonglong))));

    client.Player("Pause");
    EXPECT_EQ(client.Get("PlaybackStatus").toString(), "Paused");
    EXPECT_EQ(view->Status(), CLumarestView::PlayStatus::Paused);
    EXPECT_TRUE(AppHarness::waitFor([&] { return screenSaver->calls.size() == 2; }));
    client.Player("Play");
    EXPECT_EQ(client.Get("PlaybackStatus").toString(), "Playing");
    EXPECT_TRUE(AppHarness::waitFor([&] { return screenSaver->calls.size() == 3; }));

    // The sound menu's slider is an amplitude: a quarter is -12 dB, level 88 in the status
    // bar, and the graph plays at a quarter of full amplitude.
    client.Call(kMprisName, "org.freedesktop.DBus.Properties", "Set",
                {kPlayer, QStringLiteral("Volume"), QVariant::fromValue(QDBusVariant(0.25))});
    EXPECT_EQ(levels, std::vector<int>{88}) << "one change of level, not a walk of key presses";
    EXPECT_EQ(h.frame().m_wndStatusBar->GetPaneText(2), " 88");
    EXPECT_NEAR(client.Get("Volume").toDouble(), 0.25, 1e-3);
    EXPECT_NEAR(PlaybinVolume(view), 0.25, 1e-3);
    // M silences the window: the sound menu hears of it, and of the volume coming back.
    QTest::keyClick(view, Qt::Key_M);
    EXPECT_EQ(client.Get("Volume").toDouble(), 0.0);
    EXPECT_EQ(PlaybinVolume(view), 0.0);
    QTest::keyClick(view, Qt::Key_M);
    EXPECT_NEAR(client.Get("Volume").toDouble(), 0.25, 1e-3);

    // A seek back to the track's first second: the medium goes there, and the bus hears where.
    const QDBusObjectPath track = client.Metadata().value("mpris:trackid").value<QDBusObjectPath>();
    client.Call(kMprisName, kPlayer, "SetPosition",
                {QVariant::fromValue(track), QVariant::fromValue(qlonglong{1'000'000})});
    ASSERT_TRUE(AppHarness::waitFor([&] { return !recorder.seeks.isEmpty(); }));
    EXPECT_NEAR(recorder.seeks.front(), 1'000'000, 100'000);
    EXPECT_NEAR(view->PositionUs(), 1'000'000, 600'000);

    // The sound menu's rate is the window's speed, both ways, held to what the window plays.
    EXPECT_EQ(client.Get("MinimumRate").toDouble(), 0.5);
    EXPECT_EQ(client.Get("MaximumRate").toDouble(), 2.0);
    client.Call(kMprisName, "org.freedesktop.DBus.Properties", "Set",
                {kPlayer, QStringLiteral("Rate"), QVariant::fromValue(QDBusVariant(1.5))});
    EXPECT_EQ(view->Speed(), 1.5);
    EXPECT_EQ(client.Get("Rate").toDouble(), 1.5);
    QTest::keyClick(view, Qt::Key_BracketRight);
    EXPECT_EQ(client.Get("Rate").toDouble(), 1.75);
    client.Call(kMprisName, "org.freedesktop.DBus.Properties", "Set",
                {kPlayer, QStringLiteral("Rate"), QVariant::fromValue(QDBusVariant(5.0))});
    EXPECT_EQ(client.Get("Rate").toDouble(), 2.0);

    client.Player("Next");
    EXPECT_TRUE(
        AppHarness::waitFor([&] { return client.Metadata().value("xesam:title") == "two.avi"; }));
    // The window's speed goes on with the next entry.
    double rate = 0;
    EXPECT_EQ(Probe(view).m_pMS->GetRate(&rate), S_OK);
    EXPECT_EQ(rate, 2.0);
    EXPECT_EQ(doc->GetTitle(), paths[1]);
    EXPECT_GE(queueMoves, 1);
    EXPECT_EQ(view->QueueIndex(), 1);
    client.Player("Next");
    EXPECT_TRUE(
        AppHarness::waitFor([&] { return client.Metadata().value("xesam:title") == "three.avi"; }));
    EXPECT_FALSE(client.Get("CanGoNext").toBool());
    const QString lastTrack =
        client.Metadata().value("mpris:trackid").value<QDBusObjectPath>().path();
    EXPECT_NE(lastTrack, meta.value("mpris:trackid").value<QDBusObjectPath>().path());

    // The last entry ends by itself: stopped, and the screen may blank again.
    EXPECT_TRUE(AppHarness::waitFor(
        [&] { return client.Get("PlaybackStatus").toString() == "Stopped"; }, 15000));
    EXPECT_TRUE(AppHarness::waitFor([&] { return screenSaver->calls.size() == 4; }));
    EXPECT_EQ(screenSaver->calls, QStringList({"Inhibit Lumarest", "UnInhibit 41",
                                               "Inhibit Lumarest", "UnInhibit 42"}));
    EXPECT_FALSE(desktop.Inhibitor()->Holding());
    g_bQueuePlaying = savedQueueFlag;
}

// The sound menu names the sound and subtitle tracks that play, and follows the keys.
TEST(DesktopBus, TheSoundMenuNamesTheTracksPlaying) {
    if (!HasBus())
        GTEST_SKIP() << "runs under dbus-run-session";
    QTemporaryDir media;
    const QString film = fixtures::makeTrackedFilm(media.path(), "film.mkv", 10);
    ASSERT_FALSE(film.isEmpty());
    BusClient client;
    AppHarness h;
    ASSERT_TRUE(h.started());
    desktop::DesktopIntegration desktop(h.frame());
    auto* doc = dynamic_cast<CLumarestDoc*>(h.app().OpenDocumentFile(film));
    ASSERT_NE(doc, nullptr);
    QString playing;
    const auto tracks = [&] {
        const QVariantMap meta = client.Metadata();
        playing = meta.value("lumarest:soundTrack").toString() + " / " +
                  meta.value("lumarest:subtitleTrack").toString();
        return playing;
    };
    EXPECT_TRUE(AppHarness::waitFor([&] { return tracks() == "English / German"; }))
        << qPrintable(playing);
    CLumarestView* view = doc->m_pCLumarestView;
    for (const auto& [key, expected] :
         {std::pair{Qt::Key_NumberSign, "French \u2013 Notes & Commentary / German"},
          {Qt::Key_J, "French \u2013 Notes & Commentary / Track 2"},
          {Qt::Key_J, "French \u2013 Notes & Commentary / None"}}) {
        QTest::keyClick(view, key);
        EXPECT_TRUE(AppHarness::waitFor([&] { return tracks() == QString::fromUtf8(expected); }))
            << qPrintable(playing);
    }
}

// The program as a user starts it holds the name; a second copy takes an
// instance name and announces its own changes.
TEST(DesktopBus, TheProgramHoldsTheNameAndASecondCopyAnInstanceName) {
    if (!HasBus())
        GTEST_SKIP() << "runs under dbus-run-session";
    QTemporaryDir media;
    const QString tone = fixtures::makeMedia(fixtures::Media::Wav, media.path(), "tone.wav", 20);
    const QString other =
        fixtures::makeMedia(fixtures::Media::OggVorbis, media.path(), "other.ogg", 3);
    BusClient client;
    QProcess program;
    program.setWorkingDirectory(media.path());
    program.start(QStringLiteral(LUMAREST_EXE), {tone});
    ASSERT_TRUE(program.waitForStarted());
    ASSERT_TRUE(AppHarness::waitFor(
        [&] { return client.bus().interface()->isServiceRegistered(kMprisName).value(); }, 10000));
    EXPECT_TRUE(AppHarness::waitFor([&] { return client.Get("PlaybackStatus") == "Playing"; }));
    EXPECT_EQ(client.Metadata().value("xesam:title").toString(), "tone.wav");

    AppHarness h;
    desktop::DesktopIntegration desktop(h.frame());
    const QString instance =
        kMprisName + QStringLiteral(".instance%1").arg(QCoreApplication::applicationPid());
    ASSERT_EQ(desktop.Mpris()->ServiceName(), instance);
    StatusRecorder recorder;
    ASSERT_TRUE(client.bus().connect(instance, kMprisPath, "org.freedesktop.DBus.Properties",
                                     "PropertiesChanged", &recorder,
                                     SLOT(changed(QString, QVariantMap, QStringList))));
    ASSERT_NE(h.app().OpenDocumentFile(other), nullptr);
    EXPECT_TRUE(AppHarness::waitFor([&] { return recorder.statuses.contains("Playing"); }));
    EXPECT_EQ(recorder.titles, QStringList({"other.ogg"}));
    client.Player("Stop", instance);
    EXPECT_TRUE(AppHarness::waitFor([&] { return recorder.statuses.endsWith("Stopped"); }));
    EXPECT_EQ(client.Get("PlaybackStatus").toString(), "Playing"); // the first copy plays on

    program.kill();
    program.waitForFinished();
    EXPECT_TRUE(AppHarness::waitFor(
        [&] { return !client.bus().interface()->isServiceRegistered(kMprisName).value(); }));
}

// What a song's tags say reaches the sound menu (title, artist, album, track, and the cover
// as a file in the cache folder, written once) and the window's tool tip; its window is the
// same sound strip as an untagged file's.
TEST(DesktopBus, TagsAndCoverReachTheSoundMenuAndTheToolTip) {
    if (!HasBus())
        GTEST_SKIP() << "runs under dbus-run-session";
    QTemporaryDir media, other, cache;
    const QString song = fixtures::makeTaggedSong(
        media.path(), "song.mp3", {"Blue Harbour", "The Quays", "Tides", 2, "red"}, 20);
    ASSERT_FALSE(song.isEmpty());
    // The same name elsewhere: the strip's width follows the name.
    const QString plain =
        fixtures::makeMedia(fixtures::Media::Mp3Xing, other.path(), "song.mp3", 20);
    const QByteArray oldCache = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cache.path()));
    AppHarness h;
    desktop::DesktopIntegration desktop(h.frame());
    BusClient client;
    const QString service = desktop.Mpris()->ServiceName();
    ASSERT_NE(h.app().OpenDocumentFile(plain), nullptr);
    ASSERT_TRUE(
        AppHarness::waitFor([&] { return client.Get("PlaybackStatus", service) == "Playing"; }));
    const QSize plainStrip = h.frame().ChildFrames().back()->size();
    ASSERT_NE(h.app().OpenDocumentFile(song), nullptr);
    QVariantMap metadata;
    const auto read = [&] {
        Get(client, service, metadata);
        return metadata.value("xesam:title").toString() == "Blue Harbour";
    };
    ASSERT_TRUE(AppHarness::waitFor(read))
        << metadata.value("xesam:title").toString().toStdString();
    EXPECT_EQ(metadata.value("xesam:artist").toStringList(), QStringList{"The Quays"});
    EXPECT_EQ(metadata.value("xesam:album").toString(), "Tides");
    EXPECT_EQ(metadata.value("xesam:trackNumber").toInt(), 2);
    const QUrl art(metadata.value("mpris:artUrl").toString());
    ASSERT_TRUE(art.isLocalFile()) << art.toString().toStdString();
    EXPECT_TRUE(art.toLocalFile().startsWith(cache.path()));
    const QImage cover(art.toLocalFile());
    EXPECT_EQ(cover.size(), QSize(64, 48));

    CMDIChildWnd* window = h.frame().ChildFrames().back();
    EXPECT_EQ(window->GetActiveView()->toolTip(), QStringLiteral("The Quays \u2013 Blue Harbour"));
    EXPECT_EQ(window->size(), plainStrip);
    EXPECT_EQ(h.frame().ChildFrames().front()->GetActiveView()->toolTip(), "");
    if (oldCache.isNull())
        qunsetenv("XDG_CACHE_HOME");
    else
        qputenv("XDG_CACHE_HOME", oldCache);
}

// A cover is written once, named by its content, and never half.
TEST(DesktopCover, IsWrittenOnceByItsContent) {
    QTemporaryDir cache;
    const QByteArray red("\x89PNG red picture"), blue("\x89PNG blue picture");
    EXPECT_EQ(desktop::CoverArtUrl({}, "image/png", cache.path()), "");
    const QUrl first(desktop::CoverArtUrl(red, "image/png", cache.path()));
    ASSERT_TRUE(first.isLocalFile());
    EXPECT_TRUE(first.toLocalFile().endsWith(".png"));
    QFile written(first.toLocalFile());
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), red);
    const QDateTime made = QFileInfo(written).lastModified();
    QTest::qWait(20);
    EXPECT_EQ(QUrl(desktop::CoverArtUrl(red, "image/png", cache.path())), first);
    EXPECT_EQ(QFileInfo(written).lastModified(), made) << "written again";
    const QUrl second(desktop::CoverArtUrl(blue, "image/jpeg", cache.path()));
    EXPECT_NE(second, first);
    EXPECT_TRUE(second.toLocalFile().endsWith(".jpg"));
    EXPECT_EQ(QDir(cache.path() + "/covers").entryList(QDir::Files).size(), 2);
}

bool Started(QProcess& p, const QString& folder, const QStringList& args,
             const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    p.setWorkingDirectory(folder);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(LUMAREST_EXE), args);
    return p.waitForStarted();
}

// A start hands over only to the copy whose catalogue it would open, the copy started in the
// same folder: there it hands its file over and ends, and a start without files brings that
// copy forward. A start elsewhere makes a copy of its own, with its own catalogue. A start from
// a home folder that keeps no catalogue ("Open with") goes to the one copy running, wherever it
// started. --new-window always makes a copy of its own.
TEST(DesktopBus, AStartHandsOverOnlyToTheCopyOfItsCatalogueFolder) {
    if (!HasBus())
        GTEST_SKIP() << "runs under dbus-run-session";
    QTemporaryDir folderA, folderB, home;
    const QString a = folderA.path(), b = folderB.path();
    const QString tone = fixtures::makeMedia(fixtures::Media::Wav, a, "tone.wav", 20);
    ASSERT_FALSE(fixtures::makeMedia(fixtures::Media::OggVorbis, a, "other.ogg", 20).isEmpty());
    ASSERT_FALSE(fixtures::makeMedia(fixtures::Media::Wav, b, "film.wav", 20).isEmpty());
    BusClient client;
    const auto titled = [&](const char* title) {
        return AppHarness::waitFor(
            [&] { return client.Metadata().value("xesam:title").toString() == title; });
    };
    QProcess first;
    ASSERT_TRUE(Started(first, a, {tone}));
    ASSERT_TRUE(
        AppHarness::waitFor([&] { return client.Get("PlaybackStatus") == "Playing"; }, 10000));

    QProcess second; // from the folder, the file named as a file manager's terminal would
    ASSERT_TRUE(Started(second, a, {"other.ogg"}));
    ASSERT_TRUE(second.waitForFinished(10000)) << "the second start went on by itself";
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(titled("other.ogg")) << "the running copy did not open the file";

    QProcess inB; // another folder: a copy of its own, its own catalogue and profile entry
    ASSERT_TRUE(Started(inB, b, {"film.wav"}));
    EXPECT_FALSE(inB.waitForFinished(1500)) << "the start in another folder handed over";
    EXPECT_TRUE(AppHarness::waitFor([&] { return QFileInfo::exists(b + "/Lumarest.mdb"); }));
    EXPECT_EQ(CProfile("Orvenhal", "Lumarest").GetString("Directories", "Dir_exe"), b);
    for (const QString& folder : {a, b}) { // no file: the folder's copy comes forward
        QProcess nothing;
        ASSERT_TRUE(Started(nothing, folder, {}));
        ASSERT_TRUE(nothing.waitForFinished(10000)) << folder.toStdString();
    }
    inB.kill();
    inB.waitForFinished();

    QProcessEnvironment atHome = QProcessEnvironment::systemEnvironment();
    atHome.insert("HOME", home.path());
    QProcess openWith;
    ASSERT_TRUE(Started(openWith, home.path(), {tone}, atHome));
    ASSERT_TRUE(openWith.waitForFinished(10000)) << "\"Open with\" made a copy of its own";
    EXPECT_TRUE(titled("tone.wav"));
    EXPECT_FALSE(QFileInfo::exists(home.path() + "/Lumarest.mdb"));

    QProcess own;
    ASSERT_TRUE(Started(own, a, {"--new-window", "other.ogg"}));
    const QString ownMpris = kMprisName + QStringLiteral(".instance%1").arg(own.processId());
    EXPECT_TRUE(AppHarness::waitFor(
        [&] { return client.bus().interface()->isServiceRegistered(ownMpris).value(); }, 10000))
        << "--new-window made no copy of its own";
    for (QProcess* p : {&own, &first}) {
        p->kill();
        p->waitForFinished();
    }
}

// Two starts at the same moment in one folder: one copy stays and opens both files; the other
// hands its file over and ends. Every file named opens in its order, on a start of its own
// (with or without --new-window) as handed to a running copy; a bad name is reported.
TEST(DesktopBus, StartsAtOnceMakeOneCopyAndEveryFileNamedOpens) {
    if (!HasBus())
        GTEST_SKIP() << "runs under dbus-run-session";
    QTemporaryDir work;
    const QString a = fixtures::makeMedia(fixtures::Media::Wav, work.path(), "a.wav", 20);
    const QString b = fixtures::makeMedia(fixtures::Media::OggVorbis, work.path(), "b.ogg", 20);
    BusClient client;
    QProcess one, two;
    ASSERT_TRUE(Started(one, work.path(), {a}) && Started(two, work.path(), {b}));
    ASSERT_TRUE(AppHarness::waitFor(
        [&] { return one.state() == QProcess::NotRunning || two.state() == QProcess::NotRunning; },
        10000))
        << "both starts made a copy of their own";
    QProcess& stays = one.state() == QProcess::Running ? one : two;
    EXPECT_FALSE(stays.waitForFinished(1000)) << "no copy stayed";
    const auto recent = [] {
        const CProfile profile("Orvenhal", "Lumarest");
        return QSet<QString>{profile.GetString("Recent File List", "File1"),
                             profile.GetString("Recent File List", "File2")};
    };
    EXPECT_TRUE(AppHarness::waitFor([&] { return recent() == QSet<QString>{a, b}; }));
    stays.kill();
    stays.waitForFinished();

    const QStringList names = {"b.ogg", "missing.avi", "a.wav"};
    const QString report = QStringLiteral("Cannot open the file \"%1/missing.avi\".")
                               .arg(QFileInfo(a).canonicalPath());
    AppHarness h(QStringList({"--new-window"}) + names, work.path());
    EXPECT_EQ(WindowTitles(h.frame()), QStringList({"b.ogg", "a.wav"}));
    EXPECT_EQ(h.messageTexts(), QStringList({report}));
    desktop::SingleInstance instance(QDBusConnection::sessionBus(), h.dir());
    ASSERT_FALSE(instance.HandOver(CCommandLineInfo()));
    instance.Serve(h.frame());
    h.app().CloseAllDocuments(true);
    QProcess handing;
    ASSERT_TRUE(Started(handing, work.path(), names));
    ASSERT_TRUE(AppHarness::waitFor([&] { return h.frame().ChildFrames().size() == 2; }));
    EXPECT_EQ(WindowTitles(h.frame()), QStringList({"b.ogg", "a.wav"}));
    EXPECT_EQ(h.messageTexts(), QStringList({report, report}));
    EXPECT_TRUE(handing.waitForFinished(1000) && handing.exitCode() == 0);
}

// A catalogue folder's name on the bus, whichever way the folder is spelled.
TEST(DesktopStart, EachCatalogueFolderHasANameOfItsOwn) {
    QTemporaryDir root;
    ASSERT_TRUE(QDir(root.path()).mkpath("a") && QDir(root.path()).mkpath("b"));
    const QString name = desktop::BusNameFor(root.path() + "/a");
    EXPECT_EQ(desktop::BusNameFor(root.path() + "/b/../a/"), name);
    EXPECT_NE(desktop::BusNameFor(root.path() + "/b"), name);
}

// The desktop's services come up after the main window's first paint; a window never shown
// gets them all the same a moment later.
TEST(DesktopStart, ComesUpOnceTheWindowIsShown) {
    using namespace std::chrono_literals;
    // With a latest time no test waits for, only the window's exposure can run the work.
    QWidget shown;
    shown.resize(200, 100);
    shown.show();
    bool ran = false;
    desktop::WhenShown(
        shown, [&] { ran = true; }, 1h);
    EXPECT_FALSE(ran); // never before the event loop has painted the window
    EXPECT_TRUE(AppHarness::waitFor([&] { return ran; }, 3000));

    QWidget hidden;
    hidden.winId();
    bool early = false;
    desktop::WhenShown(
        hidden, [&] { early = true; }, 1h);
    QWidget alsoHidden;
    alsoHidden.winId();
    bool late = false;
    desktop::WhenShown(
        alsoHidden, [&] { late = true; }, 50ms);
    EXPECT_TRUE(AppHarness::waitFor([&] { return late; }, 3000));
    EXPECT_FALSE(early) << "a window never shown ran the work before its latest time";
}

// Without a session bus the program starts as before, and says nothing about it.
TEST(DesktopNoBus, TheProgramStartsAndStaysQuiet) {
    ASSERT_FALSE(HasBus());
    QTemporaryDir work;
    QProcess program;
    program.setWorkingDirectory(work.path());
    program.start(QStringLiteral(LUMAREST_EXE), {});
    ASSERT_TRUE(program.waitForStarted());
    // Up, with its catalogue made, and still running a moment later.
    EXPECT_TRUE(AppHarness::waitFor(
        [&] { return QFileInfo::exists(work.path() + "/Lumarest.mdb"); }, 15000));
    EXPECT_FALSE(program.waitForFinished(500));
    // A second start has no copy to hand its file to: it runs by itself.
    QProcess second;
    second.setWorkingDirectory(work.path());
    second.start(QStringLiteral(LUMAREST_EXE), {"nothing.avi"});
    ASSERT_TRUE(second.waitForStarted());
    EXPECT_FALSE(second.waitForFinished(1500));
    second.kill();
    second.waitForFinished();
    program.kill();
    program.waitForFinished();
    const QString said = QString::fromLocal8Bit(program.readAllStandardError());
    for (const char* word : {"bus", "mpris", "screensaver"})
        EXPECT_FALSE(said.contains(QLatin1String(word), Qt::CaseInsensitive)) << said.toStdString();

    AppHarness h;
    desktop::DesktopIntegration desktop(h.frame());
    EXPECT_EQ(desktop.Mpris(), nullptr);
    EXPECT_EQ(desktop.Inhibitor(), nullptr);
}

} // namespace

#include "DesktopTest.moc"
