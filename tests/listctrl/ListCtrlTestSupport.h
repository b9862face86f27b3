#pragma once
// A listener that records what the list control reports, and a filler.
#include "platform/listctrl/ListCtrl.h"

#include <QString>
#include <functional>
#include <vector>

struct RecordingListener : CListCtrlListener {
    std::vector<int> changed;
    std::vector<int> columnClicks;
    std::vector<int> doubleClicks;
    std::vector<unsigned> keys;
    std::vector<QPoint> rightDowns;
    int killFocus = 0;
    std::function<void(unsigned)> onKey;
    std::function<void(QPoint)> onRightDown;

    void OnColumnClick(int column) override { columnClicks.push_back(column); }
    void OnItemChanged(int item) override { changed.push_back(item); }
    void OnDblClk(int item) override { doubleClicks.push_back(item); }
    void OnKeyDown(unsigned vk, unsigned, unsigned) override {
        keys.push_back(vk);
        if (onKey)
            onKey(vk);
    }
    void OnRButtonDown(QPoint pos) override {
        rightDowns.push_back(pos);
        if (onRightDown)
            onRightDown(pos);
    }
    void OnKillFocus() override { ++killFocus; }
};

// Lines "name<i>" with item data i and column 1 holding i as text.
inline void FillLines(CListCtrl& list, int count, int columns = 2) {
    for (int c = list.GetColumnCount(); c < columns; ++c)
        list.InsertColumn(c, QStringLiteral("Col%1").arg(c), LVCFMT_LEFT, 80);
    for (int i = 0; i < count; ++i) {
        const int at = list.InsertItem(i, QStringLiteral("name%1").arg(i), i);
        for (int c = 1; c < columns; ++c)
            list.SetItemText(at, c, QString::number(i * 10 + c));
    }
}

inline std::vector<int> SelectedLines(const CListCtrl& list) {
    std::vector<int> lines;
    for (int i = list.GetNextItem(-1, LVNI_SELECTED); i >= 0;
         i = list.GetNextItem(i, LVNI_SELECTED))
        lines.push_back(i);
    return lines;
}
