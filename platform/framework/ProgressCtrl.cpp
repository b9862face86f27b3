#include "platform/framework/ProgressCtrl.h"

#include <QProgressBar>

CProgressCtrl::~CProgressCtrl() {
    DestroyWindow();
}

bool CProgressCtrl::Create(QWidget* parent, const QRect& rect) {
    DestroyWindow();
    if (!parent)
        return false;
    m_bar = new QProgressBar(parent);
    m_bar->setTextVisible(false);
    m_bar->setGeometry(rect);
    m_bar->show();
    m_sincePaint.invalidate();
    m_bUnpainted = false;
    return true;
}

void CProgressCtrl::DestroyWindow() {
    delete m_bar.data();
}

void CProgressCtrl::SetRange(int lower, int upper) {
    if (m_bar)
        m_bar->setRange(lower, upper);
}

void CProgressCtrl::SetPos(int pos) {
    if (!m_bar || m_bar->value() == pos)
        return;
    // The bar would repaint itself at once; it is painted here instead, no
    // sooner than a frame after its last paint (the position then waits).
    m_bar->setUpdatesEnabled(false);
    m_bar->setValue(pos);
    m_bar->setUpdatesEnabled(true);
    constexpr qint64 kFrameMs = 16;
    if (!m_bar->isVisible() || (m_sincePaint.isValid() && m_sincePaint.elapsed() < kFrameMs)) {
        m_bUnpainted = m_bar->isVisible();
        return;
    }
    m_bar->repaint();
    m_sincePaint.start();
    m_bUnpainted = false;
}

void CProgressCtrl::UpdateWindow() {
    if (!m_bar || !m_bUnpainted || !m_bar->isVisible())
        return;
    m_bar->repaint();
    m_sincePaint.start();
    m_bUnpainted = false;
}

int CProgressCtrl::GetPos() const {
    return m_bar ? m_bar->value() : 0;
}

QRect CProgressCtrl::GetRect() const {
    return m_bar ? m_bar->geometry() : QRect();
}
