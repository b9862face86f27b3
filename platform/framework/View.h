#pragma once
// A view: the widget inside a child frame that shows a document. It is the
// first stop of the command route while its frame is active, receives key,
// focus, size and timer events as handlers, and has window timers by number.
#include "platform/framework/CmdTarget.h"

#include <QWidget>

#include <map>

class CDocument;
class CMDIChildWnd;

class CView : public QWidget, public CCmdTarget {
    Q_OBJECT
public:
    explicit CView(QWidget* parent = nullptr);
    ~CView() override;

    CDocument* GetDocument() const { return m_pDocument; }
    CMDIChildWnd* GetParentFrame() const;

    virtual void OnInitialUpdate() {}

signals:
    // Something the command route reads changed without any input (a timer's work): the
    // toolbar is brought up to date.
    void commandStatesChanged();

public:
    // The view, then its document.
    bool OnCmdMsg(UINT nID, CCmdUI* pCmdUI) override;

    // Window timers: one per identifier; setting one that runs replaces its
    // period. Returns the identifier, 0 when the timer could not be set.
    unsigned SetTimer(unsigned id, int milliseconds);
    bool KillTimer(unsigned id);
    bool HasTimer(unsigned id) const { return m_timers.count(id) != 0; }
    int TimerInterval(unsigned id) const;

    // True while the keyboard focus lies in this view or one of its children, or in a menu
    // opened over it.
    bool HasKeyboardFocus() const;
    // Paints the view now (invalidate, erase, update now).
    void RedrawNow();

    // Handlers, called with the Windows conventions the program is written in.
    virtual void OnTimer(unsigned id);
    virtual void OnSetFocus(QWidget* oldFocus);
    virtual void OnKillFocus(QWidget* newFocus);
    virtual void OnKeyDown(unsigned nChar, unsigned nRepCnt, unsigned nFlags);
    virtual void OnSize(unsigned type, int cx, int cy);
    // Window/Cascade or Tile has just placed the view's frame; the view may reshape the
    // frame to what it shows.
    virtual void OnArranged() {}

protected:
    void timerEvent(QTimerEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void OnFocusChanged(QWidget* now);

    friend class CDocument;
    friend class CMultiDocTemplate;
    CDocument* m_pDocument = nullptr;
    // The focus went to a menu opened over this view: no loss yet, unless it goes on
    // from the menu to another window.
    bool m_bFocusInMenu = false;
    struct Timer {
        int qtId;
        int interval;
    };
    std::map<unsigned, Timer> m_timers;
};
