// The player view's three timers: the counting tick that drives the time
// display and the play queue, the Escape watch in full screen, and the
// position slider that follows the status bar and turns a drag into a seek.
#include "player/CLumarestView.h"

#include "app/SharedState.h"
#include "platform/framework/StatusBar.h"
#include "platform/listctrl/ListCtrl.h"
#include "player/CLumarestDoc.h"
#include "player/PlayerGlobals.h"
#include "player/PlayerMath.h"
#include "player/PlayerTexts.h"
#include "player/QueueAdvance.h"

#include <QFontMetrics>
#include <QProxyStyle>
#include <QSignalBlocker>

#include <algorithm>
#include <array>

namespace {
constexpr int kSecond = 1000;
constexpr int kPollInterval = 10;

// The program's style, but a left click on a slider's track sets it to that point.
class TrackClickStyle : public QProxyStyle {
public:
    explicit TrackClickStyle(QObject* owner) { setParent(owner); }
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_Slider_AbsoluteSetButtons)
            return Qt::LeftButton;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};
} // namespace

void CLumarestView::StartTimers(const QString& text) {
    m_llDuration = 0;
    if (m_pMS)
        CheckResult(18, m_pMS->GetDuration(&m_llDuration));
    m_nDuration = SecondsOf(m_llDuration);
    // A sound shorter than a second is no still picture: it is timed and plays to its end.
    const bool timed = m_nDuration > 0 || (m_llDuration > 0 && m_pBA && m_pBA->HasSound());
    if (IsLive()) {
        // Nothing to position in: the seconds are counted, and no slider shows.
        DestroySlider();
        SetPane(0, text);
        SetTimer(kTickTimer, kSecond);
    } else if (timed) {
        SetPane(0, text);
        MakeSlider(text);
        // A sound shorter than a second ends before the first tick: its time shows at once.
        if (m_nDuration == 0 && OwnsStatusBar())
            ShowTime(text);
        SetTimer(kSliderTimer, kPollInterval);
        SetTimer(kTickTimer, kSecond);
    } else {
        // A still image stays for the slide delay; the slider timer finds no slider.
        DestroySlider();
        SetTimer(kTickTimer, SlideInterval(g_nSlideDelay));
    }
    m_nSliderPos = 0;
}

void CLumarestView::ShowTime(const QString& text) {
    if (text.isEmpty() && !m_strNote.isEmpty())
        SetPane(0, m_strNote);
    else
        SetPane(0, !text.isEmpty() ? text
                   : IsLive()      ? LiveTimeText(m_nElapsed)
                                   : TimeText(m_nElapsed, m_nDuration));
}

void CLumarestView::OnTimer(unsigned id) {
    // While a medium starts, the view is half-built: its clock waits.
    if (m_bStarting)
        return;
    switch (id) {
    case kTickTimer:
        OnTickTimer();
        break;
    case kFullScreenTimer:
        OnFullScreenTimer();
        break;
    case kSliderTimer:
        OnSliderTimer();
        break;
    case kNoteTimer:
        EndNote();
        break;
    default:
        break;
    }
    CView::OnTimer(id);
}

void CLumarestView::OnTickTimer() {
    // A click or drag on the slider that its own timer has not seen yet goes first: moving
    // the slider on from there would take the user's place for the view's own.
    if (m_wndSlider && !g_bSeeking && m_wndSlider->value() != m_nSliderPos) {
        SeekToSlider(true);
        return;
    }
    const TickResult tick = NextTick(TickState());
    if (!tick.counted)
        return;
    if (m_wndSlider) {
        SetSliderValue(m_wndSlider->value() + tick.elapsed - m_nElapsed);
        m_nSliderPos = m_wndSlider->value();
    }
    m_nElapsed = tick.elapsed;
    switch (tick.action) {
    case TickAction::ShowTime:
        if (OwnsStatusBar())
            ShowTime(QString());
        KeepPosition();
        break;
    case TickAction::EndQueue:
        EndQueue();
        break;
    case TickAction::Advance:
        AdvanceQueue();
        return; // announced by the next entry's start, or by its refusal before the box
    case TickAction::Nothing:
        break;
    }
    AnnounceChanges();
}

