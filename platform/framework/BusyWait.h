#pragma once
// A wait the program cannot go on without (a medium that is still starting), during
// which its windows stay painted and the desktop keeps getting answers: Pump handles
// whatever is pending. The user's own input waits for the end of a short wait (a file),
// and after a while the wait cursor shows; a wait that may last many seconds (a stream
// from the network) takes it meanwhile, and shows the busy arrow. Whatever would destroy
// windows in the meantime (closing a document, or the main window) is put off until no
// wait remains.
#include <QPointer>

#include <functional>
#include <memory>

class CWaitCursor;

class CBusyWait {
public:
    enum class Input { Held, Taken };
    explicit CBusyWait(Input input = Input::Held);
    ~CBusyWait();
    CBusyWait(const CBusyWait&) = delete;
    CBusyWait& operator=(const CBusyWait&) = delete;

    void Pump();

    // True while any wait is in progress.
    static bool Active();
    // Runs action once no wait is in progress any more, unless context is gone by then.
    static void WhenDone(QObject* context, std::function<void()> action);

private:
    qint64 m_started;
    Input m_input;
    std::unique_ptr<CWaitCursor> m_cursor;
};
