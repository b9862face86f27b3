// File/Open Location: a stream from the network, asked for by its URL.
#include "app/CLumarestApp.h"

#include "platform/framework/DocTemplate.h"
#include "platform/framework/Locations.h"
#include "platform/framework/MDIFrameWnd.h"
#include "platform/framework/MessageBox.h"
#include "player/CLumarestDoc.h"

#include <QInputDialog>

CDocument* CLumarestApp::OpenStream(const QString& url) {
    for (const auto& t : Templates())
        if (t->FindDocument(url))
            return CWinApp::OpenDocumentFile(url); // its window comes to the front
    if (!m_pPlayerTemplate)
        return nullptr;
    auto* doc = dynamic_cast<CLumarestDoc*>(m_pPlayerTemplate->OpenDocumentFile(QString(), true));
    if (!doc)
        return nullptr;
    if (doc->PlayStream(url))
        return doc;
    // A closing asked for while it started waits for the next turn of the event loop: the
    // document is still there to be closed now, and no window is left half made.
    doc->OnCloseDocument();
    return nullptr;
}

void CLumarestApp::OnFileOpenLocation() {
    QString text;
    if (m_askLocation) {
        text = m_askLocation();
    } else {
        bool ok = false;
        text = QInputDialog::getText(m_pMainWnd, QStringLiteral("Open Location"),
                                     QStringLiteral("URL (http, https, rtsp or file):"),
                                     QLineEdit::Normal, QString(), &ok);
        if (!ok)
            return;
    }
    text = text.trimmed();
    if (text.isEmpty())
        return;
    const QString location = AfxFullPath(text);
    if (!AfxIsStreamUrl(location) &&
        !text.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
        AfxMessageBox(
            QStringLiteral("Cannot open %1: not an http, https, rtsp or file URL").arg(text),
            MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    OpenDocumentFile(location);
}
