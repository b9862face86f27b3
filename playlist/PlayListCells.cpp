#include "playlist/PlayListCells.h"

#include "platform/dao/OleDateTime.h"
#include "platform/dao/OleVariant.h"

#include <array>
#include <charconv>
#include <cstring>

namespace playlist {
namespace {
constexpr double kBytesPerMb = 1048576.0;

void PutTwoDigits(char* out, int value) {
    out[0] = char('0' + (value / 10) % 10);
    out[1] = char('0' + value % 10);
}

constexpr char kInvalidDate[] = "Invalid DateTime";
} // namespace

size_t SizeChars(qint64 bytes, char* out) {
    constexpr qint64 kExact = qint64(1) << 53; // every size up to here is exact in a double
    if (bytes >= 0 && bytes < kExact / 100) {
        // Hundredths of a megabyte, rounded as "%.2f" rounds the exact quotient:
        // to nearest, a tie to even.
        const quint64 scaled = quint64(bytes) * 100;
        quint64 hundredths = scaled >> 20;
        const quint64 rest = scaled & ((quint64(1) << 20) - 1);
        constexpr quint64 kHalf = quint64(1) << 19;
        if (rest > kHalf || (rest == kHalf && (hundredths & 1)))
            ++hundredths;
        char* end = std::to_chars(out, out + kCellChars, hundredths / 100).ptr;
        *end++ = '.';
        PutTwoDigits(end, int(hundredths % 100));
        return size_t(end + 2 - out);
    }
    const double mb = static_cast<double>(bytes) / kBytesPerMb;
    const auto result = std::to_chars(out, out + kCellChars, mb, std::chars_format::fixed, 2);
    return size_t(result.ptr - out);
}

size_t CreatedChars(const COleDateTime& date, char* out) {
    if (date.GetStatus() != COleDateTime::valid) {
        std::memcpy(out, kInvalidDate, sizeof kInvalidDate - 1);
        return sizeof kInvalidDate - 1;
    }
    // dd.mm.yy HH:MM, built directly: a play list formats one date per line.
    PutTwoDigits(out, date.GetDay());
    out[2] = '.';
    PutTwoDigits(out + 3, date.GetMonth());
    out[5] = '.';
    PutTwoDigits(out + 6, date.GetYear() % 100);
    out[8] = ' ';
    PutTwoDigits(out + 9, date.GetHour());
    out[11] = ':';
    PutTwoDigits(out + 12, date.GetMinute());
    return 14;
}

size_t KeyChars(qint64 key, char* out) {
    return size_t(std::to_chars(out, out + kCellChars, key).ptr - out);
}

QString SizeText(qint64 bytes) {
    std::array<char, kCellChars> buffer{};
    return QString::fromLatin1(buffer.data(), qsizetype(SizeChars(bytes, buffer.data())));
}

QString CreatedText(const COleDateTime& date) {
    std::array<char, kCellChars> buffer{};
    return QString::fromLatin1(buffer.data(), qsizetype(CreatedChars(date, buffer.data())));
}

QString KeyText(qint64 key) {
    return QString::number(key);
}

QString TextCell(const COleVariant& value) {
    return value.IsNull() || value.IsEmpty() ? QString() : value.GetText();
}

QString SizeCell(const COleVariant& value) {
    return value.IsNull() || value.IsEmpty() ? QString() : SizeText(value.GetLong());
}

QString CreatedCell(const COleVariant& value) {
    return CreatedText(VariantToDate(value));
}

QString KeyCell(const COleVariant& value) {
    return value.IsNull() || value.IsEmpty() ? QString() : KeyText(value.GetLong());
}

QString LinePath(QStringView directory, QStringView name) {
    QString path;
    path.reserve(directory.size() + 1 + name.size());
    path.append(directory);
    path.append(QLatin1Char('/'));
    path.append(name);
    return path;
}

} // namespace playlist
