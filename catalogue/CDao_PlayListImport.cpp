// The catalogue's part of the import: listing a folder's matching files and
// adding one file to FILES.
#include "catalogue/CDao_PlayList.h"

#include "catalogue/FileFacts.h"
#include "platform/dao/DaoDatabase.h"
#include "platform/dao/DaoRecordset.h"
#include "platform/framework/WaitCursor.h"

using namespace lumarest::catalogue;

namespace {
constexpr int kExtensionLength = 3;
} // namespace

int CDao_PlayList::ListFiles(const QString& folder, QStringList& names, const QString& extension) {
    m_strBuffer = JoinPath(folder, extension.isEmpty() ? QStringLiteral("*.*")
                                                       : QStringLiteral("*.") + extension);
    const QStringList found = ListPlainFiles(folder, extension);
    names.append(found);
    return static_cast<int>(found.size());
}

bool CDao_PlayList::AddFile(const QString& folder, const QString& name) {
    CWaitCursor wait;
    CDaoRecordset recordset(m_pCDaoDatabase.get());
    m_strBuffer = QStringLiteral("SELECT * FROM FILES");
    recordset.Open(AFX_DAO_USE_DEFAULT_TYPE, m_strBuffer, 0);

    // Name and folder are bound, never pasted into the filter: any character may
    // appear in them. Texts compare by code value, so a.mp3 and A.mp3 are two files.
    m_strBuffer = QStringLiteral("Name = ? AND Directory = ?");
    if (recordset.FindFirst(m_strBuffer, {COleVariant(name), COleVariant(folder)})) {
        recordset.Close();
        return false;
    }

    // All values go in with the one insert of Update: no record is ever stored half-written.
    recordset.AddNew();
    recordset.SetFieldValue(QStringLiteral("Name"), name);
    recordset.SetFieldValue(QStringLiteral("Directory"), folder);
    recordset.SetFieldValue(QStringLiteral("Extention"), LastCharacters(name, kExtensionLength));
    m_strBuffer = JoinPath(folder, name);
    if (const std::optional<FileStatus> status = ReadFileStatus(m_strBuffer)) {
        recordset.SetFieldValue(QStringLiteral("Size"), status->size);
        m_strBuffer = CreationDateText(status->created);
        if (!m_strBuffer.isEmpty())
            recordset.SetFieldValue(QStringLiteral("DateCreated"), m_strBuffer);
    }
    recordset.Update();
    recordset.Close();
    return true;
}
