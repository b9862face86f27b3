#include "platform/media/WhileStarting.h"

#include <utility>

namespace media {
namespace {
thread_local WhileStarting* t_innermost = nullptr;
}

WhileStarting::WhileStarting(std::function<void()> pump)
    : m_pump(std::move(pump)), m_outer(std::exchange(t_innermost, this)) {}

WhileStarting::~WhileStarting() {
    t_innermost = m_outer;
}

void WhileStarting::pump() {
    WhileStarting* scope = t_innermost;
    if (scope == nullptr || scope->m_running || !scope->m_pump)
        return;
    scope->m_running = true;
    scope->m_pump();
    scope->m_running = false;
}

} // namespace media
