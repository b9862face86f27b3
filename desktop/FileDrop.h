#pragma once
// Files dragged from a file manager onto the main window open as File/Open
// opens them, each in its own player window, in the order they were dropped.
// The drop lands anywhere in the main window: the frame takes the drags that
// its MDI area and child windows leave to it.
#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QUrl>

class CMDIFrameWnd;
class QMimeData;

namespace desktop {

// The local files and the streams (http, https, rtsp) among urls, in their order; folders,
// missing files and other schemes are left out.
QStringList LocalFiles(const QList<QUrl>& urls);
QStringList DroppedFiles(const QMimeData* data);
// Opens each file as File/Open does.
void OpenFiles(const QStringList& paths);

class FileDrop : public QObject {
    Q_OBJECT
public:
    FileDrop(CMDIFrameWnd& frame, QObject* parent);
    ~FileDrop() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<CMDIFrameWnd> m_frame;
};

} // namespace desktop
