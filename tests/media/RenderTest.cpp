// Rendering files: what each kind of medium reports, and how refused files are told apart.
#include "GraphHelpers.h"
#include "platform/media/PlaybinGraph.h"
#include "platform/media/SinkOpenedAhead.h"

#include <QDir>
#include <QFile>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

using fixtures::Media;
using namespace mediatest;

namespace {

constexpr LONGLONG kSecond = 10'000'000; // graph units per second

struct Expected {
    Media kind;
    LONGLONG duration;  // 100-ns units
    LONGLONG tolerance; // 100-ns units
    bool video;
};

class RenderedMedium : public ::testing::TestWithParam<Expected> {};

TEST_P(RenderedMedium, ReportsLengthAndVideo) {
    const Expected expected = GetParam();
    const QString path = MediaFolder::instance().path(expected.kind);
    ASSERT_FALSE(path.isEmpty());
    Graph graph = renderGraph(path);
    ASSERT_EQ(graph.rendered, S_OK);

    const LONGLONG duration = durationOf(graph);
    EXPECT_NEAR(duration, expected.duration, expected.tolerance);

    long visible = 1;
    long width = 0;
    long height = 0;
    if (expected.video) {
        EXPECT_EQ(graph.window->get_Visible(&visible), S_OK);
        EXPECT_EQ(graph.video->GetVideoSize(&width, &height), S_OK);
        EXPECT_EQ(width, 320);
        EXPECT_EQ(height, 240);
    } else {
        EXPECT_EQ(graph.window->get_Visible(&visible), E_NOINTERFACE);
        EXPECT_TRUE(FAILED(graph.video->GetVideoSize(&width, &height)));
        EXPECT_TRUE(FAILED(graph.window->put_Owner(nullptr)));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, RenderedMedium,
    ::testing::Values(Expected{Media::Wav, 5 * kSecond, 0, false},
                      Expected{Media::OggVorbis, 5 * kSecond, kSecond / 10, false},
                      Expected{Media::Mp3Xing, 5 * kSecond, kSecond / 10, false},
                      // No header states the length: it has to be measured, not guessed.
                      Expected{Media::Mp3NoXing, 5 * kSecond, kSecond / 10, false},
                      Expected{Media::AviMjpeg, 5 * kSecond, kSecond / 10, true},
                      Expected{Media::WebmVp8, 5 * kSecond, kSecond / 10, true},
                      Expected{Media::Mp4H264, 5 * kSecond, kSecond / 10, true},
                      Expected{Media::OggTheora, 5 * kSecond, kSecond / 10, true},
                      // A still picture is exactly 0 long.
                      Expected{Media::Png, 0, 0, true}, Expected{Media::Jpeg, 0, 0, true}));

TEST(RenderFile, WholeLengthOfALongMp3WithoutHeader) {
    QTemporaryDir dir;
    const QString path = fixtures::makeMedia(Media::Mp3NoXing, dir.path(), "long.mp3", 30);
    Graph graph = renderGraph(path);
    ASSERT_EQ(graph.rendered, S_OK);
    EXPECT_NEAR(durationOf(graph), 30 * kSecond, kSecond / 10);
}

TEST(RenderFile, RefusesWhatIsNoMedium) {
    QTemporaryDir dir;
    const QString text =
        fixtures::writeFile(dir.path(), "letter.avi", QByteArray("Dear reader,\n").repeated(40));
    const QString empty = fixtures::writeFile(dir.path(), "empty.wav", {});
    EXPECT_EQ(renderGraph(text).rendered, VFW_E_UNKNOWN_FILE_TYPE);
    EXPECT_EQ(renderGraph(empty).rendered, VFW_E_UNKNOWN_FILE_TYPE);
}

TEST(RenderFile, TellsMissingAndUnreadableFiles) {
    QTemporaryDir dir;
    EXPECT_EQ(renderGraph(dir.filePath("nothing.wav")).rendered, HRESULT_FILE_NOT_FOUND);
    EXPECT_EQ(renderGraph(QString()).rendered, HRESULT_FILE_NOT_FOUND);
    QDir(dir.path()).mkdir("folder.avi");
    EXPECT_EQ(renderGraph(dir.filePath("folder.avi")).rendered, HRESULT_ACCESS_DENIED);
    if (geteuid() != 0) { // the superuser reads everything
        const QString locked = fixtures::makeMedia(Media::Wav, dir.path(), "locked.wav", 1);
        QFile::setPermissions(locked, QFileDevice::Permissions());
        EXPECT_EQ(renderGraph(locked).rendered, HRESULT_ACCESS_DENIED);
    }
}

TEST(RenderFile, RefusedGraphCannotRun) {
    QTemporaryDir dir;
    Graph graph = renderGraph(fixtures::writeFile(dir.path(), "x.mp3", "not a sound"));
    ASSERT_EQ(graph.rendered, VFW_E_UNKNOWN_FILE_TYPE);
    ASSERT_TRUE(graph.control);
    EXPECT_TRUE(FAILED(graph.control->Run()));
    LONGLONG duration = 0;
    EXPECT_TRUE(FAILED(graph.seeking->GetDuration(&duration)));
}

TEST(RenderFile, PathsWithAnyCharacters) {
    QTemporaryDir dir;
    const QString path =
        fixtures::makeMedia(Media::Wav, dir.path(), QString::fromUtf8("a #1 %20 ?ü 漢.wav"), 1);
    ASSERT_FALSE(path.isEmpty());
    Graph graph = renderGraph(path);
    EXPECT_EQ(graph.rendered, S_OK);
}

TEST(RenderFile, FailingVideoSinkGivesWayToItsFallback) {
    const std::wstring path = MediaFolder::instance().path(Media::WebmVp8).toStdWString();
    const std::string broken = "ximagesink display=:987"; // no such display
    auto plain = media::PlaybinGraph::create({broken, "fakeaudiosink", ""});
    ASSERT_TRUE(plain);
    EXPECT_TRUE(FAILED(plain->RenderFile(path)));

    auto rescued = media::PlaybinGraph::create({broken, "fakeaudiosink", "fakevideosink"});
    ASSERT_TRUE(rescued);
    ASSERT_EQ(rescued->RenderFile(path), S_OK);
    GstElement* sink = nullptr;
    g_object_get(rescued->Pipeline(), "video-sink", &sink, nullptr);
    ASSERT_NE(sink, nullptr);
    EXPECT_STREQ(GST_OBJECT_NAME(gst_element_get_factory(sink)), "fakevideosink");
    gst_object_unref(sink);
    EXPECT_EQ(rescued->Run(), S_OK);
}

// The sink opened at start-up goes to the first graph that asks for one of its kind, open
// already, and to no other; a graph of another kind, or one after it, makes its own. The
// graph that waits for it opens its automatic sound output meanwhile; others leave that to
// playbin.
TEST(RenderFile, FirstGraphTakesTheSinkOpenedAhead) {
    const std::wstring path = MediaFolder::instance().path(Media::WebmVp8).toStdWString();
    const auto sinkOf = [](media::PlaybinGraph& graph, const char* which = "video-sink") {
        GstElement* sink = nullptr;
        g_object_get(graph.Pipeline(), which, &sink, nullptr);
        return media::GstPtr<GstElement>(sink);
    };
    const auto stateOf = [](const media::GstPtr<GstElement>& element) {
        GstState state = GST_STATE_VOID_PENDING;
        gst_element_get_state(element.get(), &state, nullptr, 0);
        return state;
    };
    media::planVideoSinkAhead("fakevideosink");
    std::thread opening([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300)); // the graphs ask first
        media::openVideoSinkAhead();
    });
    auto other = media::PlaybinGraph::create({"videoconvert ! fakevideosink", "fakeaudiosink", ""});
    auto first = media::PlaybinGraph::create({"fakevideosink", "autoaudiosink", ""}); // waits
    opening.join();
    auto second = media::PlaybinGraph::create({"fakevideosink", "autoaudiosink", ""});
    ASSERT_TRUE(other && first && second);
    EXPECT_EQ(stateOf(sinkOf(*first)), GST_STATE_READY); // opened before the graph was made
    EXPECT_EQ(stateOf(sinkOf(*second)), GST_STATE_NULL);
    EXPECT_TRUE(GST_IS_BIN(sinkOf(*other).get()));
    ASSERT_TRUE(sinkOf(*first, "audio-sink"));
    EXPECT_EQ(stateOf(sinkOf(*first, "audio-sink")), GST_STATE_READY);
    EXPECT_FALSE(sinkOf(*second, "audio-sink"));
    ASSERT_EQ(first->RenderFile(path), S_OK);
    EXPECT_EQ(first->Run(), S_OK);
    spin(100);
    GstState state = GST_STATE_VOID_PENDING;
    gst_element_get_state(first->Pipeline(), &state, nullptr, GST_SECOND);
    EXPECT_EQ(state, GST_STATE_PLAYING);

