// The playback engine of the player view: building a graph for a file, laying
// out the window for video or sound, restarting, stopping and releasing.
#include "player/CLumarestView.h"

#include "platform/framework/BusyWait.h"
#include "platform/framework/Locations.h"
#include "platform/framework/MDIChildWnd.h"
#include "platform/framework/MessageBox.h"
#include "platform/media/WhileStarting.h"
#include "platform/trace/StageMarks.h"
#include "player/PlayerMath.h"
#include "player/PlayerTexts.h"

#include <QLayout>
#include <QMdiArea>
#include <QPointer>
#include <QScopedValueRollback>

#include <utility>

namespace {
// A clipped child window: the video never paints over its siblings or children.
constexpr long kVideoWindowStyle = 0x46000000;
constexpr long kSilence = -10000;
// Each character of a sound-only file's path widens its strip by this much.
constexpr int kStripPixelsPerCharacter = 8;

// The room the child windows have. A main window that is not shown yet (the program started
// with a file) has not laid out its children: it does so now, as it will when shown.
QSize WindowsArea(const CMDIChildWnd& frame) {
    QMdiArea* area = frame.mdiArea();
    if (!area)
        return {};
    if (QLayout* layout = area->window()->layout(); layout && !area->window()->isVisible())
        layout->activate();
    return area->contentsRect().size();
}

} // namespace

bool CLumarestView::Play(const wchar_t* path, bool restart) {
    // Asked again while its medium is still starting (by a call that came in meanwhile):
    // the medium on its way is what plays.
    if (m_bStarting)
        return true;
    if (restart)
        return Restart();
    // A copy: the path may be m_bstrFile itself, which building may change.
    return Build(path ? std::wstring(path) : m_bstrFile);
}

bool CLumarestView::Restart() {
    if (!HasGraph())
        return true;
    m_nElapsed = 0;
    if (m_pMS) {
        LONGLONG start = 0;
        m_pMS->SetPositions(&start, AM_SEEKING_AbsolutePositioning, nullptr,
                            AM_SEEKING_NoPositioning);
    }
    m_pMC->Run();
    if (m_wndSlider) {
        SetSliderValue(0);
        m_wndSlider->show();
    }
    // The view moved the slider, not the user: no seek must follow.
    m_nSliderPos = 0;
    m_bPlaying = true;
    AnnounceChanges();
    return true;
}

bool CLumarestView::Build(const std::wstring& path) {
    m_nElapsed = 0;
    m_nDuration = 0;
    m_tags = {};
    setToolTip(QString());
    if (!CheckResult(1, CoCreateFilterGraph(m_pGB)) || !m_pGB)
        return true;
    if (const HRESULT hr = Render(path); FAILED(hr))
        return Refused(hr, path);
    QueryFacets();
    if (m_pME)
        m_pME->SetEndedNotify([view = QPointer(this)] {
            if (view)
                view->OnMediumEnded();
        });
    m_tags = m_pGB->GetTags();
    setToolTip(TagsToolTip(m_tags.artist, m_tags.title));
    TitleByStream();
    m_pGB->SetTagsNotify([view = QPointer(this)] {
        if (view)
            view->OnStreamTagsChanged();
    });
    PutVolume(m_bSoundOff ? kSilence : static_cast<long>(m_lVolume));
    ApplySpeed();
    if (OwnsStatusBar())
        ShowVolume(); // an M of the entry before is not carried over
    if (m_pBV && !m_bSubtitles)
        m_pBV->put_SubtitlesShown(false);
    long visible = OAFALSE;
    if (m_pVW && m_pVW->get_Visible(&visible) == S_OK)
        VideoLayout();
    else
        SoundLayout(path);
    StartTimers(QString());
    ShowChapterMarks();
    ResumeWhereLeft();
    if (m_pMC)
        CheckResult(14, m_pMC->Run());
    m_bPlaying = true;
    AnnounceChanges();
    return true;
}

