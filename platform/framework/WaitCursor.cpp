#include "platform/framework/WaitCursor.h"

#include <QApplication>

namespace {
int g_depth = 0;
}

CWaitCursor::CWaitCursor() {
    if (g_depth++ == 0)
        QApplication::setOverrideCursor(Qt::WaitCursor);
}

CWaitCursor::~CWaitCursor() {
    if (--g_depth == 0)
        QApplication::restoreOverrideCursor();
}

int CWaitCursor::Depth() {
    return g_depth;
}
