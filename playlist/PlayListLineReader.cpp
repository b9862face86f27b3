#include "playlist/PlayListLineReader.h"

#include "platform/dao/OleDateTime.h"

#include <cstring>

namespace playlist {
namespace {

// The number of a field of the recordset, found by its name.
int FieldNumber(const CDaoRecordset& rs, const char* field) {
    const QString name = QString::fromLatin1(field);
    for (int i = 0; i < rs.GetFieldCount(); ++i)
        if (rs.GetFieldName(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1; // reading it reports the missing field
}

bool IsAscii(const char* p, int bytes) {
    uint64_t any = 0;
    int i = 0;
    for (; i + 8 <= bytes; i += 8) {
        uint64_t w;
        std::memcpy(&w, p + i, 8);
        any |= w;
    }
    for (; i < bytes; ++i)
        any |= static_cast<unsigned char>(p[i]);
    return (any & 0x8080808080808080ull) == 0;
}

} // namespace

LineReader::LineReader(const CDaoRecordset& rs) {
    m_fields[ColName] = FieldNumber(rs, "Name");
    m_fields[ColExtention] = FieldNumber(rs, "Extention");
    m_fields[ColSize] = FieldNumber(rs, "Size");
    m_fields[ColCreated] = FieldNumber(rs, "DateCreated");
    m_fields[ColDirectory] = FieldNumber(rs, "Directory");
    m_fields[ColKey] = FieldNumber(rs, "ID_Files");
}

std::span<const CCellView> LineReader::Read(const CDaoRecordset& rs) {
    rs.GetFieldsRaw(m_fields, m_raw.data());
    m_cells[ColName] = Text(rs, ColName, m_raw[ColName]);
    m_cells[ColExtention] = Text(rs, ColExtention, m_raw[ColExtention]);
    m_cells[ColSize] = Size(rs, m_raw[ColSize]);
    m_cells[ColCreated] = Created(rs, m_raw[ColCreated]);
    m_cells[ColDirectory] = Text(rs, ColDirectory, m_raw[ColDirectory]);
    m_cells[ColKey] = Key(rs, m_raw[ColKey]);
    return m_cells;
}

CCellView LineReader::Kept(Column column, QString text) {
    m_kept[column] = std::move(text);
    return CCellView::Of(m_kept[column]);
}

CCellView LineReader::Text(const CDaoRecordset& rs, Column column, const RawField& f) {
    if (f.type == RawType::Null || (f.type == RawType::Text && f.bytes == 0))
        return {};
    if (f.type == RawType::Text && f.text && IsAscii(f.text, f.bytes))
        return {f.text, uint32_t(f.bytes), false};
    if (f.type == RawType::Text && f.text)
        return Kept(column, QString::fromUtf8(f.text, f.bytes));
    return Kept(column, TextCell(rs.GetFieldValue(m_fields[column])));
}

CCellView LineReader::Size(const CDaoRecordset& rs, const RawField& f) {
    if (f.type == RawType::Null)
        return {};
    if (f.type != RawType::Integer)
        return Kept(ColSize, SizeCell(rs.GetFieldValue(m_fields[ColSize])));
    char* out = m_chars[ColSize].data();
    return {out, uint32_t(SizeChars(f.integer, out)), false};
}

CCellView LineReader::Created(const CDaoRecordset& rs, const RawField& f) {
    if (f.type == RawType::Text && f.text) {
        const COleDateTime date = COleDateTime::FromSqliteText(f.text, f.bytes);
        if (date.GetStatus() == COleDateTime::valid) {
            char* out = m_chars[ColCreated].data();
            return {out, uint32_t(CreatedChars(date, out)), false};
        }
    }
    return Kept(ColCreated, CreatedCell(rs.GetFieldValue(m_fields[ColCreated])));
}

CCellView LineReader::Key(const CDaoRecordset& rs, const RawField& f) {
    if (f.type == RawType::Null)
        return {};
    if (f.type != RawType::Integer)
        return Kept(ColKey, KeyCell(rs.GetFieldValue(m_fields[ColKey])));
    char* out = m_chars[ColKey].data();
    return {out, uint32_t(KeyChars(f.integer, out)), false};
}

} // namespace playlist
