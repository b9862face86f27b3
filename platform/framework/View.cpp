#include "platform/framework/View.h"

#include "platform/framework/Document.h"
#include "platform/framework/MDIChildWnd.h"
#include "platform/input/VirtualKeys.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QResizeEvent>
#include <QTimerEvent>

#include <utility>

namespace {

// A menu bar or a popup menu: it takes the keyboard for a while, not the focus of a window.
bool IsMenuFocusReason(Qt::FocusReason reason) {
    return reason == Qt::PopupFocusReason || reason == Qt::MenuBarFocusReason;
}

bool IsMenu(const QWidget* widget) {
    return widget && (widget->inherits("QMenu") || widget->inherits("QMenuBar"));
}

} // namespace

CView::CView(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { OnFocusChanged(now); });
}

CView::~CView() {
    for (auto& [id, timer] : m_timers)
        killTimer(timer.qtId);
    if (m_pDocument)
        m_pDocument->RemoveView(this);
}

CMDIChildWnd* CView::GetParentFrame() const {
    for (QWidget* w = parentWidget(); w; w = w->parentWidget())
        if (auto* frame = dynamic_cast<CMDIChildWnd*>(w))
            return frame;
    return nullptr;
}

bool CView::OnCmdMsg(UINT nID, CCmdUI* pCmdUI) {
    if (DispatchOwn(nID, pCmdUI))
        return true;
    return m_pDocument && m_pDocument->OnCmdMsg(nID, pCmdUI);
}

unsigned CView::SetTimer(unsigned id, int milliseconds) {
    KillTimer(id);
    const int qtId = startTimer(std::max(0, milliseconds));
    if (qtId == 0)
        return 0;
    m_timers[id] = {qtId, milliseconds};
    return id;
}

bool CView::KillTimer(unsigned id) {
    auto it = m_timers.find(id);
    if (it == m_timers.end())
        return false;
    killTimer(it->second.qtId);
    m_timers.erase(it);
    return true;
}

int CView::TimerInterval(unsigned id) const {
    auto it = m_timers.find(id);
    return it == m_timers.end() ? -1 : it->second.interval;
}

bool CView::HasKeyboardFocus() const {
    // A menu opened over the view borrows the keyboard; the view keeps its focus meanwhile.
    if (m_bFocusInMenu)
        return true;
    const QWidget* focus = QApplication::focusWidget();
    return focus && (focus == this || isAncestorOf(focus));
}

void CView::RedrawNow() {
    if (isVisible())
        repaint();
}

void CView::OnTimer(unsigned) {}
void CView::OnSetFocus(QWidget*) {}
void CView::OnKillFocus(QWidget*) {}
void CView::OnKeyDown(unsigned, unsigned, unsigned) {}
void CView::OnSize(unsigned, int, int) {}

void CView::timerEvent(QTimerEvent* event) {
    for (auto& [id, timer] : m_timers) {
        if (timer.qtId == event->timerId()) {
            const unsigned which = id; // the handler may re-arm and invalidate the entry
            OnTimer(which);
            return;
        }
    }
    QWidget::timerEvent(event);
}

// Opening a menu over the view and closing it again is no change of focus for the view, as
// menus take none on the desktop the program was first written for.
void CView::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    if (std::exchange(m_bFocusInMenu, false) && IsMenuFocusReason(event->reason()))
        return;
    OnSetFocus(nullptr);
}

void CView::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    if (IsMenuFocusReason(event->reason())) {
        m_bFocusInMenu = true;
        return;
    }
    OnKillFocus(QApplication::focusWidget());
}

// From a menu the focus may go on to another window (Window/2, a command that opens one):
// that is when the view loses it.
void CView::OnFocusChanged(QWidget* now) {
    if (!m_bFocusInMenu || IsMenu(now) || now == this || (now && isAncestorOf(now)))
        return;
    m_bFocusInMenu = false;
    OnKillFocus(now);
}

void CView::keyPressEvent(QKeyEvent* event) {
    const unsigned key = QtKeyToVirtualKey(*event);
    if (key)
        OnKeyDown(key, event->isAutoRepeat() ? 2 : 1, 0);
    QWidget::keyPressEvent(event);
}

void CView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    OnSize(0, event->size().width(), event->size().height());
}
