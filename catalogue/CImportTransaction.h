#pragma once
// The transaction an import runs in. One commit for the whole import would lose
// everything to a process that dies half-way, one per file costs a disk flush
// each: so the work is committed every quarter of a second or so, and on every
// way out, an engine error included, so that the records added before it stay.
#include "platform/dao/DaoDatabase.h"

#include <QElapsedTimer>

class CImportTransaction {
public:
    static constexpr int kCommitIntervalMs = 250;
    // The clock is read at every few checkpoints only: a file takes far less
    // than the interval, and reading the clock costs as much as a small step.
    static constexpr int kCheckpointsPerClockRead = 8;

    // Begins the transaction (a savepoint when one is open already).
    explicit CImportTransaction(CDaoDatabase& database);
    // Commits what was done if Commit was not called; never throws.
    ~CImportTransaction();
    CImportTransaction(const CImportTransaction&) = delete;
    CImportTransaction& operator=(const CImportTransaction&) = delete;

    // Commits and goes on in a new transaction once the interval has passed.
    void Checkpoint();
    void Commit();
    int GetCommitCount() const { return m_nCommits; }

private:
    CDaoTransaction m_transaction;
    QElapsedTimer m_sinceCommit;
    int m_nUnclockedCheckpoints = 0;
    int m_nCommits = 0;
};
