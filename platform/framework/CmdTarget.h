#pragma once
// Command targets: every object on the command route (view, document, child
// frame, main frame, application) keeps a map from command identifiers to
// handlers, and a command goes to the first target along the route that has one.
#include "platform/framework/FrameworkIds.h"

#include <QString>

#include <functional>
#include <unordered_map>
#include <vector>

// The state a command's user-interface element should show, gathered along
// the route before a menu opens or while the toolbar idles.
class CCmdUI {
public:
    explicit CCmdUI(UINT id) : m_nID(id) {}
    void Enable(bool on = true) {
        m_bEnabled = on;
        m_bEnableSet = true;
    }
    void SetCheck(int check = 1) { m_nCheck = check; }
    // An entry of a command list, made afresh each time its menu is about to show.
    struct Item {
        QString text;
        bool checked = false;
        std::function<void()> choose;
    };
    void AddItem(QString text, bool checked, std::function<void()> choose) {
        m_items.push_back({std::move(text), checked, std::move(choose)});
    }

    UINT m_nID;
    bool m_bEnabled = true;
    bool m_bEnableSet = false;
    int m_nCheck = -1; // -1: the element is not a check item
    std::vector<Item> m_items;
};

class CCmdTarget {
public:
    CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;
    virtual ~CCmdTarget() = default;

    // Runs the command (pCmdUI null) or asks for its state (pCmdUI set) along
    // this target's part of the route; true when some target there handles it.
    virtual bool OnCmdMsg(UINT nID, CCmdUI* pCmdUI);

    bool HasCommandHandler(UINT nID) const;

protected:
    void OnCommand(UINT nID, std::function<void()> handler);
    void OnCommandRange(UINT first, UINT last, std::function<void(UINT)> handler);
    void OnUpdateCommandUI(UINT nID, std::function<void(CCmdUI*)> handler);

    // This target's own map only, without routing further.
    bool DispatchOwn(UINT nID, CCmdUI* pCmdUI);

private:
    struct Range {
        UINT first;
        UINT last;
        std::function<void(UINT)> handler;
    };
    std::unordered_map<UINT, std::function<void()>> m_commands;
    std::unordered_map<UINT, std::function<void(CCmdUI*)>> m_updates;
    std::vector<Range> m_ranges;
};
