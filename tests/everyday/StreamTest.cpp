// Streams from the network: URLs told from paths, the words of a failure, and File/Open
// Location against a server of the test's own on 127.0.0.1 that serves a medium whole,
// without a length, too slowly, broken off, or not at all.
#include "LocalHttpServer.h"
#include "MediaFixtures.h"
#include "PlayerTestSupport.h"
#include "PlayerViewProbe.h"

#include "app/CLumarestApp.h"
#include "app/CMainFrame.h"
#include "app/SharedState.h"
#include "platform/framework/DocTemplate.h"
#include "platform/framework/Locations.h"
#include "platform/framework/Profile.h"
#include "platform/framework/RecentFileList.h"
#include "platform/media/BuildPace.h"
#include "platform/media/StreamReach.h"
#include "player/CLumarestDoc.h"
#include "player/CLumarestView.h"
#include "player/PlayerTexts.h"
#include "player/QueueAdvance.h"
#include "res/Resource.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTimer>
#include <gtest/gtest.h>

using fixtures::LocalHttpServer;
using media::StreamFault;
using Answer = LocalHttpServer::Answer;

namespace {

TEST(StreamLocations, UrlsKeptWholeNamedByTheirLastPartAndFailuresInWords) {
    struct Row {
        QString given;
        bool stream;
        QString full, name; // what the document and recent files keep; the window's title
    };
    const QString here = QDir::currentPath();
    const std::vector<Row> rows = {
        {"http://127.0.0.1:80/radio/a.ogg", true, "http://127.0.0.1:80/radio/a.ogg", "a.ogg"},
        {"HTTPS://example.org/b%20c.mp3?x=1", true, "HTTPS://example.org/b%20c.mp3?x=1", "b c.mp3"},
        {"rtsp://cam.local:8554/live", true, "rtsp://cam.local:8554/live", "live"},
        {"http://example.org/", true, "http://example.org/", "example.org"},
        {"file:///tmp/x%20y.ogg", false, "/tmp/x y.ogg", "x y.ogg"},
        {"tone.ogg", false, here + "/tone.ogg", "tone.ogg"},
        {"http:tone.ogg", false, here + "/http:tone.ogg", "http:tone.ogg"},
        {"ftp://example.org/a.ogg", false, here + "/ftp:/example.org/a.ogg", "a.ogg"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.given.toStdString());
        EXPECT_EQ(AfxIsStreamUrl(row.given), row.stream);
        EXPECT_EQ(media::isStreamUri(row.given.toStdWString()), row.stream);
        EXPECT_EQ(AfxFullPath(row.given), row.full);
        EXPECT_EQ(AfxDisplayName(AfxFullPath(row.given)), row.name);
    }
    const std::vector<std::pair<media::StreamFailure, QString>> words = {
        {{StreamFault::ConnectionRefused, 0}, "connection refused"},
        {{StreamFault::HostNotFound, 0}, "host not found"},
        {{StreamFault::TimedOut, 0}, "timed out"},
        {{StreamFault::NotFound, 404}, "not found"},
        {{StreamFault::Denied, 403}, "access denied"},
        {{StreamFault::ServerError, 503}, "the server answered 503"},
        {{StreamFault::ConnectionLost, 0}, "connection lost"},
        {{StreamFault::NotPlayable, 200}, "nothing in it can be played"},
    };
    for (const auto& [failure, reason] : words)
        EXPECT_EQ(StreamRefusedText("http://h/x", failure), "Cannot open http://h/x: " + reason);
    // The server's answer first, then the limit, then where the error came from.
    EXPECT_EQ(media::faultOfPreroll(404, true, true), StreamFault::NotFound);
    EXPECT_EQ(media::faultOfPreroll(401, false, false), StreamFault::Denied);
    EXPECT_EQ(media::faultOfPreroll(500, false, false), StreamFault::ServerError);
    EXPECT_EQ(media::faultOfPreroll(200, true, true), StreamFault::TimedOut);
    EXPECT_EQ(media::faultOfPreroll(200, true, false), StreamFault::ConnectionLost);
    EXPECT_EQ(media::faultOfPreroll(0, false, false), StreamFault::NotPlayable);
    // No length ends nothing: the seconds are counted until the stream ends.
    EXPECT_EQ(LiveTimeText(75), " Time:  75 sec");
    TickInput live;
    live.playing = live.hasFocus = live.live = true;
    live.elapsed = 700;
    EXPECT_EQ(NextTick(live).elapsed, 701);
    EXPECT_EQ(NextTick(live).action, TickAction::ShowTime);
    live.ended = true;
    EXPECT_EQ(NextTick(live).action, TickAction::EndQueue);
}

class Streams : public playertest::PlayerTest {
protected:
    void SetUp() override {
        PlayerTest::SetUp();
        g_bImportOnOpen = true; // as a user has it: a stream still catalogues nothing
        ASSERT_TRUE(server.listening());
        const QString tone = fixtures::makeMedia(fixtures::Media::OggVorbis, media.path(),
                                                 QStringLiteral("tone.ogg"), 3);
        QFile file(tone);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray body = file.readAll();
        server.serve("/media/tone.ogg", body, Answer::Whole);
        server.serve("/live/radio", body, Answer::Trickle);
        server.serve("/slow/tone.ogg", body, Answer::Stall);
        server.serve("/broken/tone.ogg", body, Answer::Broken);
    }
    void TearDown() override {
        media::setStreamStartLimit(std::chrono::seconds(20));
        PlayerTest::TearDown();
    }
    void openLocation(const QString& url) {
        harness->app().SetLocationAsker([url] { return url; });
        harness->frame().SendCommand(ID_FILE_OPENLOCATION);
    }
    std::vector<CLumarestDoc*> players() {
        std::vector<CLumarestDoc*> docs;
        for (const auto& doc : harness->app().m_pPlayerTemplate->Documents())
            docs.push_back(dynamic_cast<CLumarestDoc*>(doc.get()));
        return docs;
    }
    int catalogued() { return harness->frame().m_PlayList.CountRecords("FILES"); }
    // Opens url, which cannot start, and tells how long the report took.
    qint64 refusedWithin(const QString& url, const QString& reason) {
        const size_t before = harness->messages.size();
        QElapsedTimer clock;
        clock.start();
        openLocation(url);
        const qint64 took = clock.elapsed();
        EXPECT_EQ(harness->messages.size(), before + 1);
        EXPECT_EQ(harness->messageTexts().value(static_cast<int>(before)),
                  "Cannot open " + url + ": " + reason);
        AppHarness::pump(50); // a closing put off to the next turn is done
        EXPECT_TRUE(players().empty()) << "no window left half made";
        return took;
    }

