// The video widget: created inside the owner, placed and sized there, moved to a
// full-screen window and back, and painting the frames the graph decodes.
#include "GraphHelpers.h"
#include "ScreenPicture.h"
#include "TestTime.h"
#include "platform/media/PlaybinGraph.h"

#include <QPointer>
#include <QWidget>
#include <gst/video/video.h>
#include <gtest/gtest.h>

using fixtures::Media;
using media::GstPtr;
using namespace mediatest;

namespace {

class VideoWindow : public ::testing::Test {
protected:
    void SetUp() override {
        owner.resize(640, 480);
        owner.show();
        graph = renderGraph(MediaFolder::instance().path(Media::AviMjpeg));
        ASSERT_EQ(graph.rendered, S_OK);
        ASSERT_EQ(graph.window->put_Owner(&owner), S_OK);
    }
    QRect placed() {
        long left = -1, top = -1, width = -1, height = -1;
        EXPECT_EQ(graph.window->GetWindowPosition(&left, &top, &width, &height), S_OK);
        return QRect(int(left), int(top), int(width), int(height));
    }

    QWidget owner;
    Graph graph;
};

// A plain widget of the owner's, no window of its own: it shows wherever the owner does, and
// keys and clicks over it reach the program.
TEST_F(VideoWindow, PlainChildOfTheOwner) {
    QWidget* video = graph.window->VideoWidget();
    ASSERT_NE(video, nullptr);
    EXPECT_EQ(video->parentWidget(), &owner);
    EXPECT_FALSE(video->testAttribute(Qt::WA_NativeWindow));
    EXPECT_FALSE(video->internalWinId());
    EXPECT_EQ(video->focusPolicy(), Qt::NoFocus);
    EXPECT_TRUE(video->isVisible());
    long visible = OAFALSE;
    EXPECT_EQ(graph.window->get_Visible(&visible), S_OK);
    EXPECT_EQ(visible, OATRUE);
    OAHWND named = nullptr;
    EXPECT_EQ(graph.window->get_Owner(&named), S_OK);
    EXPECT_EQ(named, &owner);

    ASSERT_EQ(graph.window->put_WindowStyle(0x46000000), S_OK);
    long style = 0;
    EXPECT_EQ(graph.window->get_WindowStyle(&style), S_OK);
    EXPECT_EQ(style, 0x46000000);
}

TEST_F(VideoWindow, PlacedAndSizedInOwnerCoordinates) {
    QWidget* video = graph.window->VideoWidget();
    ASSERT_EQ(graph.window->SetWindowPosition(0, 0, 320, 240 - 38), S_OK);
    EXPECT_EQ(video->geometry(), QRect(0, 0, 320, 202));
    EXPECT_EQ(placed(), QRect(0, 0, 320, 202));

    ASSERT_EQ(graph.window->SetWindowPosition(10, 20, 100, 50), S_OK);
    ASSERT_EQ(graph.window->put_Width(600), S_OK);
    ASSERT_EQ(graph.window->put_Height(450), S_OK);
    EXPECT_EQ(video->geometry(), QRect(10, 20, 600, 450)); // left and top stay
    long width = 0;
    long height = 0;
    EXPECT_EQ(graph.window->get_Width(&width), S_OK);
    EXPECT_EQ(graph.window->get_Height(&height), S_OK);
    EXPECT_EQ(width, 600);
    EXPECT_EQ(height, 450);
    EXPECT_EQ(graph.window->put_Width(-1), E_INVALIDARG);
}

TEST_F(VideoWindow, FullScreenAndBack) {
    QWidget* video = graph.window->VideoWidget();
    ASSERT_EQ(graph.window->SetWindowPosition(0, 0, 320, 202), S_OK);
    ASSERT_EQ(graph.control->Run(), S_OK);

    ASSERT_EQ(graph.window->put_FullScreenMode(OATRUE), S_OK);
    long mode = OAFALSE;
    EXPECT_EQ(graph.window->get_FullScreenMode(&mode), S_OK);
    EXPECT_EQ(mode, OATRUE);
    QWidget* screenWindow = video->window();
    EXPECT_NE(screenWindow, owner.window());
    EXPECT_TRUE(screenWindow->isFullScreen());
    EXPECT_TRUE(video->isVisible());
    EXPECT_EQ(video->size(), screenWindow->size());

    ASSERT_EQ(graph.window->put_Width(500), S_OK); // the owner resizing meanwhile
    ASSERT_EQ(graph.window->put_FullScreenMode(OAFALSE), S_OK);
    EXPECT_EQ(graph.window->get_FullScreenMode(&mode), S_OK);
    EXPECT_EQ(mode, OAFALSE);
    EXPECT_EQ(video->parentWidget(), &owner);
    EXPECT_TRUE(video->isVisible());
    EXPECT_EQ(video->geometry(), QRect(0, 0, 500, 202));
    EXPECT_EQ(graph.control->Pause(), S_OK); // the graph plays on throughout
}

TEST_F(VideoWindow, ClosingTheFullScreenWindowBringsTheVideoBack) {
    QWidget* video = graph.window->VideoWidget();
    ASSERT_EQ(graph.window->SetWindowPosition(0, 0, 320, 202), S_OK);
    ASSERT_EQ(graph.window->put_FullScreenMode(OATRUE), S_OK);
    QPointer<QWidget> screenWindow = video->window();
    ASSERT_TRUE(screenWindow->close() == false); // it stays, empty, until deleted
    spin(50);
    EXPECT_TRUE(screenWindow.isNull());
    EXPECT_EQ(video->parentWidget(), &owner);
    EXPECT_EQ(video->geometry(), QRect(0, 0, 320, 202));
    long mode = OATRUE;
    EXPECT_EQ(graph.window->get_FullScreenMode(&mode), S_OK);
    EXPECT_EQ(mode, OAFALSE);
}

TEST_F(VideoWindow, OwnerGoneFirstStopsTheGraph) {
    auto doomed = std::make_unique<QWidget>();
    ASSERT_EQ(graph.window->put_Owner(doomed.get()), S_OK);
    ASSERT_EQ(graph.control->Run(), S_OK);
    doomed.reset(); // takes the video widget with it
    EXPECT_EQ(graph.window->VideoWidget(), nullptr);
    GstState state = GST_STATE_VOID_PENDING;
    gst_element_get_state(graph.builder->Pipeline(), &state, nullptr, GST_SECOND);
    EXPECT_EQ(state, GST_STATE_NULL);
    EXPECT_TRUE(FAILED(graph.control->Run()));
}

// The graph's own frames, painted by the widget: the picture fills it with its shape kept, on
// black; a paused picture stays; a seek while paused shows the frame sought at once.
class PaintedFrames : public ::testing::Test {
protected:
    void SetUp() override {
        graph = media::PlaybinGraph::create({"", "fakeaudiosink"});
        ASSERT_TRUE(graph);
        owner.resize(640, 480);
        owner.show();
    }
    void render(fixtures::Media kind) {
        ASSERT_EQ(graph->RenderFile(MediaFolder::instance().path(kind).toStdWString()), S_OK);
        ASSERT_EQ(graph->put_Owner(&owner), S_OK);
    }
    QImage painted() { return graph->VideoWidget()->grab().toImage(); }
    // The size of the frames as they reach the widget after a second, or once it is want.
    QSize framesSize(QSize want = {}) {
        QSize size(0, 0);
        for (int waited = 0; waited < testtime::scaled(1000) && size != want; waited += 20) {
            spin(20);
            GstPtr<GstElement> sink(gst_bin_get_by_name(GST_BIN(graph->Pipeline()), "frames"));
            GstPtr<GstPad> pad(gst_element_get_static_pad(sink.get(), "sink"));
            GstPtr<GstCaps> caps(gst_pad_get_current_caps(pad.get()));
            GstVideoInfo info;
            if (caps && gst_video_info_from_caps(&info, caps.get()))
                size = QSize(GST_VIDEO_INFO_WIDTH(&info), GST_VIDEO_INFO_HEIGHT(&info));
        }
        return size;
    }
    // Waits for the whole pattern, as the event loop delivers frames.
    bool showsPattern(int ms = 3000) {
        for (int waited = 0; waited < ms; waited += 20) {
            if (screentest::allBarsSeen(screentest::countBars(painted()), 100))
                return true;
            spin(20);
        }
        return false;
    }

