#pragma once
// A medium's embedded cover picture as a file the sound menu can show: written
// once to the user's cache folder, named by its content.
#include <QByteArray>
#include <QString>

namespace desktop {

// The file:// address of the picture's file, or "" without a picture or when it
// cannot be written. folder "" is the user's cache folder.
QString CoverArtUrl(const QByteArray& picture, const QString& type,
                    const QString& folder = QString());

} // namespace desktop
