// The pieces behind the graph that need no pipeline: sink choice and error translation.
#include "platform/media/ErrorMapping.h"
#include "platform/media/PathUri.h"
#include "platform/media/SinkChoice.h"

#include <gst/gst.h>
#include <gtest/gtest.h>

namespace {

TEST(SinkChoice, PlatformDecidesUnlessOverridden) {
    EXPECT_EQ(media::chooseSinks("offscreen", "", "").video, "fakevideosink");
    EXPECT_NE(media::chooseSinks("xcb", "", "").video, "fakevideosink");
    EXPECT_EQ(media::chooseSinks("xcb", "", "").audio, "autoaudiosink");
    EXPECT_FALSE(media::chooseSinks("xcb", "", "").videoFallback.empty());
    const media::SinkChoice forced = media::chooseSinks("xcb", "ximagesink", "fakeaudiosink");
    EXPECT_EQ(forced.video, "ximagesink");
    EXPECT_EQ(forced.audio, "fakeaudiosink");
    EXPECT_TRUE(forced.videoFallback.empty()); // what the user names is used as named
}

TEST(SinkChoice, MakesNamedDescribedAndFallbackSinks) {
    media::GstPtr<GstElement> named = media::makeSink("fakeaudiosink", false);
    ASSERT_TRUE(named);
    EXPECT_STREQ(GST_OBJECT_NAME(gst_element_get_factory(named.get())), "fakeaudiosink");
    media::GstPtr<GstElement> described = media::makeSink("videoconvert ! fakevideosink", true);
    ASSERT_TRUE(described);
    EXPECT_TRUE(GST_IS_BIN(described.get()));
    EXPECT_TRUE(media::makeSink("nosuchsink", true)); // an automatic sink instead
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
