#include "catalogue/CImportTransaction.h"

CImportTransaction::CImportTransaction(CDaoDatabase& database) : m_transaction(database) {
    m_sinceCommit.start();
}

CImportTransaction::~CImportTransaction() {
    if (!m_transaction.IsActive())
        return;
    try {
        m_transaction.Commit();
    } catch (...) {
        // The caller is on its way out with an error of its own; the engine has
        // kept or rolled back the work as a whole, and the file stays consistent.
    }
}

void CImportTransaction::Checkpoint() {
    if (++m_nUnclockedCheckpoints < kCheckpointsPerClockRead)
        return;
    m_nUnclockedCheckpoints = 0;
    if (m_sinceCommit.elapsed() < kCommitIntervalMs)
        return;
    m_transaction.CommitSoFar();
    ++m_nCommits;
    m_sinceCommit.restart();
}

void CImportTransaction::Commit() {
    m_transaction.Commit();
    ++m_nCommits;
}
