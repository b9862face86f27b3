// The play queue as the player view runs it: each entry in turn, its line
// marked in the play list and its path as the window's title, a stop after
// the last one; refused and missing entries are passed over.
#include "MediaFixtures.h"
#include "PlayerTestSupport.h"
#include "PlayerViewProbe.h"

#include "app/CMainFrame.h"
#include "app/SharedState.h"
#include "platform/framework/MDIChildWnd.h"
#include "platform/framework/MessageBox.h"
#include "platform/listctrl/ListCtrl.h"
#include "player/CLumarestDoc.h"
#include "player/CLumarestView.h"
#include "res/Resource.h"

#include <QDir>

#include <algorithm>
#include <vector>

using fixtures::Media;
using playertest::MediaFolder;
using playertest::PlayerTest;

namespace {

class Queue : public PlayerTest {
protected:
    // A player window with a queue of the paths on lines 2, 5, 7 of a list of ten.
    CLumarestView* start(const QStringList& paths, bool withList = true) {
        CLumarestView* view = emptyPlayer();
        if (!view)
            return nullptr;
        doc = dynamic_cast<CLumarestDoc*>(view->GetDocument());
        if (withList) {
            list = std::make_unique<CListCtrl>();
            list->InsertColumn(0, QStringLiteral("Name"));
            for (int i = 0; i < 10; ++i)
                list->InsertItem(i, QStringLiteral("line %1").arg(i));
            list->SetHotItem(2);
            doc->m_pCListCtrl = list.get();
        }
        doc->m_arrPaths = paths;
        doc->m_arrLines = {2, 5, 7};
        doc->SetTitle(paths.front());
        doc->StartPlayQueue();
        return view;
    }
    // Ticks at the ends of entries until the view reaches queue entry index (or the limit).
    static bool tickTo(CLumarestView* view, int index, int limit = 20) {
        for (int i = 0; i < limit && Probe(view).m_nQueueIndex != index; ++i)
            playertest::TickAtTheEnd(view);
        return Probe(view).m_nQueueIndex == index;
    }

