#include "res/Icons.h"

#include "platform/framework/Resources.h"
#include "res/Resource.h"
#include "res/ThemedIconEngine.h"

#include <QPainter>
#include <QPainterPath>
#include <QStyle>

namespace res {
namespace {

// The freedesktop theme's icon where the desktop has one, else Qt's own; looked up when the
// toolbar is first painted.
QIcon Themed(const char* name, QStyle::StandardPixmap fallback) {
    return QIcon(new ThemedIconEngine(QString::fromLatin1(name), fallback));
}

// The program's own picture: a teal tile with a play mark and list lines,
// drawn small enough for a window's title bar and large for the task bar.
QIcon AppIcon(QColor tile) {
    QIcon icon;
    for (int size : {16, 32, 48, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(tile);
        p.setPen(Qt::NoPen);
        p.drawRoundedRect(QRectF(0, 0, size, size), size / 6.0, size / 6.0);
        p.setBrush(Qt::white);
        QPainterPath play;
        play.moveTo(size * 0.22, size * 0.2);
        play.lineTo(size * 0.62, size * 0.45);
        play.lineTo(size * 0.22, size * 0.7);
        play.closeSubpath();
        p.drawPath(play);
        for (int i = 0; i < 3; ++i)
            p.drawRect(QRectF(size * 0.66, size * (0.24 + i * 0.18), size * 0.2, size * 0.08));
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace

void InstallIcons(CResources& r) {
    r.icons = {
        {IDR_MAINFRAME, AppIcon(QColor(0, 100, 100))},
        {IDR_PLAYERTYPE, AppIcon(QColor(0, 120, 90))},
        {IDR_PLAYLISTTYPE, AppIcon(QColor(40, 80, 120))},
        {ID_FILE_OPEN, Themed("document-open", QStyle::SP_DialogOpenButton)},
        {ID_VIEW_PLAYLIST, Themed("view-media-playlist", QStyle::SP_FileDialogDetailedView)},
        {ID_PLAYLIST_PLAYSELECTED, Themed("media-skip-forward", QStyle::SP_MediaSkipForward)},
        {ID_PLAYER_PLAY, Themed("media-playback-start", QStyle::SP_MediaPlay)},
        {ID_PLAYER_PAUSE, Themed("media-playback-pause", QStyle::SP_MediaPause)},
        {ID_VIEW_FULLSCREEN, Themed("view-fullscreen", QStyle::SP_TitleBarMaxButton)},
        {ID_PLAYER_SOUND, Themed("audio-volume-high", QStyle::SP_MediaVolume)},
        {ID_VIEW_PARAMETERS, Themed("preferences-system", QStyle::SP_FileDialogInfoView)},
    };
}

} // namespace res
