#include "platform/media/GraphFailures.h"

#include <map>

namespace media {
namespace {
// Touched on the user-interface thread only, like every graph call.
std::map<GraphCall, HRESULT>& injected() {
    static std::map<GraphCall, HRESULT> failures;
    return failures;
}
} // namespace

void injectGraphFailure(GraphCall call, HRESULT hr) {
    injected()[call] = hr;
}

void clearGraphFailures() {
    injected().clear();
}

std::optional<HRESULT> injectedGraphFailure(GraphCall call) {
    const auto it = injected().find(call);
    if (it == injected().end()) {
        return std::nullopt;
    }
    return it->second;
}

} // namespace media
