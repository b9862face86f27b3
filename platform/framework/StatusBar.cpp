#include "platform/framework/StatusBar.h"

#include "platform/framework/Resources.h"
#include "platform/input/LockKeys.h"

#include <QEvent>
#include <QPainter>
#include <QStyleOption>

#include <algorithm>
#include <optional>

namespace {
constexpr int kHeight = 22;
constexpr int kGap = 2;
constexpr int kPadding = 6;

std::optional<lockkeys::Lock> LockOfPane(UINT id) {
    switch (id) {
    case ID_INDICATOR_CAPS:
        return lockkeys::Lock::Caps;
    case ID_INDICATOR_NUM:
        return lockkeys::Lock::Num;
    case ID_INDICATOR_SCRL:
        return lockkeys::Lock::Scroll;
    default:
        return std::nullopt;
    }
}
} // namespace

CStatusBar::CStatusBar(QWidget* parent) : QStatusBar(parent) {
    setSizeGripEnabled(false);
    setFixedHeight(BarHeight());
    lockkeys::Install();
    connect(&lockkeys::Changes(), &lockkeys::Notifier::changed, this, &CStatusBar::OnLocksChanged);
}

void CStatusBar::OnLocksChanged() {
    for (int i = 0; i < GetCount(); ++i)
        if (LockOfPane(m_panes[i].id))
            update(GetItemRect(i));
}

bool CStatusBar::ShowsText(const Pane& pane) const {
    const std::optional<lockkeys::Lock> lock = LockOfPane(pane.id);
    return !lock || lockkeys::IsOn(*lock) || pane.text != AfxResources().LoadString(pane.id);
}

bool CStatusBar::SetIndicators(const std::vector<UINT>& ids) {
    m_panes.clear();
    for (UINT id : ids) {
        const QString text = id == ID_SEPARATOR ? QString() : AfxResources().LoadString(id);
        const int width =
            id == ID_SEPARATOR ? 0 : fontMetrics().horizontalAdvance(text) + 2 * kPadding;
        m_panes.push_back({id, text, width});
    }
    Layout();
    update();
    return true;
}

UINT CStatusBar::GetItemID(int index) const {
    return index >= 0 && index < GetCount() ? m_panes[index].id : 0;
}

int CStatusBar::CommandToIndex(UINT id) const {
    for (int i = 0; i < GetCount(); ++i)
        if (m_panes[i].id == id)
            return i;
    return -1;
}

void CStatusBar::SetPaneWidthFor(int index, const QString& widest) {
    if (index <= 0 || index >= GetCount() || m_panes[index].width == 0)
        return;
    m_panes[index].width =
        std::max(m_panes[index].width, fontMetrics().horizontalAdvance(widest) + 2 * kPadding);
    Layout();
    update();
}

void CStatusBar::SetPaneFolding(int index) {
    if (index <= 0 || index >= GetCount() || m_panes[index].width == 0)
        return;
    m_panes[index].folds = true;
    Layout();
    update();
}

bool CStatusBar::SetPaneText(int index, const QString& text, bool repaintNow) {
    if (index < 0 || index >= GetCount())
        return false;
    if (m_panes[index].text == text)
        return true;
    const bool wasFolded = Folded(m_panes[index]);
    m_panes[index].text = text;
    if (wasFolded != Folded(m_panes[index])) {
        // The panes move: lay them out again and paint the whole bar.
        Layout();
        update();
        return true;
    }
    // A repaint now keeps the pane current while the caller holds the UI thread.
    if (repaintNow && isVisible())
        repaint(GetItemRect(index));
    else
        update(GetItemRect(index));
    return true;
}

QString CStatusBar::GetPaneText(int index) const {
    return index >= 0 && index < GetCount() ? m_panes[index].text : QString();
}

QRect CStatusBar::GetItemRect(int index) const {
    // Laid out from the current width, so the rectangles are right even
    // before a pending resize event has reached the bar.
    const std::vector<QRect> rects = ComputeRects();
    return index >= 0 && index < static_cast<int>(rects.size()) ? rects[index] : QRect();
}

int CStatusBar::TextRight(int index, const QString& text) const {
    const QRect pane = GetItemRect(index);
    return pane.x() + kGap + fontMetrics().horizontalAdvance(text);
}

// 22 pixels, or as high as a larger font needs.
int CStatusBar::BarHeight() const {
    return std::max(kHeight, fontMetrics().height() + 3 * kGap);
}

void CStatusBar::changeEvent(QEvent* event) {
    QStatusBar::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        setFixedHeight(BarHeight());
}

QSize CStatusBar::sizeHint() const {
    return {QStatusBar::sizeHint().width(), BarHeight()};
}
QSize CStatusBar::minimumSizeHint() const {
    return {0, BarHeight()};
}

void CStatusBar::resizeEvent(QResizeEvent* event) {
    QStatusBar::resizeEvent(event);
    Layout();
}

void CStatusBar::Layout() {
    m_rects = ComputeRects();
}

std::vector<QRect> CStatusBar::ComputeRects() const {
    std::vector<QRect> rects(m_panes.size());
    int fixed = 0;
    for (const Pane& p : m_panes)
        if (!Folded(p))
            fixed += p.width + kGap;
    int x = kGap;
    for (size_t i = 0; i < m_panes.size(); ++i) {
        if (Folded(m_panes[i])) {
            rects[i] = QRect(x, kGap, 0, height() - 2 * kGap);
            continue;
        }
        int w = m_panes[i].width;
        if (w == 0)
            w = std::max(0, width() - fixed - 2 * kGap);
        rects[i] = QRect(x, kGap, w, height() - 2 * kGap);
        x += w + kGap;
    }
    return rects;
}

void CStatusBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    for (size_t i = 0; i < m_panes.size(); ++i) {
        const QRect r = m_rects[i];
        if (Folded(m_panes[i]))
            continue;
        painter.setPen(palette().mid().color());
        painter.drawRect(r.adjusted(0, 0, -1, -1));
        if (!ShowsText(m_panes[i]))
            continue;
        painter.setPen(palette().windowText().color());
        painter.drawText(r.adjusted(kGap, 0, -kGap, 0),
                         Qt::AlignVCenter | (m_panes[i].width ? Qt::AlignHCenter : Qt::AlignLeft),
                         m_panes[i].text);
    }
}
