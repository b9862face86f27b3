#pragma once
// Where a document comes from: a file, named by its path (or a file: URL), or a stream on
// the network, named by its URL. A stream's URL is kept as it was given: it is no path and
// no folder may be put in front of it.
#include <QString>

// An http, https or rtsp URL with a host.
bool AfxIsStreamUrl(const QString& location);
// A stream's URL as given; a file: URL as the local path it names; any other text as the
// whole path of the file it names.
QString AfxFullPath(const QString& location);
// What a window showing it is titled: a file's name, or the last part of a stream's path
// (its host when the path has none).
QString AfxDisplayName(const QString& location);
