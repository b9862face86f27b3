// Lumarest: a media player whose play list is a small catalogue.
#include "app/CLumarestApp.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Orvenhal"));
    QApplication::setApplicationName(QStringLiteral("Lumarest"));
    CLumarestApp app(QApplication::arguments().mid(1));
    if (!app.InitInstance())
        return 1;
    const int status = QApplication::exec();
    app.ExitInstance();
    return status;
}
