#pragma once
// Type codes, attributes and options of the data-access layer. The values are
// the ones the catalogue code passes when it builds and opens its tables.

// Field types (CDaoTableDef::CreateField).
inline constexpr short dbInteger = 3; // 16-bit integer, stored as INTEGER
inline constexpr short dbLong = 4;    // integer; kept as a full 64-bit value
inline constexpr short dbDouble = 7;  // floating point
inline constexpr short dbDate = 8;    // date and time, stored as "YYYY-MM-DD HH:MM:SS"
inline constexpr short dbText = 10;   // text with a declared maximum size (not enforced)
inline constexpr short dbMemo = 12;   // text without a declared size

// Field attributes.
inline constexpr long dbAutoIncrField = 16; // the engine assigns the key

// Recordset types (CDaoRecordset::Open). Every type gives an updatable dynaset.
inline constexpr int AFX_DAO_USE_DEFAULT_TYPE = -1;
inline constexpr int dbOpenTable = 1;
inline constexpr int dbOpenDynaset = 2;
inline constexpr int dbOpenSnapshot = 4;

// Collating order and locale of a new database (CDaoDatabase::Create).
inline constexpr const char* dbLangGeneral = ";LANGID=0x0409;CP=1252;COUNTRY=0";

// Stamp written into the SQLite header (application_id) of every database that
// CDaoDatabase::Create makes; CDaoDatabase::Open accepts only files carrying it.
inline constexpr int kDaoApplicationId = 0x4C554D52; // "LUMR"
