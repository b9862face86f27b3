#include "platform/framework/HelpWindow.h"

#include <QPointer>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {
QPointer<CHelpWindow> g_helpWindow;
}

CHelpWindow::CHelpWindow(QWidget* parent, const QString& source) : QDialog(parent) {
    setAttribute(Qt::WA_DeleteOnClose);
    auto* browser = new QTextBrowser(this);
    browser->setObjectName(QStringLiteral("helpBrowser"));
    browser->setOpenExternalLinks(false);
    browser->setSource(source.startsWith(QLatin1Char(':')) ? QUrl(QStringLiteral("qrc") + source)
                                                           : QUrl::fromLocalFile(source));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser);
    setWindowTitle(browser->documentTitle().isEmpty() ? tr("Help") : browser->documentTitle());
    resize(560, 480);
}

CHelpWindow* CHelpWindow::Show(QWidget* parent, const QString& source) {
    if (!g_helpWindow)
        g_helpWindow = new CHelpWindow(parent, source);
    g_helpWindow->show();
    g_helpWindow->raise();
    g_helpWindow->activateWindow();
    return g_helpWindow;
}

QString CHelpWindow::Source() const {
    auto* browser = findChild<QTextBrowser*>(QStringLiteral("helpBrowser"));
    return browser ? browser->source().toString() : QString();
}