// Where the medium is, in whole seconds; -1 when it cannot say.
int CLumarestView::MediumSeconds() const {
    LONGLONG position = 0;
    if (!m_pMS || FAILED(m_pMS->GetCurrentPosition(&position)) || position < 0)
        return -1;
    return SecondsOf(position);
}

// A window of a single file ends only itself: a queue running in another window goes on.
void CLumarestView::EndQueue() {
    Stop();
    RedrawNow();
    m_nQueueIndex = 0;
    if (RunsAQueue())
        g_bQueuePlaying = false;
}

bool CLumarestView::RunsAQueue() const {
    const CLumarestDoc* doc = GetLumarestDoc();
    return doc && !doc->m_arrPaths.isEmpty();
}

// The next entry becomes the loaded file: its line is marked in the play list
// (unless that window has closed), and the window takes its path as title.
void CLumarestView::AdvanceQueue() {
    CLumarestDoc* doc = GetLumarestDoc();
    if (!doc || m_nQueueIndex + 1 >= static_cast<int>(doc->m_arrPaths.size()))
        return;
    ++m_nQueueIndex;
    const QString path = doc->m_arrPaths.at(m_nQueueIndex);
    m_strFile = path;
    m_bstrFile = path.toStdWString();
    const std::wstring wide = m_bstrFile;
    ReleaseGraph();
    const auto index = static_cast<size_t>(m_nQueueIndex);
    if (doc->m_pCListCtrl && index < doc->m_arrLines.size())
        doc->m_pCListCtrl->SetHotItem(static_cast<int>(doc->m_arrLines[index]));
    doc->SetTitle(path);
    Play(wide.c_str(), false);
}

// While the video covers the screen, the keyboard device also watches for Escape.
void CLumarestView::OnFullScreenTimer() {
    if (!m_bFullScreen || !g_pKeyboard)
        return;
    // Left by a double-click on the picture, or by the window manager.
    if (long mode = OATRUE; m_pVW && m_pVW->get_FullScreenMode(&mode) == S_OK && mode == OAFALSE) {
        m_bFullScreen = false;
        return;
    }
    std::array<uint8_t, 256> keys{};
    CheckResult(22, g_pKeyboard->GetDeviceState(static_cast<DWORD>(keys.size()), keys.data()));
    if ((keys[DIK_ESCAPE] & 0x80) != 0)
        SetFullScreen(false);
}

// Left and Right: the medium moves on or back, the time text and the slider with it.
void CLumarestView::SeekBy(int seconds) {
    const int position = MediumSeconds();
    SeekTo(SteppedPosition(position >= 0 ? position : m_nElapsed, seconds, m_nDuration));
}

bool CLumarestView::SeekTo(int second) {
    if (!HasGraph() || !m_pMS || m_nDuration <= 0 || !m_wndSlider)
        return false;
    SetSliderValue(std::clamp(second, 0, m_nDuration));
    SeekToSlider(false);
    ShowTime(QString());
    return true;
}

// As the entry's end would: a paused entry goes on first, since a paused window counts
// nothing.
bool CLumarestView::MoveQueueOn() {
    if (!CanMoveQueueOn())
        return false;
    if (m_bPaused)
        TogglePause();
    AdvanceQueue();
    return true;
}

void CLumarestView::OnSliderTimer() {
    if (!m_wndSlider)
        return;
    if (g_bSeeking)
        return;
    const int left = SliderLeft(g_rcSlider.left);
    const QRect place(left, g_rcSlider.top, std::max(0, g_rcSlider.right - left),
                      std::max(0, g_rcSlider.bottom - g_rcSlider.top));
    if (m_wndSlider->geometry() != place)
        m_wndSlider->setGeometry(place);
    if (m_wndSlider->value() == m_nSliderPos) {
        m_wndSlider->setVisible(OwnsStatusBar());
        return;
    }
    SeekToSlider(true); // the user moved it
}

