// Starting a stream never holds the event loop up for long: the longest gap between the
// beats of a 5 ms timer while a stream starts against a local server that answers slowly
// (the medium trickled in over a few seconds, or headers and then nothing until the limit).
#include "BenchSupport.h"
#include "LocalHttpServer.h"
#include "MediaFixtures.h"

#include "platform/media/FilterGraph.h"
#include "platform/media/StreamReach.h"
#include "platform/media/WhileStarting.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

constexpr int kRounds = 5;
constexpr double kTargetMs = 50;

// The longest gap, in ms, between beats while url starts; the pump runs as the program's does.
double LongestStall(const QString& url) {
    std::shared_ptr<IGraphBuilder> graph;
    if (FAILED(CoCreateFilterGraph(graph)) || !graph)
        return -1;
    QElapsedTimer gap;
    qint64 longest = 0;
    QTimer beat;
    QObject::connect(&beat, &QTimer::timeout, [&] { longest = std::max(longest, gap.restart()); });
    const media::WhileStarting pump(
        [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); });
    gap.start();
    beat.start(5);
    graph->RenderFile(url.toStdWString());
    QCoreApplication::processEvents();
    return static_cast<double>(std::max(longest, gap.elapsed()));
}

TEST(BenchStreamStart, LongestEventLoopStall) {
    QTemporaryDir media;
    const QString tone = fixtures::makeMedia(fixtures::Media::OggVorbis, media.path(),
                                             QStringLiteral("tone.ogg"), 5);
    QFile file(tone);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    fixtures::LocalHttpServer server;
    ASSERT_TRUE(server.listening());
    const QByteArray body = file.readAll();
    server.serve("/trickle", body, fixtures::LocalHttpServer::Answer::Trickle);
    server.serve("/stall", body, fixtures::LocalHttpServer::Answer::Stall);
    media::setStreamStartLimit(std::chrono::seconds(2));

    bench::Samples trickle, stall;
    for (int i = 0; i < kRounds; ++i) {
        trickle.Add(LongestStall(server.url("/trickle")));
        stall.Add(LongestStall(server.url("/stall")));
    }
    std::printf("longest event-loop stall while a stream starts: trickled %.0f ms, "
                "stalled until the limit %.0f ms (worst of %d rounds: %.0f / %.0f ms)\n",
                trickle.Median(), stall.Median(), kRounds, trickle.Max(), stall.Max());
    bench::Target("stream start, longest stall (trickled)", trickle, " ms", kTargetMs, true, 0);
    bench::Target("stream start, longest stall (no answer)", stall, " ms", kTargetMs, true, 0);
    EXPECT_GT(server.requests(), 0);
}

} // namespace
