// The pieces behind the graph that need no pipeline: sink choice, where a picture is painted,
// and error translation.
#include "platform/media/ErrorMapping.h"
#include "platform/media/ExifOrientation.h"
#include "platform/media/PathUri.h"
#include "platform/media/PictureFit.h"
#include "platform/media/PictureHeaders.h"
#include "platform/media/SinkChoice.h"
#include "platform/media/StreamFacts.h"
#include "platform/media/StreamLength.h"
#include "platform/media/SubtitleKind.h"
#include "platform/media/UnfitReaders.h"

#include <QSize>
#include <gst/gst.h>
#include <gtest/gtest.h>
#include <span>
#include <vector>

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

namespace {
// A JPEG's start: SOI, a JFIF segment, then an EXIF segment with one Orientation entry.
std::vector<uint8_t> jpegWithOrientation(uint16_t value, bool bigEndian) {
    const auto u16 = [&](std::vector<uint8_t>& v, uint16_t x) {
        v.push_back(uint8_t(bigEndian ? x >> 8 : x & 0xFF));
        v.push_back(uint8_t(bigEndian ? x & 0xFF : x >> 8));
    };
    std::vector<uint8_t> tiff{uint8_t(bigEndian ? 'M' : 'I'), uint8_t(bigEndian ? 'M' : 'I')};
    for (uint16_t x :
         {uint16_t(42), uint16_t(bigEndian ? 0 : 8), uint16_t(bigEndian ? 8 : 0), uint16_t(1),
          uint16_t(0x0112), uint16_t(3), uint16_t(bigEndian ? 0 : 1), uint16_t(bigEndian ? 1 : 0)})
        u16(tiff, x);
    u16(tiff, value);
    for (int i = 0; i < 3; ++i)
        u16(tiff, 0);
    std::vector<uint8_t> jpeg{0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x04, 'J', 'F'};
    const size_t length = 2 + 6 + tiff.size();
    jpeg.insert(jpeg.end(), {0xFF, 0xE1, uint8_t(length >> 8), uint8_t(length & 0xFF)});
    jpeg.insert(jpeg.end(), {'E', 'x', 'i', 'f', 0, 0});
    jpeg.insert(jpeg.end(), tiff.begin(), tiff.end());
    jpeg.insert(jpeg.end(), {0xFF, 0xDA, 0x00, 0x02});
    return jpeg;
}
} // namespace

// A photo's orientation from either byte order; a damaged or foreign header is read as
// upright, never past its end.
TEST(ExifOrientation, ReadsTheTurnAndNothingBeyondTheHeader) {
    for (bool big : {false, true})
        for (uint16_t value = 1; value <= 8; ++value)
            EXPECT_EQ(media::exifOrientation(jpegWithOrientation(value, big)), value) << big;
    EXPECT_EQ(media::exifOrientation(jpegWithOrientation(9, false)), 1);
    const std::vector<uint8_t> whole = jpegWithOrientation(6, false);
    for (size_t cut = 0; cut < whole.size() - 4; ++cut)
        EXPECT_EQ(media::exifOrientation(std::span(whole).first(cut)), 1) << cut;
    std::vector<uint8_t> lying = whole;
    lying[11] = 0xFF; // the EXIF segment claims more bytes than there are
    EXPECT_EQ(media::exifOrientation(lying), 1);
    EXPECT_EQ(media::exifOrientation(std::vector<uint8_t>{'G', 'I', 'F', '8'}), 1);

    EXPECT_STREQ(media::turnForExifOrientation(6), "90r");
    EXPECT_STREQ(media::turnForExifOrientation(8), "90l");
    EXPECT_STREQ(media::turnForExifOrientation(0), "identity");
    EXPECT_TRUE(media::exifTurnsOnItsSide(6));
    EXPECT_FALSE(media::exifTurnsOnItsSide(3));
}

// A JPEG's segments up to its frame header: start of image, JFIF, Adobe, tables, frame.
std::vector<uint8_t> jpegHeader(uint8_t frameMarker, uint8_t components) {
    std::vector<uint8_t> bytes{0xFF, 0xD8, 0xFF, 0xE0, 0,    16,   'J', 'F', 'I',  'F',        0,
                               1,    1,    0,    0,    1,    0,    1,   0,   0,    0xFF,       0xEE,
                               0,    14,   'A',  'd',  'o',  'b',  'e', 0,   100,  0,          0,
                               0,    0,    2,    0xFF, 0xFF, 0xC4, 0,   2,   0xFF, frameMarker};
    const uint8_t length = static_cast<uint8_t>(8 + 3 * components);
    for (uint8_t b : {uint8_t(0), length, uint8_t(8), uint8_t(0), uint8_t(120), uint8_t(0),
                      uint8_t(160), components})
        bytes.push_back(b);
    for (uint8_t c = 1; c <= components; ++c)
        bytes.insert(bytes.end(), {c, 0x11, 0});
    return bytes;
}

