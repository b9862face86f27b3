#include "playlist/PlayListCells.h"

#include "platform/dao/OleDateTime.h"
#include "platform/dao/OleVariant.h"

#include <array>
#include <charconv>

namespace playlist {
namespace {
constexpr double kBytesPerMb = 1048576.0;

void PutTwoDigits(char16_t* out, int value) {
    out[0] = char16_t(u'0' + (value / 10) % 10);
    out[1] = char16_t(u'0' + value % 10);
}
} // namespace

QString SizeText(qint64 bytes) {
    std::array<char, 64> buffer{};
    const double mb = static_cast<double>(bytes) / kBytesPerMb;
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), mb,
                                      std::chars_format::fixed, 2);
    return QString::fromLatin1(buffer.data(), result.ptr - buffer.data());
}

QString CreatedText(const COleDateTime& date) {
    if (date.GetStatus() != COleDateTime::valid)
        return QStringLiteral("Invalid DateTime");
    // dd.mm.yy HH:MM, built directly: a play list formats one date per line.
    char16_t text[14] = {0, 0, u'.', 0, 0, u'.', 0, 0, u' ', 0, 0, u':', 0, 0};
    PutTwoDigits(text, date.GetDay());
    PutTwoDigits(text + 3, date.GetMonth());
    PutTwoDigits(text + 6, date.GetYear() % 100);
    PutTwoDigits(text + 9, date.GetHour());
    PutTwoDigits(text + 12, date.GetMinute());
    return QString(reinterpret_cast<const QChar*>(text), 14);
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
