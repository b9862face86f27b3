#pragma once
// A table definition: builds a new table (fields, then indexes, then Append) or
// opens an existing one. Field order is the order of CreateField.
#include "platform/dao/DaoException.h"
#include "platform/dao/DaoTypes.h"

#include <QString>
#include <vector>

class CDaoDatabase;

struct CDaoIndexFieldInfo {
    QString m_strName;
    bool m_bDescending = false;
};

struct CDaoIndexInfo {
    QString m_strName;
    std::vector<CDaoIndexFieldInfo> m_fields;
    bool m_bPrimary = false;
    bool m_bUnique = false;
    bool m_bRequired = false;
    bool m_bIgnoreNulls = false;
};

class CDaoTableDef {
public:
    explicit CDaoTableDef(CDaoDatabase* database);
    ~CDaoTableDef() = default;
    CDaoTableDef(const CDaoTableDef&) = delete;
    CDaoTableDef& operator=(const CDaoTableDef&) = delete;

    // Starts a new definition; nothing reaches the database before Append.
    // Linked tables (source table, connect string) are not supported.
    void Create(const QString& name, long attributes = 0, const QString& srcTable = QString(),
                const QString& connect = QString());
    // Opens the definition of an existing table; fails when there is none.
    void Open(const QString& name);
    bool IsOpen() const { return m_state != State::Closed; }
    void Close();
    QString GetName() const { return m_strName; }

    // On a new definition the field is kept for Append; on an open table it is
    // added to the table at once. dbText's size is declared (VARCHAR(size)), not enforced.
    void CreateField(const QString& name, short type, long size, long attributes = 0);
    void CreateIndex(const CDaoIndexInfo& index);
    // Creates the table with its fields and indexes, all or nothing.
    void Append();

    int GetFieldCount() const;
    int GetIndexCount() const { return static_cast<int>(m_indexes.size()); }

private:
    enum class State { Closed, New, Open };
    struct FieldDef {
        QString name;
        short type = 0;
        long size = 0;
        long attributes = 0;
    };

    void RequireState(State state) const;
    QString ColumnDefinition(const FieldDef& field, bool required) const;
    QString CreateTableSql() const;
    QString CreateIndexSql(const CDaoIndexInfo& index) const;
    bool IsRequired(const QString& field) const;

    CDaoDatabase* m_pDatabase;
    State m_state = State::Closed;
    QString m_strName;
    std::vector<FieldDef> m_fields;
    std::vector<CDaoIndexInfo> m_indexes;
};
