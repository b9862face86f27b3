#pragma once
// The wait cursor for the lifetime of the object. Nested wait cursors cost
// nothing: only the outermost one changes the cursor.
class CWaitCursor {
public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

    static int Depth();
};
