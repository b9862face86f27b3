#include "platform/framework/WaitCursor.h"

#include <QApplication>

namespace {
int g_depth = 0;
}

CWaitCursor::CWaitCursor(Qt::CursorShape shape) {
    if (g_depth++ == 0)
        QApplication::setOverrideCursor(shape);
}

CWaitCursor::~CWaitCursor() {
    if (--g_depth == 0)
        QApplication::restoreOverrideCursor();
}

int CWaitCursor::Depth() {
    return g_depth;
}
