// The media document's play queue: starting it hands entry 0 to the player
// view and marks the queue as running; an empty queue does nothing.
#include "AppHarness.h"
#include "MediaFixtures.h"
#include "PlayerViewProbe.h"

#include "app/CLumarestApp.h"
#include "app/CMainFrame.h"
#include "app/SharedState.h"
#include "platform/framework/DocTemplate.h"
#include "platform/listctrl/ListCtrl.h"
#include "player/CLumarestDoc.h"
#include "player/CLumarestView.h"

#include <gtest/gtest.h>

namespace {

struct QueueFlagGuard {
    bool saved = g_bQueuePlaying;
    ~QueueFlagGuard() { g_bQueuePlaying = saved; }
};

TEST(DocumentQueue, StartingPlaysEntryZeroAndSetsTheQueueFlag) {
    QueueFlagGuard guard;
    QTemporaryDir media;
    const QString a = fixtures::makeMedia(fixtures::Media::Wav, media.path(), "a.wav", 1);
    const QString b = fixtures::makeMedia(fixtures::Media::Wav, media.path(), "b.wav", 1);
    AppHarness h;
    auto* doc =
        dynamic_cast<CLumarestDoc*>(h.app().m_pPlayerTemplate->OpenDocumentFile(QString(), true));
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->m_pCDao_PlayList, &h.frame().m_PlayList);
    doc->m_arrPaths = {a, b};
    doc->m_arrLines = {2, 5};
    g_bQueuePlaying = false;
    doc->StartPlayQueue();
    EXPECT_TRUE(g_bQueuePlaying);
    ASSERT_NE(doc->m_pCLumarestView, nullptr);
    EXPECT_EQ(Probe(doc->m_pCLumarestView).m_strFile, a);
    EXPECT_EQ(Probe(doc->m_pCLumarestView).m_bstrFile, a.toStdWString());
}

TEST(DocumentQueue, AnEmptyQueueLeavesTheFlagAsItWas) {
    QueueFlagGuard guard;
    AppHarness h;
    auto* doc =
        dynamic_cast<CLumarestDoc*>(h.app().m_pPlayerTemplate->OpenDocumentFile(QString(), true));
    ASSERT_NE(doc, nullptr);
    g_bQueuePlaying = false;
    doc->StartPlayQueue();
    EXPECT_FALSE(g_bQueuePlaying);
    EXPECT_EQ(doc->m_pCLumarestView, nullptr);
}

TEST(DocumentQueue, TheListReferenceClearsItselfWhenItsWindowGoes) {
    AppHarness h;
    auto* doc =
        dynamic_cast<CLumarestDoc*>(h.app().m_pPlayerTemplate->OpenDocumentFile(QString(), true));
    ASSERT_NE(doc, nullptr);
    auto* list = new CListCtrl;
    doc->m_pCListCtrl = list;
    EXPECT_FALSE(doc->m_pCListCtrl.isNull());
    delete list;
    EXPECT_TRUE(doc->m_pCListCtrl.isNull());
}

TEST(DocumentQueue, APlayListDocumentHasNoPlayerView) {
    QueueFlagGuard guard;
    AppHarness h;
    auto* doc =
        dynamic_cast<CLumarestDoc*>(h.app().m_pPlayListTemplate->OpenDocumentFile(QString(), true));
    ASSERT_NE(doc, nullptr);
    doc->FindPlayerView();
    EXPECT_EQ(doc->m_pCLumarestView, nullptr);
    doc->m_arrPaths = {"/nowhere/x.wav"};
    doc->StartPlayQueue(); // nothing to play it: nothing happens
    EXPECT_TRUE(h.messages.empty());
}

} // namespace
