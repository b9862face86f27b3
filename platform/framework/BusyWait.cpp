#include "platform/framework/BusyWait.h"

#include "platform/framework/WaitCursor.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QTimer>

#include <vector>

namespace {

// A wait shorter than this shows no cursor: most media start well within it.
constexpr qint64 kCursorAfterMs = 300;

int g_depth = 0;

struct Deferred {
    QPointer<QObject> context;
    std::function<void()> action;
};
std::vector<Deferred>& DeferredActions() {
    static std::vector<Deferred> actions;
    return actions;
}

} // namespace

CBusyWait::CBusyWait(Input input) : m_started(QDateTime::currentMSecsSinceEpoch()), m_input(input) {
    ++g_depth;
}

CBusyWait::~CBusyWait() {
    if (--g_depth > 0)
        return;
    // On the next turn of the event loop, not from inside whatever ends the wait.
    for (Deferred& deferred : std::exchange(DeferredActions(), {}))
        if (deferred.context)
            QTimer::singleShot(0, deferred.context.data(), std::move(deferred.action));
}

void CBusyWait::Pump() {
    const bool taken = m_input == Input::Taken;
    if (!m_cursor && QDateTime::currentMSecsSinceEpoch() - m_started >= kCursorAfterMs)
        m_cursor = std::make_unique<CWaitCursor>(taken ? Qt::BusyCursor : Qt::WaitCursor);
    QCoreApplication::processEvents(taken ? QEventLoop::AllEvents
                                          : QEventLoop::ExcludeUserInputEvents);
}

bool CBusyWait::Active() {
    return g_depth > 0;
}

void CBusyWait::WhenDone(QObject* context, std::function<void()> action) {
    if (!Active()) {
        action();
        return;
    }
    DeferredActions().push_back({context, std::move(action)});
}
