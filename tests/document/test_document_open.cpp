// Opening files as a user does: File/Open, the recent-file list, the command
// line; a path that is open already, an empty file, a file that is gone, and
// Save, which must never touch a media file.
#include "AppHarness.h"
#include "MediaFixtures.h"
#include "PlayerViewProbe.h"

#include "app/CLumarestApp.h"
#include "app/CMainFrame.h"
#include "platform/framework/DocTemplate.h"
#include "platform/framework/MDIChildWnd.h"
#include "platform/framework/RecentFileList.h"
#include "player/CLumarestDoc.h"
#include "player/CLumarestView.h"
#include "res/Resource.h"

#include <QCryptographicHash>
#include <QFile>
#include <QMdiArea>
#include <gtest/gtest.h>

namespace {

QByteArray Digest(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

class DocumentOpen : public ::testing::Test {
protected:
    QTemporaryDir media;
    QString wav;
    void SetUp() override {
        wav = fixtures::makeMedia(fixtures::Media::Wav, media.path(), "a.wav", 2);
        ASSERT_FALSE(wav.isEmpty());
    }
};

TEST_F(DocumentOpen, FileOpenPlaysTheFileInANewPlayerWindow) {
    AppHarness h;
    QString filter;
    h.app().SetFileDialogHandler([&](const QString& f) {
        filter = f;
        return wav;
    });
    ASSERT_TRUE(h.frame().SendCommand(ID_FILE_OPEN));
    EXPECT_TRUE(filter.startsWith("All Files (*.*)"));
    const auto frames = h.frame().ChildFrames();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames.front()->GetDocTemplate(), h.app().m_pPlayerTemplate);
    auto* doc = dynamic_cast<CLumarestDoc*>(frames.front()->GetActiveDocument());
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->GetTitle(), "a.wav");
    EXPECT_EQ(doc->GetPathName(), wav);
    EXPECT_EQ(h.frame().windowTitle(), "Lumarest - a.wav");
    ASSERT_NE(doc->m_pCLumarestView, nullptr);
    EXPECT_EQ(Probe(doc->m_pCLumarestView).m_strFile, wav);
    EXPECT_EQ(Probe(doc->m_pCLumarestView).m_bstrFile, wav.toStdWString());
    // Opened from a file: no queue, no list.
    EXPECT_TRUE(doc->m_arrPaths.isEmpty());
    EXPECT_TRUE(doc->m_arrLines.empty());
    EXPECT_TRUE(doc->m_pCListCtrl.isNull());
    EXPECT_EQ(h.frame().CurrentMenuID(), IDR_PLAYERTYPE);
}

TEST_F(DocumentOpen, APathThatIsOpenAlreadyActivatesItsWindow) {
    AppHarness h;
    CDocument* first = h.app().OpenDocumentFile(wav);
    ASSERT_NE(first, nullptr);
    h.frame().SendCommand(ID_VIEW_PLAYLIST); // another window becomes active
    CDocument* again = h.app().OpenDocumentFile(wav);
    EXPECT_EQ(again, first);
    EXPECT_EQ(h.frame().ChildFrames().size(), 2u);
    ASSERT_NE(h.frame().MDIGetActive(), nullptr);
    EXPECT_EQ(h.frame().MDIGetActive()->GetActiveDocument(), first);
}

TEST_F(DocumentOpen, OpenedPathsJoinTheRecentFileListNewestFirst) {
    AppHarness h;
    const QString ogg = fixtures::makeMedia(fixtures::Media::OggVorbis, media.path(), "b.ogg", 1);
    h.app().OpenDocumentFile(wav);
    h.app().OpenDocumentFile(ogg);
    ASSERT_NE(h.app().m_pRecentFileList, nullptr);
    EXPECT_EQ(h.app().m_pRecentFileList->Paths(), QStringList({ogg, wav}));
    EXPECT_EQ(h.app().GetProfileString("Recent File List", "File1"), ogg);

    // A recent-file entry opens its file again ...
    h.frame().SendCommand(ID_FILE_CLOSE); // closes b.ogg
    ASSERT_EQ(h.frame().ChildFrames().size(), 1u);
    EXPECT_TRUE(h.frame().SendCommand(ID_FILE_MRU_FILE1));
    EXPECT_EQ(h.frame().ChildFrames().size(), 2u);
    // ... and one whose file is gone is dropped from the list.
    QFile::remove(ogg);
    h.app().CloseAllDocuments(true);
    h.app().m_pRecentFileList->Add(ogg);
    h.frame().SendCommand(ID_FILE_MRU_FILE1);
    EXPECT_FALSE(h.app().m_pRecentFileList->Paths().contains(ogg));
    EXPECT_TRUE(h.frame().ChildFrames().empty());
}

