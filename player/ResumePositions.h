#pragma once
// Picking up a long medium where it was left. A video or sound longer than five minutes
// keeps its position, per file, in positions.sqlite in the user's data folder: written
// while it plays (at most every five seconds), and when its window closes or moves on;
// forgotten when it plays to its end. Stills and short media keep nothing.
#include <QElapsedTimer>
#include <QString>

#include <cstdint>
#include <optional>

namespace resume {

constexpr int64_t kLongerThanMs = 5 * 60 * 1000;
constexpr int64_t kWriteEveryMs = 5000;
// Closer than this to either end there is nothing to pick up: the medium starts over.
constexpr int64_t kEdgeMs = 5000;

// Where a medium of that length left at that point opens again; none for a short medium
// or a point near either end.
std::optional<int64_t> ResumePoint(int64_t lengthMs, int64_t positionMs);

// The store in the user's data folder (as the data folder is now); the file's path is
// the key. Failures of the file (a folder that cannot be written, a lock held by another
// copy of the program) lose the position, nothing else.
std::optional<int64_t> Recall(const QString& path);
void Keep(const QString& path, int64_t ms);
void Forget(const QString& path);

// The positions of one window's loaded medium.
class PositionKeeper {
public:
    // A medium opens: where it should start, if anywhere but its start.
    std::optional<int64_t> Opened(const QString& path, int64_t lengthMs);
    // A tick while it plays: written when the last write is old enough.
    void Playing(int64_t positionMs);
    // Its window closes or moves on. ended: it played to its end; no position: it was
    // stopped, and what was kept while it played stays.
    void Closed(std::optional<int64_t> positionMs, bool ended);
    // It played to its end, or the user had it start over.
    void Ended();

private:
    void Write(int64_t positionMs);

    QString m_path; // empty while the medium keeps nothing
    int64_t m_lengthMs = 0;
    QElapsedTimer m_sinceWrite;
};

} // namespace resume
