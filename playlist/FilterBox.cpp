#include "playlist/FilterBox.h"

#include <QKeyEvent>

FilterBox::FilterBox(QWidget* parent) : QLineEdit(parent) {
    setPlaceholderText(tr("Filter by name or folder"));
    setClearButtonEnabled(true);
    hide();
}

void FilterBox::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
        emit closeRequested();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Down:
        emit leaveRequested();
        return;
    default:
        QLineEdit::keyPressEvent(event);
    }
}
