// The pieces behind the graph that need no pipeline: sink choice, where a picture is painted,
// and error translation.
#include "platform/media/ErrorMapping.h"
#include "platform/media/PathUri.h"
#include "platform/media/PictureFit.h"
#include "platform/media/SinkChoice.h"

#include <gst/gst.h>
#include <gtest/gtest.h>

namespace {

TEST(SinkChoice, TheViewPaintsUnlessAnotherSinkIsNamed) {
    const media::SinkChoice plain = media::chooseSinks("", "");
    EXPECT_TRUE(plain.video.empty());
    EXPECT_EQ(plain.audio, "autoaudiosink");
    const media::SinkChoice forced = media::chooseSinks("fakevideosink", "fakeaudiosink");
    EXPECT_EQ(forced.video, "fakevideosink");
    EXPECT_EQ(forced.audio, "fakeaudiosink");
}

TEST(SinkChoice, MakesNamedDescribedAndFallbackSinks) {
    media::GstPtr<GstElement> named = media::makeAudioSink("fakeaudiosink");
    ASSERT_TRUE(named);
    EXPECT_STREQ(GST_OBJECT_NAME(gst_element_get_factory(named.get())), "fakeaudiosink");
    media::GstPtr<GstElement> described = media::makeVideoSink("videoconvert ! fakevideosink");
    ASSERT_TRUE(described);
    EXPECT_TRUE(GST_IS_BIN(described.get()));
    EXPECT_TRUE(media::makeAudioSink("nosuchsink")); // an automatic output instead
    // No window of a sink's own instead: the view paints the picture after all.
    EXPECT_FALSE(media::makeVideoSink("nosuchsink"));
}

// Where the view paints a picture: as large as fits, its shape kept, in the middle.
TEST(PictureFit, LargestFittingShapeInTheMiddle) {
    EXPECT_EQ(media::fitPicture({320, 240}, {320, 240}), QRect(0, 0, 320, 240));
    EXPECT_EQ(media::fitPicture({640, 480}, {320, 240}), QRect(0, 0, 640, 480));
    EXPECT_EQ(media::fitPicture({1280, 480}, {320, 240}), QRect(320, 0, 640, 480)); // bars beside
    EXPECT_EQ(media::fitPicture({320, 400}, {320, 240}), QRect(0, 80, 320, 240));   // bars above
    EXPECT_EQ(media::fitPicture({632, 322}, {640, 360}), QRect(30, 0, 572, 322));
    // Pixels wider than high: a 720 x 576 picture of 64:45 pixels is 1024 x 576 on screen.
    EXPECT_EQ(media::fitPicture({1024, 576}, {720, 576}, 64, 45), QRect(0, 0, 1024, 576));
    EXPECT_EQ(media::fitPicture({720, 576}, {720, 576}, 64, 45), QRect(0, 85, 720, 405));
    // Nothing to fit, or nowhere: nothing is painted; a nonsense aspect counts as square.
    EXPECT_TRUE(media::fitPicture({0, 100}, {320, 240}).isEmpty());
    EXPECT_TRUE(media::fitPicture({320, 240}, {0, 0}).isEmpty());
    EXPECT_EQ(media::fitPicture({320, 240}, {320, 240}, 0, 0), QRect(0, 0, 320, 240));
    // A picture far wider than its area still gets a line.
    EXPECT_EQ(media::fitPicture({10, 10}, {10000, 1}).height(), 1);
}

TEST(ErrorMapping, ResourceErrorsWinOverMissingDecoders) {
    EXPECT_EQ(media::resultForRenderError(GST_RESOURCE_ERROR, GST_RESOURCE_ERROR_NOT_FOUND, true),
              HRESULT_FILE_NOT_FOUND);
    EXPECT_EQ(media::resultForRenderError(GST_STREAM_ERROR, GST_STREAM_ERROR_FAILED, true),
              VFW_E_UNSUPPORTED_STREAM);
    EXPECT_EQ(media::resultForRenderError(GST_STREAM_ERROR, GST_STREAM_ERROR_FAILED, false),
              E_FAIL);
    EXPECT_EQ(media::resultForRenderError(GST_LIBRARY_ERROR, GST_LIBRARY_ERROR_INIT, false),
              E_FAIL);
}

TEST(PathUri, EscapesAndAnchorsPaths) {
    EXPECT_EQ(media::uriForPath(L"/tmp/a b#c%d.wav"), "file:///tmp/a%20b%23c%25d.wav");
    EXPECT_EQ(media::uriForPath(L""), "");
    EXPECT_EQ(media::uriForPath(L"x.wav").rfind("file:///", 0), 0u);
}

} // namespace