    CLumarestDoc* doc = nullptr;
    std::unique_ptr<CListCtrl> list;
};

QStringList threeEntries() {
    return {MediaFolder::instance().copy(Media::Wav, QStringLiteral("first.wav"), 1),
            MediaFolder::instance().path(Media::Png),
            MediaFolder::instance().copy(Media::OggVorbis, QStringLiteral("third.ogg"), 1)};
}

TEST_F(Queue, AdvancesMarksRetitlesAndStopsAfterTheLast) {
    const QStringList paths = threeEntries();
    CLumarestView* view = start(paths);
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(g_bQueuePlaying);
    EXPECT_EQ(Probe(view).m_nDuration, 1);

    view->OnTimer(CLumarestView::kTickTimer); // within its second
    EXPECT_EQ(Probe(view).m_nQueueIndex, 0);
    playertest::TickAtTheEnd(view);
    EXPECT_EQ(Probe(view).m_nQueueIndex, 1);
    EXPECT_EQ(Probe(view).m_strFile, paths[1]);
    EXPECT_EQ(Probe(view).m_bstrFile, paths[1].toStdWString());
    EXPECT_EQ(doc->GetTitle(), paths[1]);
    EXPECT_EQ(list->GetHotItem(), 5);
    EXPECT_EQ(Probe(view).m_nDuration, 0);
    EXPECT_TRUE(Probe(view).m_bPlaying);

    view->OnTimer(CLumarestView::kTickTimer); // a slide lasts one tick
    EXPECT_EQ(Probe(view).m_nQueueIndex, 2);
    EXPECT_EQ(doc->GetTitle(), paths[2]);
    EXPECT_EQ(list->GetHotItem(), 7);
    EXPECT_EQ(Probe(view).m_nDuration, 1);

    view->OnTimer(CLumarestView::kTickTimer);
    EXPECT_TRUE(Probe(view).m_bPlaying);
    playertest::TickAtTheEnd(view);
    EXPECT_FALSE(Probe(view).m_bPlaying);
    EXPECT_EQ(Probe(view).m_nQueueIndex, 0);
    EXPECT_FALSE(g_bQueuePlaying);
    EXPECT_EQ(Probe(view).m_strFile, paths[2]);
    EXPECT_TRUE(harness->messages.empty());

    // Play after the end: the last file again, then on to the second entry.
    view->OnPlayerPlay();
    EXPECT_TRUE(Probe(view).m_bPlaying);
    EXPECT_EQ(Probe(view).m_strFile, paths[2]);
    focus(view);
    ASSERT_TRUE(tickTo(view, 1));
    EXPECT_EQ(Probe(view).m_strFile, paths[1]);
}

TEST_F(Queue, ClosedPlayListIsLeftAlone) {
    const QStringList paths = threeEntries();
    CLumarestView* view = start(paths);
    ASSERT_NE(view, nullptr);
    list.reset(); // the play-list window closed
    EXPECT_TRUE(doc->m_pCListCtrl.isNull());
    ASSERT_TRUE(tickTo(view, 2));
    EXPECT_EQ(doc->GetTitle(), paths[2]);
}

TEST_F(Queue, RefusedAndMissingEntriesArePassedOver) {
    const QString missing =
        QDir(MediaFolder::instance().dir()).filePath(QStringLiteral("deleted.wav"));
    const QString text = fixtures::writeFile(MediaFolder::instance().dir(),
                                             QStringLiteral("notes.mp3"), "just some words\n");
    const QStringList paths{
        MediaFolder::instance().copy(Media::Wav, QStringLiteral("first.wav"), 1), missing, text,
        MediaFolder::instance().path(Media::Png)};
    CLumarestView* view = start(paths, false);
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(tickTo(view, 1, 2));
    EXPECT_EQ(harness->messageTexts(),
              QStringList{QStringLiteral("File not found: \"%1\"").arg(missing)});
    EXPECT_TRUE(Probe(view).m_bPlaying);
    EXPECT_EQ(Probe(view).m_nDuration, 0);
    ASSERT_TRUE(tickTo(view, 2, 1));
    EXPECT_EQ(harness->messageTexts().last(), QStringLiteral("Unsupported file format."));
    ASSERT_TRUE(tickTo(view, 3, 1));
    EXPECT_EQ(doc->GetTitle(), paths[3]);
    EXPECT_TRUE(view->HasGraph());
    EXPECT_EQ(harness->messages.size(), 2u);
    playertest::TickAtTheEnd(view);
    EXPECT_FALSE(g_bQueuePlaying);
}

// The user leaves the box of a refused entry open: the ticks go on behind it,
// the queue moves past the entry, and the box of a second refusal opens over it.
TEST_F(Queue, MovesOnWhileTheBoxOfARefusedEntryIsOpen) {
    g_nSlideDelay = 200;
    // Other windows play single files meanwhile, and come to their ends.
    for (int i = 0; i < 6; ++i)
        ASSERT_NE(open(MediaFolder::instance().copy(Media::Png, QString("other%1.png").arg(i))),
                  nullptr);
    const QString text = fixtures::writeFile(MediaFolder::instance().dir(),
                                             QStringLiteral("words.png"), "just some words\n");
    const QStringList paths{MediaFolder::instance().path(Media::Png), text, text,
                            MediaFolder::instance().path(Media::Jpeg)};
    std::vector<int> indexAtOpen;
    std::vector<int> indexAtClose;
    const MessageBoxHandler harnessAnswers = SetMessageBoxHandler([&](const MessageBoxRequest&) {
        CLumarestView* view = playertest::ViewOf(doc);
        indexAtOpen.push_back(Probe(view).m_nQueueIndex);
        // The box stays open, its loop running, until the queue has ended.
        AppHarness::waitFor([] { return !g_bQueuePlaying; }, 3000);
        indexAtClose.push_back(Probe(view).m_nQueueIndex);
        return IDOK;
    });
    CLumarestView* view = start(paths, false);
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(AppHarness::waitFor([] { return !g_bQueuePlaying; }, 5000));
    EXPECT_EQ(indexAtOpen, (std::vector<int>{1, 2}));
    EXPECT_EQ(indexAtClose, (std::vector<int>{0, 0})) << "the queue stood still behind a box";
    EXPECT_EQ(doc->GetTitle(), paths[3]);
    EXPECT_FALSE(Probe(view).m_bPlaying);

    // Refused as the first entry: passed over behind its box all the same.
    indexAtOpen.clear();
    indexAtClose.clear();
    view = start({text, MediaFolder::instance().path(Media::Jpeg)}, false);
    ASSERT_NE(view, nullptr);
    SetMessageBoxHandler(harnessAnswers);
    EXPECT_EQ(indexAtOpen, std::vector<int>{0});
    EXPECT_EQ(indexAtClose, std::vector<int>{0});
    EXPECT_EQ(doc->GetTitle(), MediaFolder::instance().path(Media::Jpeg))
        << "the queue stood still behind the box of its first entry";
    EXPECT_FALSE(g_bQueuePlaying);
}

// A machine too busy to play in time: the entry is held (here by the graph, behind the
// view's back) while the clock runs on. The entry is shown to its end all the same.
TEST_F(Queue, AnEntryPlayedSlowerThanTheClockIsShownToItsEnd) {
    const QStringList paths{MediaFolder::instance().copy(Media::Wav, QStringLiteral("slow.wav"), 2),
                            MediaFolder::instance().path(Media::Png)};
    CLumarestView* view = start(paths);
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(Probe(view).m_nDuration, 2);
    Probe(view).m_pMC->Pause();
    LONGLONG start = 0; // however far a busy machine got before the hold
    Probe(view).m_pMS->SetPositions(&start, AM_SEEKING_AbsolutePositioning, nullptr,
                                    AM_SEEKING_NoPositioning);
    AppHarness::pump(3500); // three ticks or more: past its length by the clock
    EXPECT_EQ(Probe(view).m_nQueueIndex, 0) << "the entry ended before it was played";
    EXPECT_EQ(Probe(view).m_nElapsed, 0);
    Probe(view).m_pMC->Run();
    EXPECT_TRUE(AppHarness::waitFor([&] { return Probe(view).m_nElapsed >= 1; }, 3000));
    EXPECT_EQ(Probe(view).m_nQueueIndex, 0);
    EXPECT_TRUE(AppHarness::waitFor([&] { return Probe(view).m_nQueueIndex == 1; }, 5000))
        << "the entry's end did not move the queue on";
}

// Window/Tile placed the window: the entries that follow keep its place and size, sound
// strip and picture alike, instead of going back to the top left at their own sizes.
TEST_F(Queue, AWindowArrangedByTileKeepsItsTile) {
    const QStringList paths{
        MediaFolder::instance().copy(Media::Wav, QStringLiteral("first.wav"), 1),
        MediaFolder::instance().copy(Media::Wav, QStringLiteral("second.wav"), 1),
        MediaFolder::instance().path(Media::AviMjpeg)};
    CLumarestView* view = start(paths);
    ASSERT_NE(view, nullptr);
    ASSERT_NE(open(MediaFolder::instance().pcm(60)), nullptr); // a second window to tile with
    ASSERT_TRUE(harness->frame().SendCommand(ID_WINDOW_TILE_HORZ));
    CMDIChildWnd* frame = view->GetParentFrame();
    const QRect tile = frame->geometry();
    ASSERT_GT(tile.height(), 100); // a tile, not a strip
    ASSERT_TRUE(tickTo(view, 1));
    EXPECT_EQ(frame->geometry(), tile) << "the next sound entry shrank the tile";
    ASSERT_TRUE(tickTo(view, 2));
    EXPECT_EQ(frame->geometry().topLeft(), tile.topLeft());
    EXPECT_EQ(frame->width(), tile.width()) << "the picture took the window back to its size";
    EXPECT_LE(frame->height(), tile.height());
}

TEST_F(Queue, RunsByItselfInRealTime) {
    g_nSlideDelay = 0; // slides still advance, at the shortest sane period
    const QStringList paths{
        MediaFolder::instance().path(Media::Png), MediaFolder::instance().path(Media::Jpeg),
        MediaFolder::instance().copy(Media::Wav, QStringLiteral("first.wav"), 1)};
    CLumarestView* view = start(paths);
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(AppHarness::waitFor([] { return !g_bQueuePlaying; }, 8000));
    EXPECT_FALSE(Probe(view).m_bPlaying);
    EXPECT_EQ(list->GetHotItem(), 7);
    EXPECT_EQ(doc->GetTitle(), paths[2]);
}

// The picture the window shows now, as bytes.
QByteArray shownPicture(CLumarestView* view) {
    return fixtures::LastPictureBytes(Probe(view).m_pGB->Pipeline());
}

// An animation that asks to loop plays again and again while it is alone in its window, its
// time counting one pass; in a queue it is an entry as long as one pass.
TEST_F(Queue, AnAnimationLoopsAloneAndLastsOnePassInAQueue) {
    constexpr LONGLONG kSecond = 10'000'000;
    const QString gif = fixtures::makeAnimatedGif(MediaFolder::instance().dir(), "loop.gif", 2);
    ASSERT_FALSE(gif.isEmpty());
    CLumarestView* alone = open(gif);
    ASSERT_NE(alone, nullptr);
    focus(alone);
    EXPECT_EQ(Probe(alone).m_nDuration, 2);
    LONGLONG furthest = 0;
    LONGLONG now = 0;
    const bool looped = AppHarness::waitFor(
        [&] {
            Probe(alone).m_pMS->GetCurrentPosition(&now);
            furthest = std::max(furthest, now);
            return furthest >= 3 * kSecond / 2 && now > kSecond / 5 && now < kSecond;
        },
        8000);
    EXPECT_TRUE(looped) << "no second pass: at " << now << ", furthest " << furthest;
    const QByteArray before = shownPicture(alone);
    AppHarness::pump(400);
    EXPECT_NE(shownPicture(alone), before) << "the second pass stands still";
    EXPECT_TRUE(Probe(alone).m_bPlaying);
    EXPECT_LE(Probe(alone).m_nElapsed, 2);

    CLumarestView* view = start({gif, MediaFolder::instance().path(Media::Png)});
    ASSERT_NE(view, nullptr);
    AppHarness::pump(1500); // no medium plays faster than the clock
    EXPECT_EQ(Probe(view).m_nQueueIndex, 0) << "moved on before the pass ended";
    EXPECT_TRUE(AppHarness::waitFor([&] { return Probe(view).m_nQueueIndex == 1; }, 8000))
        << "the animation holds the queue";
}

} // namespace