TEST_F(DocumentOpen, AFileThatCannotBeOpenedLeavesNoWindow) {
    AppHarness h;
    EXPECT_EQ(h.app().OpenDocumentFile(media.path() + "/missing.avi"), nullptr);
    EXPECT_TRUE(h.frame().ChildFrames().empty());
    ASSERT_EQ(h.messages.size(), 1u);
    EXPECT_TRUE(h.messages.front().text.contains("missing.avi"));
    EXPECT_TRUE(h.app().m_pRecentFileList->Paths().isEmpty());
}

TEST_F(DocumentOpen, AnEmptyFileOpensAWindowThatNeitherImportsNorPlays) {
    AppHarness h;
    QFile empty(media.path() + "/empty.wav");
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    auto* doc = dynamic_cast<CLumarestDoc*>(h.app().OpenDocumentFile(empty.fileName()));
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(h.frame().ChildFrames().size(), 1u);
    EXPECT_EQ(doc->GetTitle(), "empty.wav");
    // Serialize never ran: the view was given nothing to play.
    EXPECT_EQ(doc->m_pCLumarestView, nullptr);
    EXPECT_EQ(h.frame().m_PlayList.CountRecords("FILES"), 0);
    EXPECT_TRUE(h.messages.empty());
}

TEST_F(DocumentOpen, SaveNeverRewritesTheMediaFile) {
    AppHarness h;
    const QByteArray before = Digest(wav);
    ASSERT_NE(h.app().OpenDocumentFile(wav), nullptr);
    h.frame().SendCommand(ID_FILE_SAVE);
    AppHarness::pump(50);
    EXPECT_EQ(Digest(wav), before);
    EXPECT_EQ(QFileInfo(wav).size() > 0, true);
}

TEST_F(DocumentOpen, TheCommandLineOpensItsFile) {
    AppHarness h({"-x", wav});
    ASSERT_TRUE(h.started());
    const auto frames = h.frame().ChildFrames();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames.front()->GetActiveDocument()->GetPathName(), wav);
}

TEST(DocumentNames, ExtensionIsTheRealEndingAndFolderThePathBeforeTheName) {
    EXPECT_EQ(CLumarestDoc::ExtensionOf("song.mp3"), "mp3");
    EXPECT_EQ(CLumarestDoc::ExtensionOf("Song.MP3"), "MP3");
    EXPECT_EQ(CLumarestDoc::ExtensionOf("clip.mpeg"), "mpeg");
    EXPECT_EQ(CLumarestDoc::ExtensionOf("02 - Blue.flac"), "flac");
    EXPECT_EQ(CLumarestDoc::ExtensionOf("talk.v1.opus"), "opus");
    EXPECT_EQ(CLumarestDoc::ExtensionOf("record.ts"), "ts");
    // Without a real ending: the last three characters, as ever.
    EXPECT_EQ(CLumarestDoc::ExtensionOf("readme"), "dme");
    EXPECT_EQ(CLumarestDoc::ExtensionOf("odd."), "dd.");
    EXPECT_EQ(CLumarestDoc::ExtensionOf("ab"), "ab");
    EXPECT_EQ(CLumarestDoc::FolderOf("/music/x/a.mp3", "a.mp3"), "/music/x");
    EXPECT_EQ(CLumarestDoc::FolderOf("/a.avi", "a.avi"), ""); // a file at the root
}

} // namespace