// A medium may take seconds to start on a busy machine: the other windows go on
// meanwhile, and the user's input waits for the end with the wait cursor shown. A stream
// may take many seconds to answer: the program takes the user's input meanwhile, and this
// view, half made, ignores what is meant for it (IsStartingMedium).
HRESULT CLumarestView::Render(const std::wstring& path) {
    const std::shared_ptr<IGraphBuilder> builder = m_pGB; // whatever happens meanwhile
    CBusyWait wait(AfxIsStreamUrl(QString::fromStdWString(path)) ? CBusyWait::Input::Taken
                                                                 : CBusyWait::Input::Held);
    const media::WhileStarting keepAlive([&wait] { wait.Pump(); });
    const QScopedValueRollback starting(m_bStarting, true);
    const HRESULT hr = builder->RenderFile(path);
    trace::MarkStage("preroll");
    return hr;
}

// A file the graph cannot play is refused with a message; the view stays as
// it was, holding only the new graph builder. A missing or unreadable file is
// named, so that the user can tell it from one in an unknown format.
//
// The box may be opened by the tick that moved the queue on, and Qt holds a
// timer's events back while its own handler runs: re-armed with its period, the
// tick goes on while the box is open, and the next one moves past this entry.
// A tick then runs inside the box's loop, and may open a box of its own over
// this one; nothing here touches the view after the box, so neither undoes
// what the other did.
bool CLumarestView::Refused(HRESULT hr, const std::wstring& path) {
    if (const int period = TimerInterval(kTickTimer); period >= 0)
        SetTimer(kTickTimer, period);
    else if (RunsAQueue())
        PassOverRefused(); // the first entry: the queue's clock starts here
    AnnounceChanges();
    if (const QString url = QString::fromStdWString(path); AfxIsStreamUrl(url))
        ReportRefusedStream(url);
    else if (hr == HRESULT_FILE_NOT_FOUND || hr == HRESULT_ACCESS_DENIED)
        AfxMessageBox(FileNotFoundText(QString::fromStdWString(path)), MB_OK);
    else
        AfxMessageBox(UnsupportedFormatText(), MB_OK);
    return false;
}

// A refused entry leaves the timers as they were; the first entry of a queue has
// none yet, so they are armed as for a still image (the duration is 0), before
// its box opens.
void CLumarestView::PassOverRefused() {
    StartTimers(QString());
    m_bPlaying = true;
}

void CLumarestView::QueryFacets() {
    CheckResult(3, m_pGB->QueryInterface(m_pMC));
    CheckResult(4, m_pGB->QueryInterface(m_pME));
    CheckResult(5, m_pGB->QueryInterface(m_pMS));
    CheckResult(6, m_pGB->QueryInterface(m_pMP));
    CheckResult(7, m_pGB->QueryInterface(m_pVW));
    CheckResult(8, m_pGB->QueryInterface(m_pBV));
    CheckResult(9, m_pGB->QueryInterface(m_pBA));
}

// The frame takes the native picture size (outer size), and the video fills
// the view below the caption allowance.
void CLumarestView::VideoLayout() {
    CheckResult(10, m_pVW->put_Owner(this));
    CheckResult(11, m_pVW->put_WindowStyle(kVideoWindowStyle));
    long w = 0;
    long h = 0;
    if (m_pBV)
        CheckResult(12, m_pBV->GetVideoSize(&w, &h));
    // A picture larger than the area the windows live in opens scaled down to fit it, so
    // that the window's caption and the whole picture stay in view.
    QSize outer(static_cast<int>(w), static_cast<int>(h));
    CMDIChildWnd* frame = GetParentFrame();
    if (frame && m_bArranged) {
        // Arranged by Tile or Cascade: the window keeps its place, the picture fits it.
        CheckResult(13, m_pVW->SetWindowPosition(0, 0, width(), height()));
        m_rcPlaceOnShow.reset();
        OnArranged();
        return;
    }
    if (frame) {
        outer = OpenedFrameSize(w, h, WindowsArea(*frame));
        frame->MoveWindow(0, 0, outer.width(), outer.height(), true);
    }
    const QSize below(outer.width(), static_cast<int>(VideoWindowHeight(outer.height())));
    const QRect placement = SmallPictureRect(below).value_or(QRect(QPoint(0, 0), below));
    CheckResult(13, m_pVW->SetWindowPosition(placement.x(), placement.y(), placement.width(),
                                             placement.height()));
    // A hidden frame takes its new size only when it is shown, and the fitting that
    // the size change brings would replace this placement and cut the picture's bottom
    // off. So the placement is made again then: last, as in a frame already shown.
    m_rcPlaceOnShow.reset();
    if (!isVisible())
        m_rcPlaceOnShow = placement;
}