void CLumarestView::SeekToSlider(bool byHand) {
    EndNote(); // the time shows where the medium went
    g_bSeeking = true;
    const int position = m_wndSlider->value();
    LONGLONG target = SeekTarget(position, m_llDuration, SliderTop(m_nDuration));
    if (m_pMS)
        m_pMS->SetPositions(&target, AM_SEEKING_AbsolutePositioning, nullptr,
                            AM_SEEKING_NoPositioning);
    m_nSliderPos = m_wndSlider ? m_wndSlider->value() : position;
    m_nElapsed = SecondsOf(target);
    // After a drag the frame would hand the focus on to its view: give it to the view
    // directly. A seek asked by a key or by the desktop leaves the keyboard where it is.
    if (byHand)
        setFocus(Qt::OtherFocusReason);
    g_bSeeking = false;
    emit seeked(target / 10);
    AnnounceChanges();
}

// A slider in status pane 0 after the text there, over the whole length of the medium.
void CLumarestView::MakeSlider(const QString& text) {
    DestroySlider();
    CStatusBar* bar = StatusBar();
    if (!bar)
        return;
    const QRect pane = bar->GetItemRect(0);
    const int left = SliderLeft(text.isEmpty() ? 100 : 6 * static_cast<int>(text.size()));
    const int right = pane.x() + pane.width() - 5;
    auto* slider = new QSlider(Qt::Horizontal, bar);
    // A click on the track goes to the point clicked, not a page on.
    slider->setStyle(new TrackClickStyle(slider));
    // A mouse-only control: taking the focus would mute the view while it is dragged.
    slider->setFocusPolicy(Qt::NoFocus);
    slider->setTickPosition(QSlider::NoTicks);
    slider->setGeometry(left, 2, std::max(0, right - left), 14);
    slider->hide();
    m_wndSlider = slider;
    SetSliderValue(0);
    m_wndSlider->setRange(0, SliderTop(m_nDuration));
    m_wndSlider->setSingleStep(static_cast<int>(m_nDuration * 0.01));
    m_wndSlider->setPageStep(static_cast<int>(m_nDuration * 0.05));
}

// The slider never hides a text of the view: however its place was worked out (from
// whatever pane 0 showed at the last resize), it starts after the widest time text of
// this medium and after the slide-delay text of the delay as it is now.
int CLumarestView::SliderLeft(int left) const {
    const CStatusBar* bar = StatusBar();
    if (!bar)
        return left;
    if (const std::optional<SliderPlace>& p = m_sliderPlace;
        p && p->left == left && p->duration == m_nDuration && p->slideDelay == g_nSlideDelay &&
        p->font == bar->font() && p->note == m_strNote)
        return p->result;
    const QFontMetrics metrics = bar->fontMetrics();
    QChar widestDigit = QLatin1Char('0');
    for (char digit = '1'; digit <= '9'; ++digit)
        if (metrics.horizontalAdvance(QLatin1Char(digit)) > metrics.horizontalAdvance(widestDigit))
            widestDigit = QLatin1Char(digit);
    // A blank's width apart, so that the groove does not read as part of the last letter.
    const int gap = metrics.horizontalAdvance(QLatin1Char(' '));
    const int timeRight = bar->TextRight(0, WidestTimeText(m_nDuration, widestDigit));
    const int delayRight =
        bar->TextRight(0, WithWidestDigits(SlideDelayStatusText(g_nSlideDelay), widestDigit));
    const int noteRight = m_strNote.isEmpty() ? 0 : bar->TextRight(0, m_strNote);
    const int result = std::max({left, timeRight + gap, delayRight + gap, noteRight + gap});
    m_sliderPlace = SliderPlace{left, m_nDuration, g_nSlideDelay, bar->font(), m_strNote, result};
    return result;
}

void CLumarestView::DestroySlider() {
    delete m_wndSlider.data();
}

// The view's own moves of the slider must not look like the user's.
void CLumarestView::SetSliderValue(int value) {
    const QSignalBlocker blocker(m_wndSlider.data());
    m_wndSlider->setValue(value);
}
