#pragma once
// The wait cursor (or another busy one) for the lifetime of the object. Nested wait
// cursors cost nothing: only the outermost one changes the cursor.
#include <qnamespace.h>

class CWaitCursor {
public:
    explicit CWaitCursor(Qt::CursorShape shape = Qt::WaitCursor);
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

    static int Depth();
};
