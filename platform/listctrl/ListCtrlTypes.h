#pragma once
// Constants, callback types and the notification interface of the report-style
// list control, with the values the program's list-view code is written against.
#include <QPoint>
#include <cstdint>

using LPARAM = intptr_t;
// Compares the item data of two lines; negative, 0 or positive as for strcmp.
using PFNLVCOMPARE = int (*)(LPARAM, LPARAM, LPARAM);

// Extended styles.
constexpr uint32_t LVS_EX_GRIDLINES = 0x1;
constexpr uint32_t LVS_EX_TRACKSELECT = 0x8;
constexpr uint32_t LVS_EX_FULLROWSELECT = 0x20;
constexpr uint32_t LVS_EX_ONECLICKACTIVATE = 0x40;
constexpr uint32_t LVS_EX_TWOCLICKACTIVATE = 0x80;

// The styles under which the hot line follows the mouse pointer and shows.
constexpr bool IsHotTrackingStyle(uint32_t style) {
    return style & (LVS_EX_TRACKSELECT | LVS_EX_ONECLICKACTIVATE | LVS_EX_TWOCLICKACTIVATE);
}

// Column alignment.
constexpr int LVCFMT_LEFT = 0;
constexpr int LVCFMT_RIGHT = 1;
constexpr int LVCFMT_CENTER = 2;

// GetNextItem flags: LVNI_ALL is every line; the others must all hold.
constexpr int LVNI_ALL = 0x0;
constexpr int LVNI_FOCUSED = 0x1;
constexpr int LVNI_SELECTED = 0x2;

// Line states.
constexpr uint32_t LVIS_FOCUSED = 0x1;
constexpr uint32_t LVIS_SELECTED = 0x2;

// Notifications of the control, called synchronously on the UI thread. A
// listener may change the control from any of them.
struct CListCtrlListener {
    virtual ~CListCtrlListener() = default;
    // A header was clicked (on release, as a button click).
    virtual void OnColumnClick(int /*column*/) {}
    // The selection or focus state or the item data of a line changed.
    virtual void OnItemChanged(int /*item*/) {}
    // A left double-click; item is -1 when it hit no line.
    virtual void OnDblClk(int /*item*/) {}
    // A key went down, before the control's own key handling. flags holds the
    // extended-key bit 0x100 and the previous-state bit 0x4000 (auto-repeat).
    virtual void OnKeyDown(unsigned /*vk*/, unsigned /*repeat*/, unsigned /*flags*/) {}
    // The right button went down, after the control updated its selection;
    // the position is in the control's own widget coordinates.
    virtual void OnRButtonDown(QPoint /*clientPos*/) {}
    // The control lost the keyboard focus.
    virtual void OnKillFocus() {}
};