    QTemporaryDir media;
    LocalHttpServer server;
};

TEST_F(Streams, ServedFilePlaysTitledAndRememberedNotCatalogued) {
    const QString url = server.url("/media/tone.ogg");
    openLocation(url);
    ASSERT_EQ(players().size(), 1u) << harness->messageTexts().join('|').toStdString();
    CLumarestDoc* doc = players().front();
    CLumarestView* view = doc->m_pCLumarestView;
    ASSERT_TRUE(view && view->HasGraph());
    EXPECT_EQ(view->File(), url);
    EXPECT_EQ(doc->GetPathName(), url);
    EXPECT_EQ(doc->GetTitle(), "tone.ogg");
    EXPECT_FALSE(view->IsLive()) << "its length is known";
    EXPECT_TRUE(AppHarness::waitFor([&] { return view->PositionUs() > 300'000; }, 5000));
    EXPECT_EQ(catalogued(), 0);
    // Kept whole in the recent-file list, as written to the profile and read back.
    CRecentFileList reread(*harness->app().Profile(), "Recent File List", "File%1", 16);
    reread.ReadList();
    EXPECT_EQ(reread[0], url);
    // Opened again, by the list or the command line, it is the same window.
    EXPECT_EQ(harness->app().OpenDocumentFile(url), doc);
    EXPECT_EQ(players().size(), 1u);
}

TEST_F(Streams, LiveStreamShowsElapsedTimeOnly) {
    openLocation(server.url("/live/radio"));
    ASSERT_EQ(players().size(), 1u);
    CLumarestView* view = players().front()->m_pCLumarestView;
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(view->HasGraph());
    EXPECT_EQ(players().front()->GetTitle(), "radio");
    EXPECT_TRUE(view->IsLive());
    focus(view);
    view->OnTimer(CLumarestView::kTickTimer);
    view->OnTimer(CLumarestView::kTickTimer);
    EXPECT_TRUE(QRegularExpression(R"(^ Time:  \d+ sec$)").match(pane(0)).hasMatch())
        << pane(0).toStdString();
    EXPECT_EQ(Probe(view).m_wndSlider, nullptr) << "nothing to position in";
    // A broadcast names each song as it comes: the window takes the name.
    GstTagList* tags = gst_tag_list_new(GST_TAG_TITLE, "Night Air", nullptr);
    GstElement* pipeline = Probe(view).m_pGB->Pipeline();
    gst_element_post_message(pipeline, gst_message_new_tag(GST_OBJECT(pipeline), tags));
    EXPECT_TRUE(AppHarness::waitFor([&] { return players().front()->GetTitle() == "Night Air"; }));
}

TEST_F(Streams, FailuresReportedInWordsWithinTheLimitAndTheProgramGoesOn) {
    // The program stretches the limit itself in a slow build.
    media::setStreamStartLimit(std::chrono::milliseconds(2000));
    const qint64 limit = 2000 * media::kBuildPace;
    const QString refused =
        QStringLiteral("http://127.0.0.1:%1/tone.ogg").arg(LocalHttpServer::closedPort());
    EXPECT_LT(refusedWithin(refused, "connection refused"), limit);
    EXPECT_LT(refusedWithin(server.url("/missing.ogg"), "not found"), limit + 500);
    // Meanwhile the event loop turns: a 5 ms timer is never held up for long.
    QElapsedTimer gap;
    qint64 longestGap = 0;
    QTimer beat;
    QObject::connect(&beat, &QTimer::timeout,
                     [&] { longestGap = std::max(longestGap, gap.restart()); });
    gap.start();
    beat.start(5);
    // The window on its way takes no commands until its stream plays.
    bool held = false;
    QTimer::singleShot(limit / 2,
                       [&] { held = !harness->frame().QueryCommand(ID_PLAYER_PAUSE).m_bEnabled; });
    const qint64 slow = refusedWithin(server.url("/slow/tone.ogg"), "timed out");
    beat.stop();
    EXPECT_TRUE(held);
    EXPECT_LT(longestGap, testtime::scaled(100));
    EXPECT_GE(slow, limit - 100);
    EXPECT_LT(slow, limit + testtime::scaled(1500)) << "no hang past the limit";
    EXPECT_LT(refusedWithin(server.url("/broken/tone.ogg"), "connection lost"),
              limit + testtime::scaled(1500));
    EXPECT_EQ(harness->app().m_pRecentFileList->GetCount(), 0) << "nothing failed is remembered";
    // Not a URL it takes: told so, nothing opens.
    openLocation("ftp://127.0.0.1/tone.ogg");
    EXPECT_EQ(harness->messageTexts().last(),
              "Cannot open ftp://127.0.0.1/tone.ogg: not an http, https, rtsp or file URL");
    // The program is as usable as before: the next stream plays.
    openLocation(server.url("/media/tone.ogg"));
    ASSERT_EQ(players().size(), 1u);
    EXPECT_TRUE(players().front()->m_pCLumarestView->HasGraph());
}

TEST_F(Streams, UrlOnTheCommandLineAndTheTitleTagNamesTheWindow) {
    const QString song =
        fixtures::makeTaggedSong(media.path(), "song.mp3", {"Evening Air", "", "", 0, ""});
    if (song.isEmpty())
        GTEST_SKIP() << "ffmpeg is not installed";
    QFile file(song);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    server.serve("/tagged/song.mp3", file.readAll(), Answer::Whole);
    harness.reset();
    harness = std::make_unique<AppHarness>(QStringList{server.url("/tagged/song.mp3")});
    ASSERT_TRUE(harness->started());
    ASSERT_EQ(players().size(), 1u);
    EXPECT_EQ(players().front()->GetTitle(), "Evening Air");
    EXPECT_EQ(catalogued(), 0);
}

} // namespace
