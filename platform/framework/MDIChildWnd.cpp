#include "platform/framework/MDIChildWnd.h"

#include "platform/framework/View.h"

CMDIChildWnd::CMDIChildWnd(QWidget* parent) : QMdiSubWindow(parent) {
    setAttribute(Qt::WA_DeleteOnClose);
}

CMDIChildWnd::~CMDIChildWnd() = default;

CDocument* CMDIChildWnd::GetActiveDocument() const {
    return m_pView ? m_pView->GetDocument() : nullptr;
}

void CMDIChildWnd::MoveWindow(int x, int y, int width, int height, bool repaintNow) {
    if (isMaximized() || isMinimized())
        showNormal();
    setGeometry(x, y, std::max(width, minimumSizeHint().width()),
                std::max(height, minimumSizeHint().height()));
    if (repaintNow && isVisible())
        repaint();
}

bool CMDIChildWnd::OnCmdMsg(UINT nID, CCmdUI* pCmdUI) {
    if (m_pView && m_pView->OnCmdMsg(nID, pCmdUI))
        return true;
    return DispatchOwn(nID, pCmdUI);
}
