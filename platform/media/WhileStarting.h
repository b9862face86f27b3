// What the program does while a medium is being started: a start can take seconds on a
// busy machine, and the program keeps its windows alive meanwhile. Set for a scope, on the
// thread that starts media; scopes nest.
#pragma once

#include <functional>

namespace media {

class WhileStarting {
public:
    explicit WhileStarting(std::function<void()> pump);
    ~WhileStarting();
    WhileStarting(const WhileStarting&) = delete;
    WhileStarting& operator=(const WhileStarting&) = delete;

    // Runs the innermost scope's pump, if any. A pump that starts another medium runs its
    // own scope's pump meanwhile, never itself again.
    static void pump();

private:
    std::function<void()> m_pump;
    WhileStarting* m_outer;
    bool m_running = false;
};

} // namespace media
