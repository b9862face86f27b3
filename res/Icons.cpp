#include "res/Icons.h"

#include "platform/framework/Resources.h"
#include "res/PaletteGlyph.h"
#include "res/Resource.h"
#include "res/ThemedIconEngine.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>

#include <memory>

namespace res {
namespace {

// The freedesktop theme's icon where the desktop has one, else the fallback.
QIcon Themed(const char* name, std::function<QIcon()> fallback, bool lookUpWhenPainted) {
    auto engine =
        std::make_unique<ThemedIconEngine>(QString::fromLatin1(name), std::move(fallback));
    return lookUpWhenPainted ? QIcon(engine.release()) : engine->Resolved();
}

std::function<QIcon()> StylesOwn(QStyle::StandardPixmap picture) {
    return [picture] { return QApplication::style()->standardIcon(picture); };
}

// Qt's own pictures of these marks are black whatever the style: ours follow the palette.
std::function<QIcon()> Drawn(Glyph glyph) {
    return [glyph] { return PaletteGlyphIcon(glyph); };
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

void InstallIcons(CResources& r, bool lookUpWhenPainted) {
    const auto themed = [lookUpWhenPainted](const char* name, std::function<QIcon()> fallback) {
        return Themed(name, std::move(fallback), lookUpWhenPainted);
    };
    r.icons = {
        {IDR_MAINFRAME, AppIcon(QColor(0, 100, 100))},
        {IDR_PLAYERTYPE, AppIcon(QColor(0, 120, 90))},
        {IDR_PLAYLISTTYPE, AppIcon(QColor(40, 80, 120))},
        {ID_FILE_OPEN, themed("document-open", StylesOwn(QStyle::SP_DialogOpenButton))},
        {ID_VIEW_PLAYLIST,
         themed("view-media-playlist", StylesOwn(QStyle::SP_FileDialogDetailedView))},
        {ID_PLAYLIST_PLAYSELECTED, themed("media-skip-forward", Drawn(Glyph::SkipForward))},
        {ID_PLAYER_PLAY, themed("media-playback-start", Drawn(Glyph::Play))},
        {ID_PLAYER_PAUSE, themed("media-playback-pause", Drawn(Glyph::Pause))},
        {ID_VIEW_FULLSCREEN, themed("view-fullscreen", Drawn(Glyph::FullScreen))},
        {ID_PLAYER_SOUND, themed("audio-volume-high", StylesOwn(QStyle::SP_MediaVolume))},
        {ID_VIEW_PARAMETERS,
         themed("preferences-system", StylesOwn(QStyle::SP_FileDialogInfoView))},
    };
}

} // namespace res
