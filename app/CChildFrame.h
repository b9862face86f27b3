#pragma once
// The child frame in which player and play-list views live.
#include "platform/framework/MDIChildWnd.h"

class CChildFrame : public CMDIChildWnd {
    Q_OBJECT
public:
    explicit CChildFrame(QWidget* parent = nullptr) : CMDIChildWnd(parent) {}
    bool PreCreateWindow() override { return CMDIChildWnd::PreCreateWindow(); }
};
