// The video widget: created inside the owner, placed and sized there, moved to a
// full-screen window and back.
#include "GraphHelpers.h"

#include <QPointer>
#include <QWidget>
#include <gtest/gtest.h>

using fixtures::Media;
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

TEST_F(VideoWindow, NativeChildOfTheOwner) {
    QWidget* video = graph.window->VideoWidget();
    ASSERT_NE(video, nullptr);
    EXPECT_EQ(video->parentWidget(), &owner);
    EXPECT_TRUE(video->testAttribute(Qt::WA_NativeWindow));
    EXPECT_NE(video->winId(), WId(0));
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
