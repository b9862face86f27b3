// The player view: construction, the four commands, the failure check and the
// status-bar helpers. The engine, the timers and the keys have files of their own.
#include "player/CLumarestView.h"

#include "app/CMainFrame.h"
#include "platform/framework/StatusBar.h"
#include "platform/input/KeyStateTable.h"
#include "player/CLumarestDoc.h"
#include "player/FailureLog.h"
#include "player/PlayerGlobals.h"
#include "res/Resource.h"

#include <QMouseEvent>
#include <QPainter>

#include <cstdlib>

namespace {
const QColor kBackground(0, 100, 100);
} // namespace

CLumarestView::CLumarestView() {
    setAttribute(Qt::WA_OpaquePaintEvent);
    OnCommand(ID_PLAYER_PLAY, [this] { OnPlayerPlay(); });
    OnCommand(ID_PLAYER_PAUSE, [this] { OnPlayerPause(); });
    OnCommand(ID_VIEW_FULLSCREEN, [this] { OnViewFullScreen(); });
    OnCommand(ID_PLAYER_SOUND, [this] { OnPlayerSound(); });
    OnCommand(ID_VIEW_SUBTITLES, [this] { OnViewSubtitles(); });
    OnCommand(ID_PLAYER_STARTOVER, [this] { StartOver(); });
    OnUpdateCommandUI(ID_PLAYER_STARTOVER, [this](CCmdUI* ui) { ui->Enable(CanSeek()); });
    for (const UINT id : {ID_PLAYER_NEXTCHAPTER, ID_PLAYER_PREVCHAPTER}) {
        OnCommand(id, [this, id] { StepChapter(id == ID_PLAYER_NEXTCHAPTER); });
        OnUpdateCommandUI(id, [this](CCmdUI* ui) { ui->Enable(HasChapters()); });
    }
    for (const UINT id : {ID_PLAYER_SAVEPICTURE, ID_PLAYER_SAVEPICTURESUBTITLED}) {
        OnCommand(id, [this, id] { SavePicture(id == ID_PLAYER_SAVEPICTURESUBTITLED); });
        OnUpdateCommandUI(id, [this](CCmdUI* ui) { ui->Enable(HasPicture()); });
    }
    OnUpdateCommandUI(ID_VIEW_SUBTITLES,
                      [this](CCmdUI* ui) { ui->SetCheck(m_bSubtitles ? 1 : 0); });
    OnUpdateCommandUI(ID_PLAYER_PLAY, [this](CCmdUI* ui) { ui->SetCheck(m_bPlaying ? 1 : 0); });
    OnUpdateCommandUI(ID_PLAYER_PAUSE, [this](CCmdUI* ui) { ui->SetCheck(m_bPaused ? 1 : 0); });
    OnUpdateCommandUI(ID_PLAYER_SOUND, [this](CCmdUI* ui) { ui->SetCheck(m_bSoundOff ? 0 : 1); });
    InitTrackCommands();
    InitChapterCommands();
    InitKeyboard();
    ComesFirstInFocusOrder();
}

CLumarestView::~CLumarestView() {
    ReleaseGraph();
    DestroySlider();
}

// The view's own look is its background colour; the picture is the video window's.
void CLumarestView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
}

void CLumarestView::FillBackground() {
    update();
}

// Play: stops a playing medium, or plays the loaded one again from its start.
void CLumarestView::OnPlayerPlay() {
    if (m_bPlaying)
        StopPlaying();
    else
        StartPlaying();
}

void CLumarestView::OnPlayerPause() {
    TogglePause();
}

void CLumarestView::StartPlaying() {
    if (!HasGraph() || m_bStarting)
        return;
    switch (Status()) {
    case PlayStatus::Paused:
        TogglePause();
        return;
    case PlayStatus::Playing:
    case PlayStatus::Starting:
        return;
    case PlayStatus::Ended:
        Stop(); // an entry that ran past its end starts again as a stopped one does
        break;
    case PlayStatus::Stopped:
        break;
    }
    RedrawNow();
    Play(m_bstrFile.c_str(), true);
}

void CLumarestView::PausePlaying() {
    if (Status() == PlayStatus::Playing)
        TogglePause();
}

// The medium rests at its start, and the time display says so.
void CLumarestView::StopPlaying() {
    if (!HasGraph() || !m_bPlaying)
        return;
    Stop();
    if (OwnsStatusBar())
        ShowTime(QString());
    AnnounceChanges();
}

void CLumarestView::TogglePause() {
    if (!m_bPlaying || !HasGraph())
        return;
    m_bPaused = !m_bPaused;
    if (m_bPaused)
        CheckResult(15, m_pMC->Pause());
    else
        CheckResult(16, m_pMC->Run());
    AnnounceChanges();
}

void CLumarestView::SetFile(const QString& path) {
    m_strFile = path;
    m_bstrFile = path.toStdWString();
}

bool CLumarestView::OnCmdMsg(UINT nID, CCmdUI* pCmdUI) {
    return !m_bStarting && CView::OnCmdMsg(nID, pCmdUI);
}

// A double-click on the picture: full screen, as View / Full screen.
void CLumarestView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && !m_bStarting && m_pVW && m_pVW->VideoWidget())
        SetFullScreen(true);
    CView::mouseDoubleClickEvent(event);
}

void CLumarestView::OnViewFullScreen() {
    SetFullScreen(true);
}

// Only a picture covers the screen: a sound's strip has none to show, and stays as it is.
void CLumarestView::SetFullScreen(bool on) {
    if (!m_pVW || on == m_bFullScreen)
        return;
    if (on && !m_pVW->VideoWidget())
        return;
    m_bFullScreen = on;
    // The keyboard moves to another window: a key whose release goes astray on the way (a
    // compositor may send it to the window that went) must not read as held in the new one.
    keystate::ReleaseAll();
    m_pVW->put_FullScreenMode(on ? OATRUE : OAFALSE);
    if (on)
        SetTimer(kFullScreenTimer, 10);
}

void CLumarestView::OnViewSubtitles() {
    SetSubtitlesShown(!m_bSubtitles);
}

// Kept for the window's following entries.
void CLumarestView::SetSubtitlesShown(bool shown) {
    m_bSubtitles = shown;
    if (m_pBV)
        m_pBV->put_SubtitlesShown(m_bSubtitles);
}

void CLumarestView::OnPlayerSound() {
    SetSoundOff(!m_bSoundOff);
}

void CLumarestView::SetSoundOff(bool off) {
    if (off == m_bSoundOff)
        return;
    m_bSoundOff = off;
    ApplySound();
    AnnounceChanges();
}

bool CLumarestView::CheckResult(int code, HRESULT hr) {
    if (SUCCEEDED(hr))
        return true;
    const std::string line = FormatFailureLine(hr, code, m_strFile);
    if (!AppendFailureLine(line))
        return false;
    m_strText = QString::fromStdString(line);
    ReleaseGraph();
    // The normal exit, so that the handlers registered for it still run.
    std::exit(1);
}

CLumarestDoc* CLumarestView::GetLumarestDoc() const {
    return dynamic_cast<CLumarestDoc*>(GetDocument());
}

CStatusBar* CLumarestView::StatusBar() {
    CMainFrame* frame = MainFrame();
    return frame ? frame->m_wndStatusBar : nullptr;
}

void CLumarestView::SetPane(int index, const QString& text) {
    if (CStatusBar* bar = StatusBar())
        bar->SetPaneText(index, text);
}
