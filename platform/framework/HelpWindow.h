#pragma once
// The help window: the program's help page in a browser of its own.
#include <QDialog>

class CHelpWindow : public QDialog {
    Q_OBJECT
public:
    // Shows (or raises) the one help window with the page at source (a file or
    // resource path).
    static CHelpWindow* Show(QWidget* parent, const QString& source);
    QString Source() const;

private:
    CHelpWindow(QWidget* parent, const QString& source);
};
