// Counting the records of a table, and deleting the records behind play-list
// lines together with the lines.
#include "catalogue/CDao_PlayList.h"

#include "platform/dao/DaoDatabase.h"
#include "platform/dao/DaoException.h"
#include "platform/dao/DaoRecordset.h"
#include "platform/framework/MessageBox.h"
#include "platform/listctrl/ListCtrl.h"

#include <limits>

namespace {
constexpr int kKeyColumn = 5;
constexpr int kNameColumn = 0;

// The key as atol reads it: leading blanks, an optional sign, then digits up to
// the first other character; 0 without digits. Every 64-bit key reads whole; a
// longer number stops at the limit instead of overflowing.
qint64 KeyOfText(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    quint64 value = 0;
    const quint64 limit = negative ? quint64(std::numeric_limits<qint64>::max()) + 1
                                   : quint64(std::numeric_limits<qint64>::max());
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        const quint64 digit = text[i].unicode() - u'0';
        value = value > (limit - digit) / 10 ? limit : value * 10 + digit;
    }
    if (negative)
        return value == limit ? std::numeric_limits<qint64>::min() : -qint64(value);
    return qint64(value);
}

// Deletes the record that the line's key names, if there is one.
void DeleteRecordOfLine(CDaoRecordset& rs, const CListCtrl& list, int line, const QString& keyField,
                        QString& buffer) {
    const qint64 key = KeyOfText(list.GetItemTextView(line, kKeyColumn));
    buffer = QStringLiteral("%1=%2").arg(keyField).arg(key);
    rs.DeleteFirst(buffer); // finds the first such record and deletes it, in one statement
}

// Opens a recordset over the table and hands it to work, inside one
// transaction. What was deleted before an engine error stays deleted, as do
// the lines removed with it: commit it, then let the error go on to the caller.
template <class Work>
void RunDeletes(CDaoDatabase* db, const QString& table, QString& buffer, Work&& work) {
    auto openAndWork = [&] {
        CDaoRecordset rs(db);
        buffer = QStringLiteral("SELECT * FROM %1").arg(table);
        rs.Open(AFX_DAO_USE_DEFAULT_TYPE, buffer, 0);
        work(rs);
        rs.Close();
    };
    if (!db) {
        openAndWork(); // the recordset reports the missing database
        return;
    }
    CDaoTransaction transaction(*db);
    try {
        openAndWork();
    } catch (const CDaoException&) {
        try {
            transaction.Commit();
        } catch (const CDaoException&) {
            // The engine has rolled back already; the first error is the one to report.
        }
        throw;
    }
    transaction.Commit();
}
} // namespace

int CDao_PlayList::CountRecords(const QString& table) {
    RequireCatalogue();
    CDaoRecordset rs(m_pCDaoDatabase.get());
    m_strBuffer = QStringLiteral("SELECT * FROM %1").arg(table);
    rs.Open(AFX_DAO_USE_DEFAULT_TYPE, m_strBuffer, 0);
    try {
        rs.MoveLast();
    } catch (const CDaoException& e) {
        if (e.GetKind() != CDaoException::Kind::NotFound)
            throw;  // a failing scan is not an empty table
        rs.Close(); // an empty table has no last record
        return 0;
    }
    const long count = rs.GetRecordCount();
    rs.Close();
    return static_cast<int>(count);
}

void CDao_PlayList::DeleteAllLines(CListCtrl& list, const QString& table, const QString& keyField) {
    const int count = list.GetItemCount();
    m_strBuffer = QStringLiteral("Delete all %1 lines from Play List?").arg(count);
    if (AfxMessageBox(m_strBuffer, MB_YESNO) != IDYES)
        return;
    RunDeletes(m_pCDaoDatabase.get(), table, m_strBuffer, [&](CDaoRecordset& rs) {
        for (int line = 0; line < count; ++line)
            DeleteRecordOfLine(rs, list, line, keyField, m_strBuffer);
    });
    // "All" are the lines the user sees: those a filter hides keep their
    // records, and so keep their lines too.
    list.DeleteShownItems();
}

void CDao_PlayList::DeleteSelectedLines(CListCtrl& list, const QString& table,
                                        const QString& keyField) {
    const int first = list.GetNextItem(-1, LVNI_SELECTED);
    if (first < 0) {
        m_strBuffer = QStringLiteral("Please select a line(s) for delete.");
        MessageBoxEx(nullptr, m_strBuffer, QString(), MB_OK);
        return;
    }
    const int selected = list.GetSelectedCount();
    if (selected == 1)
        m_strBuffer = QStringLiteral("Delete a line \"%1\" from Play List?")
                          .arg(list.GetItemText(first, kNameColumn));
    else
        m_strBuffer = QStringLiteral("Delete those %1 lines from Play List?").arg(selected);
    if (AfxMessageBox(m_strBuffer, MB_YESNO) != IDYES)
        return;
    RunDeletes(m_pCDaoDatabase.get(), table, m_strBuffer, [&](CDaoRecordset& rs) {
        // Removing a line moves the ones below it up: the first selected line
        // is always the next one, so the lines go from top to bottom.
        for (int line = list.GetNextItem(-1, LVNI_SELECTED); line >= 0;
             line = list.GetNextItem(-1, LVNI_SELECTED)) {
            DeleteRecordOfLine(rs, list, line, keyField, m_strBuffer);
            if (!list.DeleteItem(line))
                break; // the list refuses changes (a sort runs): never loop forever
        }
    });
}
