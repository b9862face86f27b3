#pragma once
// Small marks on the position slider where a medium's chapters start: a child of the slider
// that covers it, follows its size and lets the mouse through to it.
#include <QWidget>

#include <vector>

class QSlider;

class ChapterMarks : public QWidget {
public:
    // values: the chapters' starts as slider values; one at the start gets no mark.
    ChapterMarks(QSlider* slider, std::vector<int> values);
    // Where each mark is drawn, from the slider's left.
    std::vector<int> MarkPositions() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QSlider* m_slider;
    std::vector<int> m_values;
};
