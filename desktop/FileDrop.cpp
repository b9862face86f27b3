#include "desktop/FileDrop.h"

#include "platform/framework/Locations.h"
#include "platform/framework/MDIFrameWnd.h"
#include "platform/framework/WinApp.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>

namespace desktop {

QStringList LocalFiles(const QList<QUrl>& urls) {
    QStringList files;
    for (const QUrl& url : urls) {
        // A stream dropped from a browser opens by its URL.
        if (const QString text = url.toString(); AfxIsStreamUrl(text))
            files << text;
        if (!url.isLocalFile())
            continue;
        const QFileInfo info(url.toLocalFile());
        if (info.isFile())
            files << info.absoluteFilePath();
    }
    return files;
}

QStringList DroppedFiles(const QMimeData* data) {
    if (!data || !data->hasUrls())
        return {};
    return LocalFiles(data->urls());
}

void OpenFiles(const QStringList& paths) {
    CWinApp* app = AfxGetApp();
    if (!app)
        return;
    for (const QString& path : paths)
        app->OpenDocumentFile(path);
}

FileDrop::FileDrop(CMDIFrameWnd& frame, QObject* parent) : QObject(parent), m_frame(&frame) {
    frame.setAcceptDrops(true);
    frame.installEventFilter(this);
}

FileDrop::~FileDrop() {
    if (m_frame)
        m_frame->removeEventFilter(this);
}

bool FileDrop::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (DroppedFiles(drag->mimeData()).isEmpty())
            drag->ignore();
        else
            drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QStringList files = DroppedFiles(drop->mimeData());
        if (files.isEmpty()) {
            drop->ignore();
            return true;
        }
        drop->acceptProposedAction();
        // Opening may ask the user something: the drag source is answered first.
        QTimer::singleShot(0, this, [files] { OpenFiles(files); });
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}

} // namespace desktop
