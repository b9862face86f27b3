#include "platform/framework/CmdTarget.h"

bool CCmdTarget::OnCmdMsg(UINT nID, CCmdUI* pCmdUI) {
    return DispatchOwn(nID, pCmdUI);
}

bool CCmdTarget::HasCommandHandler(UINT nID) const {
    if (m_commands.count(nID))
        return true;
    for (const Range& r : m_ranges)
        if (nID >= r.first && nID <= r.last)
            return true;
    return false;
}

void CCmdTarget::OnCommand(UINT nID, std::function<void()> handler) {
    m_commands[nID] = std::move(handler);
}

void CCmdTarget::OnCommandRange(UINT first, UINT last, std::function<void(UINT)> handler) {
    m_ranges.push_back({first, last, std::move(handler)});
}

void CCmdTarget::OnUpdateCommandUI(UINT nID, std::function<void(CCmdUI*)> handler) {
    m_updates[nID] = std::move(handler);
}

bool CCmdTarget::DispatchOwn(UINT nID, CCmdUI* pCmdUI) {
    if (pCmdUI) {
        if (auto it = m_updates.find(nID); it != m_updates.end()) {
            it->second(pCmdUI);
            return true;
        }
        return HasCommandHandler(nID);
    }
    if (auto it = m_commands.find(nID); it != m_commands.end()) {
        auto handler = it->second; // the handler may change the map
        handler();
        return true;
    }
    for (const Range& r : m_ranges) {
        if (nID >= r.first && nID <= r.last) {
            auto handler = r.handler;
            handler(nID);
            return true;
        }
    }
    return false;
}
