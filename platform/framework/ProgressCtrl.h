#pragma once
// A progress bar laid over another window at a given rectangle. Its window
// exists from Create to DestroyWindow; position changes are painted at once,
// at most one frame's time (16 ms) apart, so the bar advances even while the
// caller holds the user-interface thread without its painting slowing the work.
#include <QElapsedTimer>
#include <QPointer>
#include <QRect>

#include <QProgressBar>
class QWidget;

class CProgressCtrl {
public:
    CProgressCtrl() = default;
    CProgressCtrl(const CProgressCtrl&) = delete;
    CProgressCtrl& operator=(const CProgressCtrl&) = delete;
    ~CProgressCtrl();

    bool Create(QWidget* parent, const QRect& rect);
    void DestroyWindow();
    bool IsWindow() const { return !m_bar.isNull(); }

    void SetRange(int lower, int upper);
    void SetPos(int pos);
    // Paints a position not painted yet (the last one of a burst) now.
    void UpdateWindow();
    int GetPos() const;
    void SetStep(int step) { m_step = step; }
    int GetStep() const { return m_step; }
    QRect GetRect() const;
    QProgressBar* Widget() const { return m_bar; }

private:
    QPointer<QProgressBar> m_bar;
    int m_step = 10;
    QElapsedTimer m_sincePaint;
    bool m_bUnpainted = false;
};