std::optional<QRect> CLumarestView::SmallPictureRect(QSize view) const {
    long w = 0;
    long h = 0;
    if (!NativeVideoSize(w, h))
        return std::nullopt;
    return SmallPicturePlacement(view, w, h, devicePixelRatioF());
}

// The size change a hidden frame was given reaches the view before this.
void CLumarestView::showEvent(QShowEvent* event) {
    CView::showEvent(event);
    std::optional<QRect> placement = std::exchange(m_rcPlaceOnShow, std::nullopt);
    // A small picture goes in the middle of the view as it turned out.
    if (placement && SmallPictureRect(size()))
        placement = SmallPictureRect(size());
    if (placement && m_pVW)
        m_pVW->SetWindowPosition(placement->x(), placement->y(), placement->width(),
                                 placement->height());
}

// Sound only: a strip at the top left, as wide as the path and as low as the frame allows.
// A window arranged by Tile or Cascade keeps its place and size.
void CLumarestView::SoundLayout(const std::wstring& path) {
    m_strText = QString::fromStdWString(path);
    const int width = kStripPixelsPerCharacter * static_cast<int>(m_strText.size());
    if (CMDIChildWnd* frame = GetParentFrame(); frame && !m_bArranged)
        frame->MoveWindow(0, 0, width, 0, true);
}

bool CLumarestView::NativeVideoSize(long& w, long& h) const {
    // Sound only: there is no picture.
    return m_pVW && m_pBV && SUCCEEDED(m_pBV->GetVideoSize(&w, &h)) && w > 0 && h > 0;
}

// The video keeps its aspect at the view's width; left and top stay. A picture smaller
// than the smallest frame stays at its own size in the middle instead, not blown up.
void CLumarestView::FitVideo(int cx) {
    long w = 0;
    long h = 0;
    if (!NativeVideoSize(w, h))
        return;
    if (const std::optional<QRect> small = SmallPictureRect(QSize(cx, height()))) {
        m_pVW->SetWindowPosition(small->x(), small->y(), small->width(), small->height());
        return;
    }
    const std::optional<long> height = FittedVideoHeight(cx, w, h);
    if (!height)
        return;
    m_pVW->put_Width(cx);
    m_pVW->put_Height(*height);
}

void CLumarestView::OnSize(unsigned type, int cx, int cy) {
    CView::OnSize(type, cx, cy);
    if (!m_pVW)
        return;
    // A frame being shown for the first time gets the placement made for it (showEvent):
    // a fitting now would only flash the sink a size it is not going to keep.
    if (!m_rcPlaceOnShow)
        FitVideo(cx);
    // Painted with the paint that follows the resize: a repaint forced inside the resize
    // is lost with the window's former backing store, and the new area stays unpainted.
    FillBackground();
}

// An arrangement keeps the whole picture in sight, fitted to the width the frame was
// given, and takes away the empty band below it.
void CLumarestView::OnArranged() {
    m_bArranged = true; // the entries that follow keep the arrangement
    long w = 0;
    long h = 0;
    CMDIChildWnd* frame = GetParentFrame();
    if (!frame || !NativeVideoSize(w, h) || frame->isMinimized() || frame->isMaximized())
        return;
    const QSize decorations = frame->size() - size();
    frame->resize(ArrangedFrameSize(frame->size(), decorations, w, h));
}

QSize CLumarestView::sizeHint() const {
    long w = 0;
    long h = 0;
    if (!NativeVideoSize(w, h))
        return CView::sizeHint();
    return {static_cast<int>(w), static_cast<int>(h)};
}

void CLumarestView::Stop() {
    if (m_pMC)
        CheckResult(17, m_pMC->Stop());
    FillBackground();
    if (m_wndSlider)
        m_wndSlider->hide();
    m_bPlaying = false;
    m_bPaused = false;
    m_nElapsed = 0;
}

// Giving up the last reference ends the graph and its video window.
void CLumarestView::ReleaseGraph() {
    KeepPositionAtClose();
    m_pGB.reset();
    m_pMC.reset();
    m_pME.reset();
    m_pVW.reset();
    m_pBA.reset();
    m_pBV.reset();
    m_pMS.reset();
    m_pMP.reset();
    m_rcPlaceOnShow.reset();
}
