#include "platform/framework/ProgressCtrl.h"

#include <QProgressBar>

CProgressCtrl::~CProgressCtrl() { DestroyWindow(); }

bool CProgressCtrl::Create(QWidget* parent, const QRect& rect) {
    DestroyWindow();
    if (!parent)
        return false;
    m_bar = new QProgressBar(parent);
    m_bar->setTextVisible(false);
    m_bar->setGeometry(rect);
    m_bar->show();
    return true;
}

void CProgressCtrl::DestroyWindow() { delete m_bar.data(); }

void CProgressCtrl::SetRange(int lower, int upper) {
    if (m_bar)
        m_bar->setRange(lower, upper);
}

void CProgressCtrl::SetPos(int pos) {
    if (!m_bar || m_bar->value() == pos)
        return;
    m_bar->setValue(pos);
    if (m_bar->isVisible())
        m_bar->repaint();
}

int CProgressCtrl::GetPos() const { return m_bar ? m_bar->value() : 0; }

QRect CProgressCtrl::GetRect() const { return m_bar ? m_bar->geometry() : QRect(); }
