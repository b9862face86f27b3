#include "player/ChapterMarks.h"

#include <QEvent>
#include <QPainter>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>

#include <algorithm>

ChapterMarks::ChapterMarks(QSlider* slider, std::vector<int> values)
    : QWidget(slider), m_slider(slider), m_values(std::move(values)) {
    std::erase_if(m_values, [slider](int v) { return v <= slider->minimum(); });
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(slider->rect());
    slider->installEventFilter(this);
    show();
}

// Where the handle's middle is at each value.
std::vector<int> ChapterMarks::MarkPositions() const {
    QStyleOptionSlider option;
    option.initFrom(m_slider);
    option.orientation = m_slider->orientation();
    const int handle = m_slider->style()->pixelMetric(QStyle::PM_SliderLength, &option, m_slider);
    const int span = std::max(0, m_slider->width() - handle);
    std::vector<int> xs;
    for (const int value : m_values)
        xs.push_back(handle / 2 + QStyle::sliderPositionFromValue(
                                      m_slider->minimum(), m_slider->maximum(), value, span));
    return xs;
}

void ChapterMarks::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    for (const int x : MarkPositions()) {
        painter.drawLine(x, 0, x, 2);
        painter.drawLine(x, height() - 3, x, height() - 1);
    }
}

bool ChapterMarks::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_slider && event->type() == QEvent::Resize)
        setGeometry(m_slider->rect());
    return QWidget::eventFilter(watched, event);
}
