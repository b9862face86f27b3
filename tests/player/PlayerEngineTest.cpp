// The playback engine through the player view: what a file's graph reports
// (durations), how the window is laid out for video and for sound, which files
// are refused, and restarting, pausing and stopping.
#include "PlayerTestSupport.h"
#include "PlayerViewProbe.h"
#include "TestTime.h"

#include "app/CMainFrame.h"
#include "app/SharedState.h"
#include "platform/framework/Document.h"
#include "platform/framework/MDIChildWnd.h"
#include "platform/framework/StatusBar.h"
#include "platform/media/GraphFailures.h"
#include "player/CLumarestView.h"
#include "res/Resource.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QMdiArea>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <gst/gst.h>

#include <atomic>

using fixtures::Media;
using playertest::MediaFolder;
using playertest::PlayerTest;

namespace {

class Engine : public PlayerTest {};

// Decoders taken out of the registry's choice for a while, put back afterwards.
class WithoutDecoders {
public:
    explicit WithoutDecoders(std::initializer_list<const char*> names) {
        for (const char* name : names) {
            if (GstPluginFeature* f = gst_registry_lookup_feature(gst_registry_get(), name)) {
                m_ranks.emplace_back(f, gst_plugin_feature_get_rank(f));
                gst_plugin_feature_set_rank(f, GST_RANK_NONE);
            }
        }
    }
    ~WithoutDecoders() {
        for (auto& [feature, rank] : m_ranks) {
            gst_plugin_feature_set_rank(feature, rank);
            gst_object_unref(feature);
        }
    }
    WithoutDecoders(const WithoutDecoders&) = delete;
    WithoutDecoders& operator=(const WithoutDecoders&) = delete;

private:
    std::vector<std::pair<GstPluginFeature*, guint>> m_ranks;
};

long stateOf(CLumarestView* view) {
    long state = -1;
    Probe(view).m_pMC->GetState(2000, &state);
    return state;
}

// A type finder tried before all others that, once asked, takes its time over a file's
// first bytes, as a starved machine does: the medium is fine, only slow to start.
std::atomic<int> g_slowStartMs{0};

void SlowFind(GstTypeFind*, gpointer) {
    if (const int ms = g_slowStartMs.exchange(0); ms > 0)
        g_usleep(static_cast<gulong>(ms) * 1000);
}

void SlowNextStart(int ms) {
    static const bool registered =
        gst_type_find_register(nullptr, "lumarest-test-slow-start", GST_RANK_PRIMARY + 100,
                               SlowFind, "wav", nullptr, nullptr, nullptr);
    ASSERT_TRUE(registered);
    g_slowStartMs = ms;
}

LONGLONG positionOf(CLumarestView* view) {
    LONGLONG position = -1;
    Probe(view).m_pMS->GetCurrentPosition(&position);
    return position;
}

TEST_F(Engine, DurationsAsTheGraphReportsThem) {
    CLumarestView* wav = open(MediaFolder::instance().path(Media::Wav));
    ASSERT_NE(wav, nullptr);
    EXPECT_TRUE(Probe(wav).m_bPlaying);
    EXPECT_EQ(Probe(wav).m_nDuration, 5);
    EXPECT_EQ(Probe(wav).m_llDuration, 50'000'000);
    EXPECT_EQ(wav->TimerInterval(CLumarestView::kTickTimer), 1000);
    EXPECT_EQ(wav->TimerInterval(CLumarestView::kSliderTimer), 10);

    CLumarestView* png = open(MediaFolder::instance().path(Media::Png));
    ASSERT_NE(png, nullptr);
    EXPECT_EQ(Probe(png).m_nDuration, 0);
    EXPECT_EQ(Probe(png).m_llDuration, 0);
    EXPECT_TRUE(Probe(png).m_wndSlider.isNull());
    EXPECT_EQ(png->TimerInterval(CLumarestView::kTickTimer), 1000); // the slide delay

    CLumarestView* mp3 = open(MediaFolder::instance().path(Media::Mp3NoXing));
    ASSERT_NE(mp3, nullptr);
    EXPECT_NEAR(Probe(mp3).m_nDuration, 5, 1);
    EXPECT_NEAR(double(Probe(mp3).m_llDuration), 5e7, 0.3e7);
}

TEST_F(Engine, SliderHoldsTheWholeLengthOfLongMedia) {
    CLumarestView* view = open(MediaFolder::instance().pcm(40'000));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(Probe(view).m_nDuration, 40'000);
    ASSERT_FALSE(Probe(view).m_wndSlider.isNull());
    EXPECT_EQ(Probe(view).m_wndSlider->minimum(), 0);
    EXPECT_EQ(Probe(view).m_wndSlider->maximum(), 40'000);
    EXPECT_EQ(Probe(view).m_wndSlider->singleStep(), 400);
    EXPECT_EQ(Probe(view).m_wndSlider->pageStep(), 2000);
    EXPECT_EQ(Probe(view).m_wndSlider->parentWidget(), static_cast<QWidget*>(&bar()));
}

TEST_F(Engine, SoundGetsAStripAtTheTopLeft) {
    const QString path = MediaFolder::instance().path(Media::OggVorbis);
    CLumarestView* view = open(path);
    ASSERT_NE(view, nullptr);
    CMDIChildWnd* frame = view->GetParentFrame();
    EXPECT_EQ(frame->pos(), QPoint(0, 0));
    EXPECT_EQ(frame->width(), 8 * path.size());
    EXPECT_EQ(frame->height(), frame->minimumSizeHint().height()); // as low as it goes
    EXPECT_EQ(Probe(view).m_pVW->VideoWidget(), nullptr);
    EXPECT_TRUE(frame->isVisible());
}

TEST_F(Engine, VideoSizesTheFrameAndFillsTheView) {
    // Played into a window that is already shown, as the queue does.
    CLumarestView* view = emptyPlayer();
    ASSERT_NE(view, nullptr);
    const QString path = MediaFolder::instance().path(Media::AviMjpeg);
    Probe(view).m_strFile = path;
    Probe(view).m_bstrFile = path.toStdWString();
    ASSERT_TRUE(view->Play(Probe(view).m_bstrFile.c_str(), false));
    CMDIChildWnd* frame = view->GetParentFrame();
    EXPECT_EQ(frame->geometry(), QRect(0, 0, 320, 240));
    QWidget* video = Probe(view).m_pVW->VideoWidget();
    ASSERT_NE(video, nullptr);
    EXPECT_EQ(video->parentWidget(), view);
    EXPECT_EQ(video->geometry(), QRect(0, 0, 320, 240 - 38));

    // Opened as File/Open does, while the window is still hidden: the frame takes
    // its size only when shown, and the video ends up placed the same way, not
    // fitted to the view's width with its bottom below the view's.
    CLumarestView* opened = open(MediaFolder::instance().path(Media::WebmVp8));
    ASSERT_NE(opened, nullptr);
    EXPECT_TRUE(opened->isVisible());
    EXPECT_EQ(opened->GetParentFrame()->geometry(), QRect(0, 0, 320, 240));
    QWidget* fitted = Probe(opened).m_pVW->VideoWidget();
    ASSERT_NE(fitted, nullptr);
    EXPECT_EQ(fitted->parentWidget(), opened);
    EXPECT_EQ(fitted->geometry(), QRect(0, 0, 320, 240 - 38));
    EXPECT_LE(fitted->height(), opened->height());

    // A later resize keeps the picture's aspect.
    opened->GetParentFrame()->resize(500, 400);
    EXPECT_EQ(fitted->width(), opened->width());
    EXPECT_EQ(fitted->height(), int(opened->width() * 240.0 / 320));
}

// A picture larger than the area of the windows opens scaled down, its shape kept: the whole
// window, caption included, lies in the area.
TEST_F(Engine, VideoLargerThanTheAreaOpensScaledToFit) {
    QTemporaryDir dir;
    const QString path = fixtures::makeMedia(Media::AviMjpeg, dir.path(),
                                             QStringLiteral("wide.avi"), 2, QSize(1600, 900));
    ASSERT_FALSE(path.isEmpty());
    CLumarestView* view = open(path);
    ASSERT_NE(view, nullptr);
    CMDIChildWnd* frame = view->GetParentFrame();
    const QRect area(QPoint(0, 0), frame->mdiArea()->viewport()->size());
    ASSERT_LT(area.width(), 1600) << "the test needs an area narrower than the picture";
    EXPECT_TRUE(area.contains(frame->geometry()))
        << "frame " << frame->width() << " x " << frame->height() << " in " << area.width() << " x "
        << area.height();
    EXPECT_EQ(frame->pos(), QPoint(0, 0));
    EXPECT_TRUE(frame->width() == area.width() || frame->height() == area.height());
    EXPECT_NEAR(double(frame->width()) / frame->height(), 16.0 / 9.0, 0.02);
    const QWidget* video = Probe(view).m_pVW->VideoWidget();
    ASSERT_NE(video, nullptr);
    EXPECT_EQ(video->geometry(), QRect(0, 0, frame->width(), frame->height() - 38));
    EXPECT_LE(video->height(), view->height());
}

// A picture smaller than the smallest window is shown at its own size in the middle of the
// view, pixel for pixel as the file holds it, not blown up to the window's width; the view's
// own colour around it. So it stays when the window is made larger.
TEST_F(Engine, SmallPictureShownAtItsOwnSizeInTheMiddle) {
    QTemporaryDir dir;
    const QString path =
        fixtures::makeMedia(Media::Png, dir.path(), QStringLiteral("icon.png"), 1, QSize(64, 43));
    ASSERT_FALSE(path.isEmpty());
    const QImage own = QImage(path).convertToFormat(QImage::Format_RGB32);
    const QByteArray sink = qgetenv("LUMAREST_VIDEOSINK");
    qunsetenv("LUMAREST_VIDEOSINK"); // the view paints the picture itself
    CLumarestView* view = open(path);
    qputenv("LUMAREST_VIDEOSINK", sink);
    ASSERT_NE(view, nullptr);
    for (const QSize outer : {QSize(), QSize(400, 300)}) {
        if (outer.isValid())
            view->GetParentFrame()->resize(outer);
        QCoreApplication::processEvents();
        const QImage shown = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QColor background = shown.pixelColor(0, 0);
        QRect painted;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                if (shown.pixelColor(x, y) != background)
                    painted |= QRect(x, y, 1, 1);
        EXPECT_EQ(painted.size(), own.size()) << view->width() << " x " << view->height();
        EXPECT_LE(std::abs(painted.center().x() - view->rect().center().x()), 1);
        EXPECT_LE(std::abs(painted.center().y() - view->rect().center().y()), 1);
        EXPECT_EQ(shown.copy(QRect(painted.topLeft(), own.size())), own);
    }
}

// "lumarest pic.png" typed in the picture's folder: the path given is relative to the
// working folder, and the folder imported is the picture's.
TEST_F(Engine, ARelativePathImportsItsFolderAndPlaysTheFile) {
    const QString here = QDir(harness->dir()).absolutePath();
    ASSERT_EQ(QDir::current().absolutePath(), here);
    ASSERT_FALSE(fixtures::makeMedia(Media::Png, here, QStringLiteral("one.png")).isEmpty());
    ASSERT_FALSE(fixtures::makeMedia(Media::Png, here, QStringLiteral("two.png")).isEmpty());
    g_bImportOnOpen = true;
    CLumarestView* view = open(QStringLiteral("one.png"));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(harness->frame().m_PlayList.CountRecords(QStringLiteral("FILES")), 2);
    EXPECT_EQ(Probe(view).m_strFile, QDir(here).filePath(QStringLiteral("one.png")));
    EXPECT_TRUE(Probe(view).m_bPlaying);
    EXPECT_EQ(Probe(view).m_nDuration, 0);
}

TEST_F(Engine, SoundOffAtBuildStartsSilent) {
    CLumarestView* view = emptyPlayer();
    ASSERT_NE(view, nullptr);
    Probe(view).m_bSoundOff = true;
    Probe(view).m_lVolume = -500;
    ASSERT_TRUE(view->Play(MediaFolder::instance().path(Media::Wav).toStdWString().c_str(), false));
    EXPECT_EQ(graphVolume(view), -10000);

    CLumarestView* other = emptyPlayer();
    Probe(other).m_lVolume = -500;
    ASSERT_TRUE(
        other->Play(MediaFolder::instance().path(Media::Wav).toStdWString().c_str(), false));
    EXPECT_EQ(graphVolume(other), -500);
}

TEST_F(Engine, RefusesFilesItCannotPlay) {
    const QString text = fixtures::writeFile(MediaFolder::instance().dir(),
                                             QStringLiteral("text.avi"), "This is not a film.\n");
    CLumarestView* view = open(text);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(harness->messageTexts(), QStringList{QStringLiteral("Unsupported file format.")});
    EXPECT_FALSE(Probe(view).m_bPlaying);
    EXPECT_NE(Probe(view).m_pGB, nullptr); // the builder of the refused file stays held
    EXPECT_FALSE(view->HasGraph());

    // Nothing can be decoded: no picture and no sound decoder.
    harness->messages.clear();
    const QString webmPath = MediaFolder::instance().path(Media::WebmVp8);
    CLumarestView* webm = emptyPlayer();
    {
        WithoutDecoders gone({"vp8dec", "avdec_vp8", "vorbisdec", "avdec_vorbis"});
        EXPECT_FALSE(webm->Play(webmPath.toStdWString().c_str(), false));
    }
    // Only the picture cannot be decoded: the sound plays, in a strip.
    CLumarestView* soundOnly = emptyPlayer();
    {
        WithoutDecoders gone({"vp8dec", "avdec_vp8"});
        EXPECT_TRUE(soundOnly->Play(webmPath.toStdWString().c_str(), false));
    }
    EXPECT_EQ(harness->messageTexts(), QStringList{QStringLiteral("Unsupported file format.")});
    EXPECT_FALSE(Probe(webm).m_bPlaying);
    EXPECT_TRUE(Probe(soundOnly).m_bPlaying);
    EXPECT_EQ(soundOnly->GetParentFrame()->width(), 8 * webmPath.size());
}

// Slower to start than a medium ever used to be given: waited for, not refused, with the
// wait cursor, while the other windows go on and a window closed meanwhile goes after.
TEST_F(Engine, AMediumSlowToStartIsWaitedForWhileTheOtherWindowsGoOn) {
    CLumarestView* other = open(MediaFolder::instance().pcm(60));
    ASSERT_NE(other, nullptr);
    ASSERT_TRUE(Probe(other).m_bPlaying);
    const int before = Probe(other).m_nElapsed;
    CLumarestView* slow = emptyPlayer();
    ASSERT_NE(slow, nullptr);
    bool waitCursor = false;
    QTimer::singleShot(2000, [&] {
        waitCursor = QApplication::overrideCursor() != nullptr &&
                     QApplication::overrideCursor()->shape() == Qt::WaitCursor;
    });
    SlowNextStart(6000);
    const QString wav = MediaFolder::instance().path(Media::Wav);
    EXPECT_TRUE(slow->Play(wav.toStdWString().c_str(), false));
    EXPECT_TRUE(harness->messageTexts().isEmpty()) << qPrintable(harness->messageTexts().join('|'));
    EXPECT_TRUE(Probe(slow).m_bPlaying);
    EXPECT_TRUE(slow->HasGraph());
    EXPECT_GE(Probe(other).m_nElapsed - before, 4) << "the other window stood still";
    EXPECT_TRUE(waitCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    CLumarestView* closing = emptyPlayer();
    ASSERT_NE(closing, nullptr);
    const QPointer<CMDIChildWnd> frame = closing->GetParentFrame();
    QTimer::singleShot(500, [&] { closing->GetDocument()->OnCloseDocument(); });
    SlowNextStart(1500);
    EXPECT_TRUE(closing->Play(wav.toStdWString().c_str(), false));
    ASSERT_FALSE(frame.isNull()) << "the window went while its medium was starting";
    EXPECT_TRUE(AppHarness::waitFor([&] { return frame.isNull(); }));
}

TEST_F(Engine, MissingOrUnreadableFilesAreNamedAndTheProgramGoesOn) {
    const QString missing =
        QDir(MediaFolder::instance().dir()).filePath(QStringLiteral("gone.wav"));
    CLumarestView* view = emptyPlayer();
    ASSERT_NE(view, nullptr);
    Probe(view).m_strFile = missing;
    EXPECT_FALSE(view->Play(missing.toStdWString().c_str(), false));
    // A folder cannot be read as a file.
    EXPECT_FALSE(view->Play(MediaFolder::instance().dir().toStdWString().c_str(), false));
    EXPECT_EQ(
        harness->messageTexts(),
        (QStringList{QStringLiteral("File not found: \"%1\"").arg(missing),
                     QStringLiteral("File not found: \"%1\"").arg(MediaFolder::instance().dir())}));
    EXPECT_FALSE(Probe(view).m_bPlaying);
    EXPECT_FALSE(QFile::exists(QDir(harness->dir()).filePath(QStringLiteral("LUMarest.log"))));
    // The view is still usable.
    EXPECT_TRUE(view->Play(MediaFolder::instance().path(Media::Wav).toStdWString().c_str(), false));
    EXPECT_TRUE(Probe(view).m_bPlaying);
}

TEST_F(Engine, PlayStopsAndRestartsFromTheBeginning) {
    CLumarestView* view = open(MediaFolder::instance().path(Media::Wav));
    ASSERT_NE(view, nullptr);
    focus(view);
    EXPECT_EQ(stateOf(view), State_Running);
    LONGLONG three = 30'000'000;
    Probe(view).m_pMS->SetPositions(&three, AM_SEEKING_AbsolutePositioning, nullptr,
                                    AM_SEEKING_NoPositioning);
    Probe(view).m_nElapsed = 3;
    Probe(view).m_wndSlider->setValue(3);
    Probe(view).m_nSliderPos = 3;

    ASSERT_TRUE(view->OnCmdMsg(ID_PLAYER_PLAY, nullptr));
    EXPECT_FALSE(Probe(view).m_bPlaying);
    EXPECT_EQ(Probe(view).m_nElapsed, 0);
    EXPECT_EQ(stateOf(view), State_Stopped);
    EXPECT_FALSE(Probe(view).m_wndSlider->isVisible());
    EXPECT_EQ(pane(0), " Time:  0 / 5 sec") << "the time shows the medium back at its start";
    CCmdUI check(ID_PLAYER_PLAY);
    view->OnCmdMsg(ID_PLAYER_PLAY, &check);
    EXPECT_EQ(check.m_nCheck, 0);

    view->OnCmdMsg(ID_PLAYER_PLAY, nullptr);
    EXPECT_TRUE(Probe(view).m_bPlaying);
    EXPECT_EQ(Probe(view).m_nSliderPos, 0); // the view moved the slider: no drag to seek
    EXPECT_EQ(stateOf(view), State_Running);
    EXPECT_LT(positionOf(view), 10'000'000);
    EXPECT_EQ(Probe(view).m_wndSlider->value(), 0);
    EXPECT_TRUE(Probe(view).m_wndSlider->isVisible());
    view->OnCmdMsg(ID_PLAYER_PLAY, &check);
    EXPECT_EQ(check.m_nCheck, 1);
}

// The end of a medium is told as it comes, not at the next tick; an end that came before a
// seek, still on its way when the seek is made, ends nothing.
TEST_F(Engine, TheEndIsToldAsItComesAndAnEndBeforeASeekIsForgotten) {
    CLumarestView* view = open(MediaFolder::instance().path(Media::Wav));
    ASSERT_NE(view, nullptr);
    focus(view);
    view->KillTimer(CLumarestView::kTickTimer);
    int told = 0;
    QObject::connect(view, &CLumarestView::playbackChanged, [&] { ++told; });
    ASSERT_TRUE(view->SeekTo(4));
    ASSERT_TRUE(AppHarness::waitFor([&] { return told > 0; }));
    EXPECT_EQ(view->Status(), CLumarestView::PlayStatus::Ended);

    ASSERT_TRUE(view->SeekTo(4));
    QThread::msleep(testtime::scaled(2500)); // the end comes meanwhile, and waits to be handled
    ASSERT_TRUE(view->SeekTo(1));
    QApplication::processEvents();
    QTest::qWait(100);
    EXPECT_EQ(view->Status(), CLumarestView::PlayStatus::Playing);
    EXPECT_FALSE(Probe(view).m_pME->HasEnded());
}

TEST_F(Engine, PauseHoldsAndResumes) {
    CLumarestView* view = open(MediaFolder::instance().path(Media::Wav));
    ASSERT_NE(view, nullptr);
    view->OnCmdMsg(ID_PLAYER_PAUSE, nullptr);
    EXPECT_TRUE(Probe(view).m_bPaused);
    EXPECT_EQ(stateOf(view), State_Paused);
    CCmdUI check(ID_PLAYER_PAUSE);
    view->OnCmdMsg(ID_PLAYER_PAUSE, &check);
    EXPECT_EQ(check.m_nCheck, 1);
    g_bQueuePlaying = true;
    for (int i = 0; i < 10; ++i)
        view->OnTimer(CLumarestView::kTickTimer); // paused: nothing counts, nothing ends
    EXPECT_EQ(Probe(view).m_nElapsed, 0);
    EXPECT_TRUE(Probe(view).m_bPlaying);

    view->OnCmdMsg(ID_PLAYER_PAUSE, nullptr);
    EXPECT_FALSE(Probe(view).m_bPaused);
    EXPECT_EQ(stateOf(view), State_Running);

    // Stopped, Pause does nothing.
    view->OnCmdMsg(ID_PLAYER_PLAY, nullptr);
    view->OnCmdMsg(ID_PLAYER_PAUSE, nullptr);
    EXPECT_FALSE(Probe(view).m_bPaused);
    EXPECT_EQ(stateOf(view), State_Stopped);
}

TEST_F(Engine, NoGraphNoHarm) {
    CLumarestView* view = emptyPlayer();
    ASSERT_NE(view, nullptr);
    for (UINT id : {ID_PLAYER_PLAY, ID_PLAYER_PAUSE, ID_VIEW_FULLSCREEN, ID_PLAYER_SOUND})
        EXPECT_TRUE(view->OnCmdMsg(id, nullptr));
    for (unsigned key : {0x23u, 0x24u, 0x26u, 0x28u, 0x4Du, 0x6Bu, 0x6Du})
        view->OnKeyDown(key, 1, 0);
    for (unsigned timer : {1u, 2u, 3u})
        view->OnTimer(timer);
    view->GetParentFrame()->resize(300, 200);
    view->Stop();
    EXPECT_FALSE(Probe(view).m_bPlaying);
    EXPECT_FALSE(Probe(view).m_bFullScreen);
    EXPECT_TRUE(Probe(view).m_bSoundOff);
    EXPECT_EQ(g_nSlideDelay, 1000);

    // After a refused file only the builder is held: the same holds.
    fixtures::writeFile(harness->dir(), QStringLiteral("empty.mp3"), "junk");
    view->Play(QDir(harness->dir()).filePath(QStringLiteral("empty.mp3")).toStdWString().c_str(),
               false);
    ASSERT_NE(Probe(view).m_pGB, nullptr);
    for (UINT id : {ID_PLAYER_PLAY, ID_PLAYER_PAUSE, ID_VIEW_FULLSCREEN, ID_PLAYER_SOUND})
        view->OnCmdMsg(id, nullptr);
    view->OnKeyDown(0x4D, 1, 0);
    view->OnTimer(1);
    EXPECT_FALSE(Probe(view).m_bPlaying);
}

} // namespace
