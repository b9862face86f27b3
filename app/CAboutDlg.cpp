#include "app/CAboutDlg.h"

#include "platform/framework/Resources.h"
#include "res/Resource.h"

#include <QLabel>
#include <QPushButton>

CAboutDlg::CAboutDlg(QWidget* parent) : CDialog(parent) {
    setWindowTitle(QStringLiteral("About Lumarest"));
    setFixedSize(DluSize(235, 55));

    auto* icon = new QLabel(this);
    icon->setPixmap(AfxResources().LoadIcon(IDR_MAINFRAME).pixmap(32, 32));
    icon->setGeometry(DluRect(11, 17, 21, 20));

    auto* text = new QLabel(QStringLiteral("LUMAREST Version 1.0"), this);
    text->setGeometry(DluRect(40, 10, 119, 8));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setGeometry(DluRect(178, 7, 50, 16));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { OnOK(); });
}
