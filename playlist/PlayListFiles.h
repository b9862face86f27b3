#pragma once
// Play lists as files: M3U, M3U8 and PLS read into the local files they name,
// and a selection written as an extended M3U8. Plain functions over files.
#include <QString>
#include <QStringList>

#include <vector>

namespace playlist {

// Names ending in .m3u, .m3u8 or .pls, in any case.
bool IsPlayListFile(const QString& path);

// The locations a list's text names, in its order: M3U lines that are not
// comments, or the File<n>= values of a PLS list in the order of n. Tolerates
// a byte-order mark, CR LF line ends and blank lines.
QStringList PlayListLocations(const QString& text);

// The absolute path of a local file the location names, relative ones taken
// from folder and file:// URLs decoded; empty for a location of another scheme.
QString LocalPathOf(const QString& location, const QString& folder);

struct PlayListRead {
    QStringList files; // the existing local files, absolute, in the list's order
    int missing = 0;   // the locations that name no existing local file
    QString fault;     // why the list itself could not be read; empty when it was
};

// "3 of the files listed were not found." (one: "was").
QString MissingFilesText(int missing);

// Reads the list file: UTF-8 (with or without a mark), else Latin-1.
PlayListRead ReadPlayListFile(const QString& path);

struct PlayListEntry {
    QString path;     // absolute
    QString title;    // the #EXTINF name
    int seconds = -1; // -1: length unknown
};

// The text of an extended M3U8 list kept in folder: paths under the folder
// relative to it, others absolute.
QString M3u8Text(const std::vector<PlayListEntry>& entries, const QString& folder);

// Writes the list whole or not at all; the reason in fault when it is not written.
bool WriteM3u8(const QString& path, const std::vector<PlayListEntry>& entries,
               QString* fault = nullptr);

} // namespace playlist
