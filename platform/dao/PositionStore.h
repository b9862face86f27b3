#pragma once
// A small SQLite file of its own that keeps, for each file named to it, one position
// in milliseconds. Files are known by a 64-bit digest of their path, so that a row
// stays a few bytes however long the path; past the capacity the positions written
// longest ago go. Written in WAL mode without waiting for the disk: one write is one
// short UPSERT. Every failure raises CDaoException.
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

namespace lumarest::dao {

class PositionStore {
public:
    static constexpr int kDefaultCapacity = 10'000;

    // Opens the file, making it (and its folder) when missing.
    explicit PositionStore(const QString& path, int capacity = kDefaultCapacity);
    ~PositionStore();
    PositionStore(const PositionStore&) = delete;
    PositionStore& operator=(const PositionStore&) = delete;

    std::optional<int64_t> Read(const QString& file) const;
    void Write(const QString& file, int64_t ms);
    void Forget(const QString& file);
    int Count() const;
    QString Path() const { return m_path; }

private:
    struct Connection;
    void Prune();

    std::unique_ptr<Connection> m_db;
    QString m_path;
    int m_capacity;
    int m_count = 0;
    int64_t m_lastStamp = 0;
};

} // namespace lumarest::dao