TEST(PictureHeaders, ComponentsOfAJpegWhateverComesBeforeTheFrame) {
    for (uint8_t marker : {0xC0, 0xC1, 0xC2, 0xC3, 0xC5, 0xC9, 0xCB, 0xCD, 0xCF})
        for (uint8_t components : {1, 3, 4})
            EXPECT_EQ(media::jpegComponents(jpegHeader(marker, components)), components) << marker;
    // Tables (DHT, JPG, DAC) are no frame; a scan before any frame leaves the count unknown.
    for (uint8_t marker : {0xC4, 0xC8, 0xCC, 0xDA})
        EXPECT_EQ(media::jpegComponents(jpegHeader(marker, 4)), 0) << marker;
    const std::vector<uint8_t> whole = jpegHeader(0xC0, 4);
    for (size_t cut = 0; cut < whole.size(); ++cut)
        EXPECT_EQ(media::jpegComponents(std::span(whole).first(cut)), 0) << cut;
    std::vector<uint8_t> lying = whole;
    lying[22] = 0xFF; // the Adobe segment claims more bytes than there are
    EXPECT_EQ(media::jpegComponents(lying), 0);
    lying = whole;
    lying[44] = 10; // a frame header too short for its components
    EXPECT_EQ(media::jpegComponents(lying), 0);
    EXPECT_EQ(media::jpegComponents(std::vector<uint8_t>{0x89, 'P', 'N', 'G'}), 0);
}

// A PNG's chunks up to its picture data, of the given bit depth, animated or not.
std::vector<uint8_t> pngHeader(uint8_t depth, bool animated) {
    std::vector<uint8_t> bytes{0x89, 'P', 'N',   'G', '\r', '\n', 0x1A, '\n', 0,   0, 0,
                               13,   'I', 'H',   'D', 'R',  0,    0,    0,    160, 0, 0,
                               0,    120, depth, 2,   0,    0,    0,    0,    0,   0, 0};
    if (animated)
        bytes.insert(bytes.end(),
                     {0, 0, 0, 8, 'a', 'c', 'T', 'L', 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0});
    bytes.insert(bytes.end(), {0, 0, 0, 0, 'I', 'D', 'A', 'T'});
    return bytes;
}

TEST(PictureHeaders, StillPngsOfSixteenBitSamples) {
    EXPECT_TRUE(media::isDeepStillPng(pngHeader(16, false)));
    EXPECT_FALSE(media::isDeepStillPng(pngHeader(8, false)));
    EXPECT_FALSE(media::isDeepStillPng(pngHeader(16, true)));
    const std::vector<uint8_t> whole = pngHeader(16, false);
    for (size_t cut = 0; cut < whole.size(); ++cut)
        EXPECT_FALSE(media::isDeepStillPng(std::span(whole).first(cut))) << cut;
}

// Readers kept away from what they misread, and only from that.
TEST(UnfitReaders, ByFactoryAndCaps) {
    const auto unfit = [](const char* factory, const char* caps) {
        media::GstPtr<GstElementFactory> found(gst_element_factory_find(factory));
        media::GstPtr<GstCaps> parsed(gst_caps_from_string(caps));
        return found && media::isUnfitReader(found.get(), parsed.get());
    };
    EXPECT_TRUE(unfit("avdec_mjpeg", "image/jpeg, parsed=(boolean)true, colorspace=CMYK"));
    EXPECT_TRUE(unfit("avdec_mjpeg", "image/jpeg, colorspace=YCCK"));
    EXPECT_FALSE(unfit("avdec_mjpeg", "image/jpeg, parsed=(boolean)true"));
    EXPECT_FALSE(unfit("jpegdec", "image/jpeg, colorspace=CMYK"));
    EXPECT_TRUE(unfit("pngdec", "image/png, bit-depth=(int)16"));
    EXPECT_TRUE(unfit("pngparse", "image/png, bit-depth=(int)16, parsed=(boolean)true"));
    EXPECT_FALSE(unfit("pngdec", "image/png"));
}

TEST(StreamFacts, TheShownSizeAppliesTheAspectThenTheTurn) {
    int w = 720, h = 576;
    media::applyShownSize(w, h, 64, 45, false);
    EXPECT_EQ(QSize(w, h), QSize(1024, 576));
    w = 640, h = 360;
    media::applyShownSize(w, h, 1, 1, media::tagTurnsOnItsSide("rotate-90"));
    EXPECT_EQ(QSize(w, h), QSize(360, 640));
    EXPECT_TRUE(media::tagTurnsOnItsSide("flip-rotate-270"));
    EXPECT_FALSE(media::tagTurnsOnItsSide("rotate-180"));
    EXPECT_FALSE(media::tagTurnsOnItsSide(nullptr));
}

// A track's length as Matroska files tag it; anything else is no length.
TEST(StreamLength, DurationTagsInNanoseconds) {
    EXPECT_EQ(media::durationTagValue("00:00:04.023000000"), 4'023'000'000);
    EXPECT_EQ(media::durationTagValue("1:02:03.5"), 3'723'500'000'000);
    EXPECT_EQ(media::durationTagValue("00:00:01.0000000019"), 1'000'000'001);
    EXPECT_EQ(media::durationTagValue("10:00:00"), 36'000 * GST_SECOND);
    for (const char* wrong : {"", "4.5", "00:61:00", "00:00:04.", "00:00:04.5 s", "-1:00:00"})
        EXPECT_FALSE(media::durationTagValue(wrong)) << wrong;
}

// A subtitle file is read as the kind its ending names, whatever its case.
TEST(SubtitleKind, TheEndingNamesTheKind) {
    EXPECT_STREQ(media::subtitleCapsForName("file:///v/film.srt"), "application/x-subtitle");
    EXPECT_STREQ(media::subtitleCapsForName("film.ASS"), "application/x-ass");
    EXPECT_STREQ(media::subtitleCapsForName("film.ssa"), "application/x-ssa");
    EXPECT_STREQ(media::subtitleCapsForName("film.Vtt"), "application/x-subtitle-vtt");
    EXPECT_EQ(media::subtitleCapsForName("film.avi"), nullptr);
    EXPECT_EQ(media::subtitleCapsForName("srt"), nullptr);
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
