// Rendering files: what each kind of medium reports, and how refused files are told apart.
#include "GraphHelpers.h"
#include "platform/media/PlaybinGraph.h"

#include <QDir>
#include <QFile>
#include <QImage>
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

// A song's tags, its front cover among them, are read; the cover is no video: the song
// stays a sound. A file without tags says nothing, and neither does a graph before a file.
TEST(RenderFile, ReadsTheTagsAndCoverOfASong) {
    QTemporaryDir dir;
    const QString song = fixtures::makeTaggedSong(dir.path(), "song.mp3",
                                                  {"Blue Harbour", "The Quays", "Tides", 2, "red"});
    ASSERT_FALSE(song.isEmpty());
    Graph graph = renderGraph(song);
    ASSERT_EQ(graph.rendered, S_OK);
    const media::MediumTags tags = graph.builder->GetTags();
    EXPECT_EQ(tags.title, "Blue Harbour");
    EXPECT_EQ(tags.artist, "The Quays");
    EXPECT_EQ(tags.album, "Tides");
    EXPECT_EQ(tags.track, 2u);
    EXPECT_EQ(tags.coverType, "image/png");
    const QImage cover = QImage::fromData(tags.cover);
    EXPECT_EQ(cover.size(), QSize(64, 48));
    EXPECT_GT(qRed(cover.pixel(10, 10)), 240);
    EXPECT_LT(qGreen(cover.pixel(10, 10)) + qBlue(cover.pixel(10, 10)), 30);
    long visible = 1;
    EXPECT_EQ(graph.window->get_Visible(&visible), E_NOINTERFACE);

    fixtures::SongTags onlyTitle;
    onlyTitle.title = "Only a title";
    const QString bare = fixtures::makeTaggedSong(dir.path(), "bare.mp3", onlyTitle);
    Graph other = renderGraph(bare);
    ASSERT_EQ(other.rendered, S_OK);
    EXPECT_EQ(other.builder->GetTags().title, "Only a title");
    EXPECT_TRUE(other.builder->GetTags().cover.isEmpty());
    EXPECT_EQ(renderGraph(MediaFolder::instance().path(Media::Wav)).builder->GetTags(),
              media::MediumTags{});
    std::shared_ptr<IGraphBuilder> empty;
    ASSERT_EQ(CoCreateFilterGraph(empty), S_OK);
    EXPECT_EQ(empty->GetTags(), media::MediumTags{});
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
