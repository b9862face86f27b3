#pragma once
// The one-line filter above the play list's table (Ctrl+F). Escape closes it;
// Return and Down hand the keyboard to the table.
#include <QLineEdit>

class FilterBox : public QLineEdit {
    Q_OBJECT
public:
    explicit FilterBox(QWidget* parent = nullptr);

signals:
    void closeRequested();
    void leaveRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
