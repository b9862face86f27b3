#pragma once
// Where a picture taken from a playing medium is saved: a name made of the medium's own name
// and the position of the picture, in a folder, never over a file already there.
#include <QString>

#include <cstdint>

// "clip 00-01-23.450" for the picture at 1 min 23.45 s of ".../clip.mkv".
QString PictureName(const QString& mediumPath, int64_t positionUs);
// folder/name.png, or folder/name (2).png and on while that is taken.
QString FreePicturePath(const QString& folder, const QString& name);
// What pane 0 says after a picture was saved, or could not be.
QString PictureSavedText(const QString& path);
QString NoPictureText();
QString PictureNotSavedText(const QString& path);
