#pragma once
// What the import learns of a folder and its files from the file system: the
// plain files whose names match "*.ext", each file's length and creation time,
// and the texts the catalogue stores for them. Plain functions, no database.
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace lumarest::catalogue {

// The full path of a file from the folder as the catalogue keeps it (without a
// trailing separator; empty for the root folder) and its name: "/name" at the root.
QString JoinPath(const QString& folder, const QString& name);

// The last count characters of a name (the whole name when shorter). Characters
// outside the basic plane count once and are never split.
QString LastCharacters(const QString& name, int count);

// True when name matches the pattern "*.<extension>" without regard to case; an
// empty extension stands for "*.*", which every name matches. The extension is
// taken literally: '*' and '?' in it are no wildcards.
bool MatchesPattern(QStringView name, QStringView extension);

// The names (without folder) of the plain files of folder that match the pattern,
// in the order the directory yields them. Folders, "." and "..", and what is no
// regular file once links are followed (devices, pipes, broken links) are skipped,
// as are names that cannot be written back as the same bytes. Empty when the
// folder cannot be read.
QStringList ListPlainFiles(const QString& folder, QStringView extension);

struct FileStatus {
    qint64 size = 0;
    // Seconds since 1970 (UTC): the birth time where the file system records it,
    // else the last status change.
    qint64 created = 0;
};

// Opens the file for reading, as the import does, and reads its status; nothing
// when it cannot be opened (no access, vanished).
std::optional<FileStatus> ReadFileStatus(const QString& path);

// The creation date as the import writes it: local time, "MM/DD/YYYY HH:MM:SS".
// Empty when the year falls outside 100..9999, which no date field can hold.
QString CreationDateText(qint64 secondsSinceEpoch);

} // namespace lumarest::catalogue