    std::shared_ptr<media::PlaybinGraph> graph;
    QWidget owner;
};

TEST_F(PaintedFrames, PictureFillsTheWidgetWithItsShapeOnBlack) {
    render(Media::AviMjpeg);
    ASSERT_EQ(graph->SetWindowPosition(0, 0, 400, 240), S_OK); // wider than 4:3
    EXPECT_TRUE(showsPattern()) << "the first frame is shown before the graph runs";
    const QImage image = painted();
    ASSERT_EQ(image.size(), QSize(400, 240));
    const screentest::PatternPlace place = screentest::findPattern(image);
    ASSERT_TRUE(place.found);
    EXPECT_NEAR(place.pictureWidth(), 320.0, 6.0); // 240 high, 4:3
    EXPECT_NEAR(place.pictureLeft(), 40.0, 6.0);   // in the middle
    EXPECT_EQ(image.pixel(5, 120), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(395, 120), qRgb(0, 0, 0));

    ASSERT_EQ(graph->Run(), S_OK);
    ASSERT_EQ(graph->put_Width(640), S_OK);
    ASSERT_EQ(graph->put_Height(480), S_OK);
    ASSERT_TRUE(showsPattern());
    EXPECT_NEAR(screentest::findPattern(painted()).pictureWidth(), 640.0, 8.0);
    EXPECT_EQ(framesSize(QSize(640, 480)), QSize(640, 480)) << "within a second of the resize";
    ASSERT_EQ(graph->Pause(), S_OK);
    LONGLONG start = 0;
    ASSERT_EQ(graph->SetPositions(&start, AM_SEEKING_AbsolutePositioning, nullptr,
                                  AM_SEEKING_NoPositioning),
              S_OK);
    EXPECT_TRUE(showsPattern()) << "a paused picture after a seek";
}

TEST_F(PaintedFrames, StillPictureStaysAfterItsStreamEnded) {
    render(Media::Png);
    ASSERT_EQ(graph->SetWindowPosition(0, 0, 320, 240), S_OK);
    ASSERT_EQ(graph->SetWindowPosition(0, 0, 160, 120), S_OK);
    EXPECT_TRUE(showsPattern());
    EXPECT_EQ(framesSize(), QSize(320, 240)) << "a still picture keeps its own size";
    ASSERT_EQ(graph->SetWindowPosition(0, 0, 320, 240), S_OK);
    ASSERT_EQ(graph->Run(), S_OK);
    spin(300); // the stream of a picture ends at once
    EXPECT_TRUE(showsPattern());
}

TEST_F(PaintedFrames, AnotherFileForgetsTheFormerPicture) {
    render(Media::Png);
    ASSERT_EQ(graph->SetWindowPosition(0, 0, 320, 240), S_OK);
    ASSERT_TRUE(showsPattern());
    ASSERT_EQ(graph->RenderFile(MediaFolder::instance().path(Media::Wav).toStdWString()), S_OK);
    EXPECT_EQ(graph->VideoWidget(), nullptr);
}

TEST(VideoWindowOfSound, EveryCallFails) {
    Graph graph = renderGraph(MediaFolder::instance().path(Media::Wav));
    ASSERT_EQ(graph.rendered, S_OK);
    QWidget owner;
    EXPECT_EQ(graph.window->put_Owner(&owner), E_NOINTERFACE);
    EXPECT_EQ(graph.window->SetWindowPosition(0, 0, 10, 10), E_NOINTERFACE);
    EXPECT_EQ(graph.window->put_FullScreenMode(OATRUE), E_NOINTERFACE);
    EXPECT_EQ(graph.window->VideoWidget(), nullptr);
    EXPECT_TRUE(owner.findChildren<QWidget*>().isEmpty());
}

} // namespace