    // A sink planned but never opened keeps no graph waiting.
    media::planVideoSinkAhead("fakevideosink");
    media::cancelVideoSinkAhead();
    EXPECT_TRUE(media::PlaybinGraph::create({"fakevideosink", "fakeaudiosink", ""}));
    media::planVideoSinkAhead("fakevideosink");
    media::openVideoSinkAhead();
    media::dropVideoSinkOpenedAhead();
    EXPECT_FALSE(media::takeVideoSinkOpenedAhead("fakevideosink"));
}

// Decoders taken out of the registry for one test, put back afterwards.
class WithoutDecoders {
public:
    explicit WithoutDecoders(std::initializer_list<const char*> names) {
        for (const char* name : names) {
            if (GstPluginFeature* feature = gst_registry_lookup_feature(gst_registry_get(), name)) {
                m_ranks.emplace_back(feature, gst_plugin_feature_get_rank(feature));
                gst_plugin_feature_set_rank(feature, GST_RANK_NONE);
            }
        }
    }
    ~WithoutDecoders() {
        for (auto& [feature, rank] : m_ranks) {
            gst_plugin_feature_set_rank(feature, rank);
            gst_object_unref(feature);
        }
    }

private:
    std::vector<std::pair<GstPluginFeature*, guint>> m_ranks;
};

TEST(RenderFile, NoDecoderForAnyStreamIsUnsupported) {
    const QString path = MediaFolder::instance().path(Media::WebmVp8);
    WithoutDecoders gone({"vp8dec", "avdec_vp8", "vorbisdec", "avdec_vorbis"});
    EXPECT_EQ(renderGraph(path).rendered, VFW_E_UNSUPPORTED_STREAM);
}

TEST(RenderFile, NoDecoderForThePictureLeavesTheSound) {
    const QString path = MediaFolder::instance().path(Media::WebmVp8);
    WithoutDecoders gone({"vp8dec", "avdec_vp8"});
    Graph graph = renderGraph(path);
    ASSERT_EQ(graph.rendered, S_OK);
    long visible = 0;
    EXPECT_EQ(graph.window->get_Visible(&visible), E_NOINTERFACE);
    EXPECT_NEAR(durationOf(graph), 5 * kSecond, kSecond / 10);
}

} // namespace
