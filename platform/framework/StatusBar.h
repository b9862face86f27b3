#pragma once
// The status bar: a message pane that takes the remaining width, then
// indicator panes sized to their texts. Panes have rectangles in the bar's own
// coordinates, so that children (a progress bar, a slider) can be laid over them.
#include "platform/framework/FrameworkIds.h"

#include <QStatusBar>
#include <QString>

#include <vector>

class CStatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit CStatusBar(QWidget* parent = nullptr);

    // One pane per identifier; ID_SEPARATOR is the stretching message pane,
    // others show their string from the resources.
    bool SetIndicators(const std::vector<UINT>& ids);
    int GetCount() const { return static_cast<int>(m_panes.size()); }
    UINT GetItemID(int index) const;
    // The pane of that identifier; -1 when the bar has none.
    int CommandToIndex(UINT id) const;
    // Makes an indicator pane wide enough for the widest text it will be given.
    void SetPaneWidthFor(int index, const QString& widest);
    // An indicator pane that takes no room while it has nothing to say, so the
    // panes that are always there keep their places.
    void SetPaneFolding(int index);

    // Sets a pane's text; with update the pane is painted before returning.
    bool SetPaneText(int index, const QString& text, bool update = true);
    QString GetPaneText(int index) const;
    // The message pane's text.
    QString GetText() const { return GetPaneText(0); }
    QRect GetItemRect(int index) const;
    // Where text would end if shown in the pane, in the bar's coordinates.
    int TextRight(int index, const QString& text) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Pane {
        UINT id;
        QString text;
        int width; // fixed width, or 0 for the stretching pane
        bool folds = false;
    };
    static bool Folded(const Pane& pane) { return pane.folds && pane.text.isEmpty(); }
    // A lock-key pane shows its own text only while its lock is on; a text
    // written into it by the program shows all the same.
    bool ShowsText(const Pane& pane) const;
    int BarHeight() const;
    void OnLocksChanged();
    std::vector<Pane> m_panes;
    std::vector<QRect> m_rects;
    void Layout();
    std::vector<QRect> ComputeRects() const;
};
