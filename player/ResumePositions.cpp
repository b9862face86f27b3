#include "player/ResumePositions.h"

#include "platform/dao/DaoException.h"
#include "platform/dao/PositionStore.h"

#include <QFileInfo>
#include <QStandardPaths>

#include <memory>

namespace resume {

namespace {
using lumarest::dao::PositionStore;

QString StorePath() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/positions.sqlite");
}

// Opened at first use, and again when the data folder has changed since.
PositionStore* Store() {
    static std::unique_ptr<PositionStore> store;
    const QString path = StorePath();
    if (store && store->Path() == path)
        return store.get();
    store.reset();
    try {
        store = std::make_unique<PositionStore>(path);
    } catch (const CDaoException&) {
        return nullptr;
    }
    return store.get();
}

QString KeyOf(const QString& path) {
    return QFileInfo(path).absoluteFilePath();
}

template <class Step> void Guarded(Step step) {
    try {
        if (PositionStore* store = Store())
            step(*store);
    } catch (const CDaoException&) {
        // The position is lost; the medium plays on.
    }
}
} // namespace

std::optional<int64_t> ResumePoint(int64_t lengthMs, int64_t positionMs) {
    if (lengthMs <= kLongerThanMs || positionMs < kEdgeMs || positionMs > lengthMs - kEdgeMs)
        return std::nullopt;
    return positionMs;
}

std::optional<int64_t> Recall(const QString& path) {
    std::optional<int64_t> ms;
    Guarded([&](PositionStore& store) { ms = store.Read(KeyOf(path)); });
    return ms;
}

void Keep(const QString& path, int64_t ms) {
    Guarded([&](PositionStore& store) { store.Write(KeyOf(path), ms); });
}

void Forget(const QString& path) {
    Guarded([&](PositionStore& store) { store.Forget(KeyOf(path)); });
}

std::optional<int64_t> PositionKeeper::Opened(const QString& path, int64_t lengthMs) {
    m_path.clear();
    m_lengthMs = lengthMs;
    if (lengthMs <= kLongerThanMs || path.isEmpty())
        return std::nullopt;
    m_path = path;
    m_sinceWrite.start();
    const std::optional<int64_t> stored = Recall(path);
    return stored ? ResumePoint(lengthMs, *stored) : std::nullopt;
}

void PositionKeeper::Playing(int64_t positionMs) {
    if (!m_path.isEmpty() && m_sinceWrite.hasExpired(kWriteEveryMs))
        Write(positionMs);
}

void PositionKeeper::Closed(std::optional<int64_t> positionMs, bool ended) {
    if (ended)
        Ended();
    else if (!m_path.isEmpty() && positionMs)
        Write(*positionMs);
    m_path.clear();
}

void PositionKeeper::Ended() {
    if (!m_path.isEmpty())
        Forget(m_path);
    m_sinceWrite.start();
}

// A point near either end leaves nothing to pick up: the file is forgotten.
void PositionKeeper::Write(int64_t positionMs) {
    m_sinceWrite.start();
    if (ResumePoint(m_lengthMs, positionMs))
        Keep(m_path, positionMs);
    else
        Forget(m_path);
}

} // namespace resume
