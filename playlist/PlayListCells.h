#pragma once
// The texts of a play-list line's cells, from the values of a FILES record.
// Plain functions, locale-independent (the decimal point is always '.').
#include <QString>
#include <QStringView>
#include <cstddef>

class COleDateTime;
class COleVariant;

namespace playlist {

// Column indexes of a play-list line.
enum Column : int {
    ColName = 0,
    ColExtention = 1,
    ColSize = 2,
    ColCreated = 3,
    ColDirectory = 4,
    ColKey = 5,
    ColumnCount = 6
};

// "%.2f" of bytes / 1048576. The size is 64-bit, so files of 2 GiB and more
// show their true size.
QString SizeText(qint64 bytes);
// "%d.%m.%y %H:%M" (two-digit day, month and year, 24-hour clock), or
// "Invalid DateTime" for a date that is not valid.
QString CreatedText(const COleDateTime& date);
// "%d".
QString KeyText(qint64 key);

// The same three as Latin-1 characters written to out (room for
// kCellChars); the number of characters written.
inline constexpr size_t kCellChars = 32;
size_t SizeChars(qint64 bytes, char* out);
size_t CreatedChars(const COleDateTime& date, char* out);
size_t KeyChars(qint64 key, char* out);

// The same from the field values as the recordset hands them over. A Null text
// field or a Null number shows as the empty text; a Null or unconvertible date
// as "Invalid DateTime".
QString TextCell(const COleVariant& value);
QString SizeCell(const COleVariant& value);
QString CreatedCell(const COleVariant& value);
QString KeyCell(const COleVariant& value);

// The file behind a line: its folder, the separator and its name ("%s\%s"),
// whole, however long.
QString LinePath(QStringView directory, QStringView name);

} // namespace playlist
