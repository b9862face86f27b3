// Driving a rendered graph: states, seeking, volume, simulated failures and release.
#include "GraphHelpers.h"
#include "platform/media/GraphFailures.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using fixtures::Media;
using namespace mediatest;

namespace {

constexpr LONGLONG kSecond = 10'000'000;

GstState pipelineState(Graph& graph) {
    GstState state = GST_STATE_VOID_PENDING;
    gst_element_get_state(graph.builder->Pipeline(), &state, nullptr, 3 * GST_SECOND);
    return state;
}

long reportedState(Graph& graph) {
    long state = -1;
    EXPECT_EQ(graph.control->GetState(3000, &state), S_OK);
    return state;
}

LONGLONG positionOf(Graph& graph) {
    long state = 0;
    graph.control->GetState(3000, &state); // a seek completes asynchronously
    LONGLONG position = -1;
    EXPECT_EQ(graph.seeking->GetCurrentPosition(&position), S_OK);
    return position;
}

TEST(MediaControl, RunPauseStopMoveThePipeline) {
    Graph graph = renderGraph(MediaFolder::instance().path(Media::OggTheora));
    ASSERT_EQ(graph.rendered, S_OK);
    EXPECT_EQ(reportedState(graph), State_Paused); // rendered graphs wait on their first frame

    ASSERT_EQ(graph.control->Run(), S_OK);
    EXPECT_EQ(reportedState(graph), State_Running);
    EXPECT_EQ(pipelineState(graph), GST_STATE_PLAYING);

    ASSERT_EQ(graph.control->Pause(), S_OK);
    EXPECT_EQ(reportedState(graph), State_Paused);
    EXPECT_EQ(pipelineState(graph), GST_STATE_PAUSED);

    ASSERT_EQ(graph.control->Run(), S_OK);
    spin(300);
    ASSERT_EQ(graph.control->Stop(), S_OK);
    EXPECT_EQ(reportedState(graph), State_Stopped);
    const LONGLONG stoppedAt = positionOf(graph);
    EXPECT_GT(stoppedAt, 0); // a stopped graph keeps its place until it is sought
    spin(200);
    EXPECT_EQ(positionOf(graph), stoppedAt);
}

TEST(MediaSeeking, AbsoluteSeekLandsExactly) {
    for (Media kind : {Media::Wav, Media::WebmVp8}) {
        Graph graph = renderGraph(MediaFolder::instance().path(kind));
        ASSERT_EQ(graph.rendered, S_OK);
        LONGLONG target = 2 * kSecond + kSecond / 5;
        ASSERT_EQ(graph.seeking->SetPositions(&target, AM_SEEKING_AbsolutePositioning, nullptr,
                                              AM_SEEKING_NoPositioning),
                  S_OK);
        EXPECT_NEAR(positionOf(graph), target, kSecond / 100);

        ASSERT_EQ(graph.control->Run(), S_OK);
        spin(200);
        LONGLONG start = 0;
        ASSERT_EQ(graph.seeking->SetPositions(&start, AM_SEEKING_AbsolutePositioning, nullptr,
                                              AM_SEEKING_NoPositioning),
                  S_OK);
        EXPECT_LT(positionOf(graph), kSecond / 2); // back at the start, running on
    }
}

TEST(MediaSeeking, RestartAfterTheEndPlaysAgain) {
    QTemporaryDir dir;
    Graph graph = renderGraph(fixtures::makeMedia(Media::Wav, dir.path(), "short.wav", 1));
    ASSERT_EQ(graph.rendered, S_OK);
    ASSERT_EQ(graph.control->Run(), S_OK);
    spin(1300); // past the end: the pipeline sits at its end of stream
    EXPECT_NEAR(positionOf(graph), kSecond, kSecond / 20);
    ASSERT_EQ(graph.control->Stop(), S_OK);

    LONGLONG start = 0;
    ASSERT_EQ(graph.seeking->SetPositions(&start, AM_SEEKING_AbsolutePositioning, nullptr,
                                          AM_SEEKING_NoPositioning),
              S_OK);
    ASSERT_EQ(graph.control->Run(), S_OK);
    spin(400);
    const LONGLONG position = positionOf(graph);
    EXPECT_GT(position, kSecond / 5);
    EXPECT_LT(position, kSecond * 9 / 10);
}

TEST(BasicAudio, HundredthsOfDecibelsToLinearVolume) {
    Graph graph = renderGraph(MediaFolder::instance().path(Media::OggVorbis));
    ASSERT_EQ(graph.rendered, S_OK);
    const auto linear = [&graph] {
        gdouble value = -1;
        g_object_get(graph.builder->Pipeline(), "volume", &value, nullptr);
        return value;
    };
    long volume = 1;
    EXPECT_EQ(graph.audio->get_Volume(&volume), S_OK);
    EXPECT_EQ(volume, 0);
    EXPECT_DOUBLE_EQ(linear(), 1.0);

    ASSERT_EQ(graph.audio->put_Volume(-2000), S_OK);
    EXPECT_NEAR(linear(), 0.1, 1e-6); // playbin keeps a float
    ASSERT_EQ(graph.audio->put_Volume(-600), S_OK);
    EXPECT_NEAR(linear(), 0.5012, 1e-4);
    EXPECT_EQ(graph.audio->get_Volume(&volume), S_OK);
    EXPECT_EQ(volume, -600);

    ASSERT_EQ(graph.audio->put_Volume(-10000), S_OK);
    EXPECT_EQ(linear(), 0.0); // silence, not a whisper
    EXPECT_EQ(graph.audio->get_Volume(&volume), S_OK);
    EXPECT_EQ(volume, -10000);

    EXPECT_EQ(graph.audio->put_Volume(1), E_INVALIDARG);
    EXPECT_EQ(graph.audio->put_Volume(-10001), E_INVALIDARG);
    EXPECT_EQ(graph.audio->get_Volume(&volume), S_OK);
    EXPECT_EQ(volume, -10000);
}

TEST(BasicAudio, VolumeSetBeforeRenderingHolds) {
    std::shared_ptr<IGraphBuilder> builder;
    ASSERT_EQ(CoCreateFilterGraph(builder), S_OK);
    std::shared_ptr<IBasicAudio> audio;
    ASSERT_EQ(builder->QueryInterface(audio), S_OK);
    ASSERT_EQ(audio->put_Volume(-10000), S_OK);
    ASSERT_EQ(builder->RenderFile(MediaFolder::instance().path(Media::Wav).toStdWString()), S_OK);
    gdouble value = -1;
    g_object_get(builder->Pipeline(), "volume", &value, nullptr);
    EXPECT_EQ(value, 0.0);
}

TEST(FilterGraph, LastFacetReleasedEndsThePipeline) {
    Graph graph = renderGraph(MediaFolder::instance().path(Media::Mp4H264));
    ASSERT_EQ(graph.rendered, S_OK);
    ASSERT_EQ(graph.control->Run(), S_OK);
    spin(200); // bus messages are on their way to the event loop

    GWeakRef playbin;
    g_weak_ref_init(&playbin, graph.builder->Pipeline());
    std::shared_ptr<IMediaSeeking> kept = graph.seeking;
    graph.release();
    GstElement* alive = static_cast<GstElement*>(g_weak_ref_get(&playbin));
    ASSERT_NE(alive, nullptr); // one facet keeps the whole graph
    gst_object_unref(alive);
    LONGLONG duration = 0;
    EXPECT_EQ(kept->GetDuration(&duration), S_OK);

    kept.reset();
    EXPECT_EQ(g_weak_ref_get(&playbin), nullptr);
    spin(100); // messages of the released graph are dropped, not delivered
    g_weak_ref_clear(&playbin);
}

TEST(FilterGraph, RenderingAgainReplacesTheMedium) {
    Graph graph = renderGraph(MediaFolder::instance().path(Media::OggTheora));
    ASSERT_EQ(graph.rendered, S_OK);
    ASSERT_EQ(graph.control->Run(), S_OK);
    spin(100);
    const QString still = MediaFolder::instance().path(Media::Png);
    ASSERT_EQ(graph.builder->RenderFile(still.toStdWString()), S_OK);
    EXPECT_EQ(durationOf(graph), 0);
    EXPECT_EQ(reportedState(graph), State_Paused);
}

class InjectedFailure : public ::testing::Test {
protected:
    void TearDown() override { media::clearGraphFailures(); }
};

TEST_F(InjectedFailure, CallsReturnTheInjectedResult) {
    media::injectGraphFailure(media::GraphCall::CreateGraph, E_FAIL);
    std::shared_ptr<IGraphBuilder> builder;
    EXPECT_EQ(CoCreateFilterGraph(builder), E_FAIL);
    EXPECT_EQ(builder, nullptr);
    media::clearGraphFailures();

    media::injectGraphFailure(media::GraphCall::Run, E_FAIL);
    media::injectGraphFailure(media::GraphCall::QueryBasicVideo, E_NOINTERFACE);
    Graph graph;
    ASSERT_EQ(CoCreateFilterGraph(graph.builder), S_OK);
    ASSERT_EQ(graph.builder->RenderFile(MediaFolder::instance().path(Media::Wav).toStdWString()),
              S_OK);
    EXPECT_EQ(graph.builder->QueryInterface(graph.video), E_NOINTERFACE);
    EXPECT_EQ(graph.video, nullptr);
    ASSERT_EQ(graph.builder->QueryInterface(graph.control), S_OK);
    EXPECT_EQ(graph.control->Run(), E_FAIL);
    EXPECT_EQ(pipelineState(graph), GST_STATE_PAUSED); // the failed call did nothing
    media::clearGraphFailures();
    EXPECT_EQ(graph.control->Run(), S_OK);
}

} // namespace
