// Rendering files: what each kind of medium reports, and how refused files are told apart.
#include "GraphHelpers.h"
#include "platform/media/PlaybinGraph.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

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
