// S and Shift+S: the picture on screen saved as a PNG file in the user's pictures folder,
// as the video has it or with its subtitles as shown; pane 0 names the file.
#include "player/CLumarestView.h"

#include "player/PictureFiles.h"

#include <QDir>
#include <QImage>
#include <QStandardPaths>

bool CLumarestView::HasPicture() const {
    long w = 0;
    long h = 0;
    return HasGraph() && m_pBV && m_nDuration > 0 && NativeVideoSize(w, h);
}

QString CLumarestView::SavePicture(bool withSubtitles) {
    QImage picture;
    if (!HasPicture() || FAILED(m_pBV->GetCurrentPicture(withSubtitles, picture)) ||
        picture.isNull()) {
        ShowNote(NoPictureText());
        return {};
    }
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    const QString path = FreePicturePath(folder, PictureName(m_strFile, PositionUs()));
    if (!QDir().mkpath(folder) || !picture.save(path, "PNG")) {
        ShowNote(PictureNotSavedText(path));
        return {};
    }
    ShowNote(PictureSavedText(path));
    return path;
}
