#include "catalogue/CDao_PlayList.h"

#include "platform/dao/DaoDatabase.h"
#include "platform/dao/DaoException.h"
#include "platform/dao/DaoTableDef.h"
#include "platform/dao/DaoTypes.h"
#include "platform/dao/FilePlacement.h"
#include "platform/framework/MDIFrameWnd.h"
#include "platform/framework/MessageBox.h"
#include "platform/framework/StatusBar.h"
#include "platform/framework/WinApp.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
constexpr int kMaxCaption = 50;

QString CataloguePath(const QString& folder) {
    return QDir::toNativeSeparators(folder + QLatin1Char('/') +
                                    QLatin1String(CDao_PlayList::kFileName));
}

// The reason in a few words, the way the system says them.
QString FaultReason(const CDaoException& e) {
    switch (e.GetKind()) {
    case CDaoException::Kind::NotADatabase:
        return QStringLiteral("file is not a database");
    case CDaoException::Kind::Locked:
        return QStringLiteral("database is locked");
    case CDaoException::Kind::PermissionDenied:
        return QStringLiteral("permission denied");
    case CDaoException::Kind::ReadOnly:
        return QStringLiteral("attempt to write a readonly database");
    default:
        return e.m_strDescription;
    }
}

QString ReadDirExe() {
    CWinApp* app = AfxGetApp();
    return app ? app->GetProfileString(QStringLiteral("Directories"), QStringLiteral("Dir_exe"))
               : QString();
}
} // namespace

QString CatalogueFaultText(const QString& path, const CDaoException& e) {
    return CatalogueFaultText(path, FaultReason(e));
}

QString CatalogueFaultText(const QString& path, const QString& reason) {
    return QStringLiteral("%1: %2").arg(path, reason);
}

CDao_PlayList::CDao_PlayList()
    : m_pCDaoDatabase(std::make_unique<CDaoDatabase>()),
      m_pCDaoTableDef(std::make_unique<CDaoTableDef>(m_pCDaoDatabase.get())) {}

CDao_PlayList::~CDao_PlayList() {
    if (m_pCDaoTableDef && m_pCDaoTableDef->IsOpen())
        m_pCDaoTableDef->Close();
    m_pCDaoTableDef.reset();
    if (m_pCDaoDatabase && m_pCDaoDatabase->IsOpen())
        m_pCDaoDatabase->Close();
    m_pCDaoDatabase.reset();
    m_CProgressCtrl.DestroyWindow();
}

bool CDao_PlayList::OpenCatalogue() {
    if (!m_pCDaoDatabase)
        return false;
    if (m_pCDaoDatabase->IsOpen())
        return true;
    m_strDirExe = ReadDirExe();
    m_strBuffer = CataloguePath(m_strDirExe);
    const QString path = m_strBuffer;
    bool unfinished = false;
    if (OpenDatabase(path, false)) {
        try {
            if (m_pCDaoDatabase->HasSchema()) {
                EnsureLookupIndex();
                m_strFault.clear();
                return true;
            }
            // Ours, but its creation never got as far as the table.
            unfinished = true;
            m_strFault = CatalogueFaultText(path, QStringLiteral("no such table: FILES"));
        } catch (const CDaoException& e) {
            NoteFault(path, e);
        }
        m_pCDaoDatabase->Close();
    } else {
        const QFileInfo info(path);
        unfinished = info.isFile() && info.size() == 0;
    }
    if (unfinished && CompleteUnfinishedCatalogue(path))
        return true;
    const QString openFault = m_strFault;
    const bool existed = QFileInfo::exists(path) || QFileInfo(path).isSymLink();
    if (CreateCatalogue())
        return true;
    // A file that is there but does not open keeps the reason it did not open.
    if (existed && !openFault.isEmpty())
        m_strFault = openFault;
    return false;
}

// Only a file that is provably what a creation cut short left here (nothing at
// all, or our application id and not one table) is finished; anything else is
// left as it is.
bool CDao_PlayList::CompleteUnfinishedCatalogue(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile() || !m_pCDaoDatabase->ResumeCreate(path))
        return false;
    try {
        if (BuildSchema()) {
            m_pCDaoDatabase->CommitTrans();
            m_strFault.clear();
            return true;
        }
    } catch (const CDaoException& e) {
        NoteFault(path, e);
    }
    CloseCatalogue(); // rolls the completion back
    return false;
}

CDaoDatabase& CDao_PlayList::RequireCatalogue() {
    if (!OpenCatalogue()) {
        if (m_strFault.isEmpty())
            throw CDaoException(QStringLiteral("The object is not open."),
                                CDaoException::Kind::NotOpen);
        throw CDaoException(m_strFault, CDaoException::Kind::CannotOpen);
    }
    return *m_pCDaoDatabase;
}

void CDao_PlayList::NoteFault(const QString& path, const CDaoException& e) {
    m_strFault = CatalogueFaultText(path, e);
}

void CDao_PlayList::CloseCatalogue() {
    if (m_pCDaoTableDef && m_pCDaoTableDef->IsOpen())
        m_pCDaoTableDef->Close();
    if (m_pCDaoDatabase && m_pCDaoDatabase->IsOpen())
        m_pCDaoDatabase->Close();
}

void CDao_PlayList::EnsureLookupIndex() {
    // Our own indexes; a catalogue made elsewhere gets them on its first open
    // here. The first lets the import find a file by folder and name at once.
    // The play list reads the whole table by extension and name, case ignored: the second
    // holds every field in that order and so serves it as one sequential scan,
    // where sorting the table (or looking each record up from a narrower index)
    // costs several times as long.
    try {
        m_pCDaoDatabase->Execute(QStringLiteral(
            "CREATE INDEX IF NOT EXISTS FILES_Directory_Name ON FILES(Directory, Name)"));
        m_pCDaoDatabase->Execute(QStringLiteral(
            "CREATE INDEX IF NOT EXISTS FILES_Extention_Name_Nocase ON FILES(Extention COLLATE "
            "NOCASE, Name COLLATE NOCASE, ID_Files, Size, DateCreated, Directory)"));
        // Earlier catalogues held the same index in case-sensitive order, which
        // the play list no longer reads.
        m_pCDaoDatabase->Execute(QStringLiteral("DROP INDEX IF EXISTS FILES_Extention_Name"));
    } catch (const CDaoException&) {
        // No FILES table or a read-only file: the import is slower, nothing else.
    }
}

bool CDao_PlayList::OpenDatabase(const QString& path, bool create) {
    if (!m_pCDaoDatabase)
        return false;
    if (m_pCDaoDatabase->IsOpen())
        m_pCDaoDatabase->Close();
    try {
        if (create)
            m_pCDaoDatabase->Create(path, dbLangGeneral, 0);
        else
            m_pCDaoDatabase->Open(path, false, false, QString());
        return true;
    } catch (const CDaoException& e) {
        NoteFault(path, e); // nothing is shown: the operation that needs it will say why
        return false;
    }
}

// The catalogue is built under another name beside its own and takes its name
// only when whole: a crash while it is built never leaves a half-made catalogue.
bool CDao_PlayList::CreateCatalogue() {
    m_strDirExe = ReadDirExe();
    m_strBuffer = CataloguePath(m_strDirExe);
    const QString path = m_strBuffer;
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink()) {
        NoteFault(path, CDaoException(QStringLiteral("Database already exists."),
                                      CDaoException::Kind::CannotOpen));
        return false;
    }
    const QString building = lumarest::dao::BuildingNameFor(path);
    try {
        m_pCDaoDatabase->Create(building, dbLangGeneral, 0);
    } catch (const CDaoException& e) {
        NoteFault(path, e); // named by the catalogue's own name, not the one it is built under
        return false;
    }
    bool built = false;
    try {
        built = BuildSchema();
    } catch (const CDaoException& e) {
        CloseCatalogue();
        QFile::remove(building);
        NoteFault(path, e);
        throw;
    }
    CloseCatalogue();
    if (!built) {
        QFile::remove(building);
        return false;
    }
    try {
        lumarest::dao::PlaceNewFile(building, path);
    } catch (const CDaoException& e) {
        NoteFault(path, e);
        return false;
    }
    return OpenDatabase(path, false);
}

// The FILES table with its fields and indexes, in the database now open.
bool CDao_PlayList::BuildSchema() {
    if (!OpenTableDef(QStringLiteral("FILES"), true))
        return false;
    struct Field {
        const char* name;
        short type;
        long size;
        long attributes;
    };
    static constexpr Field kFields[] = {
        {"ID_Files", dbLong, 4, dbAutoIncrField},
        {"Name", dbText, 150, 0},
        {"Extention", dbText, 10, 0},
        {"Size", dbLong, 4, 0},
        {"DateCreated", dbDate, 8, 0},
        {"Directory", dbText, 250, 0},
    };
    for (const Field& f : kFields)
        if (!AddField(QString::fromLatin1(f.name), f.type, f.size, f.attributes))
            return false;

    CDaoIndexInfo index;
    index.m_strName = QStringLiteral("PrimaryKey");
    index.m_fields = {{QStringLiteral("ID_Files"), false}};
    index.m_bPrimary = true;
    index.m_bUnique = true;
    index.m_bRequired = true;
    index.m_bIgnoreNulls = false;
    m_pCDaoTableDef->CreateIndex(index);
    m_pCDaoTableDef->Append();
    EnsureLookupIndex();
    return true;
}

bool CDao_PlayList::OpenTableDef(const QString& name, bool create) {
    if (!m_pCDaoTableDef)
        return false;
    if (m_pCDaoTableDef->IsOpen())
        m_pCDaoTableDef->Close();
    try {
        if (create)
            m_pCDaoTableDef->Create(name);
        else
            m_pCDaoTableDef->Open(name);
        return true;
    } catch (const CDaoException& e) {
        AfxMessageBox(e.m_strDescription, MB_OK);
        return false;
    }
}

bool CDao_PlayList::AddField(const QString& name, short type, long size, long attributes) {
    if (!m_pCDaoTableDef)
        return false;
    try {
        m_pCDaoTableDef->CreateField(name, type, size, attributes);
        return true;
    } catch (const CDaoException& e) {
        AfxMessageBox(e.m_strDescription, MB_OK);
        return false;
    }
}

void CDao_PlayList::StartProgress(const QString& caption) {
    m_strBuffer = caption.left(kMaxCaption);
    CMDIFrameWnd* frame = AfxGetMainWnd();
    CStatusBar* bar = frame ? frame->GetMessageBar() : nullptr;
    if (!bar)
        return;
    bar->SetPaneText(0, m_strBuffer, true);
    const QRect pane = bar->GetItemRect(0);
    const int left = m_strBuffer.isEmpty() ? 2 : 6 * static_cast<int>(m_strBuffer.size());
    const int right = pane.x() + pane.width() - 5;
    constexpr int top = 2;
    constexpr int bottom = 16;
    m_CProgressCtrl.DestroyWindow();
    m_CProgressCtrl.Create(bar, QRect(left, top, right - left, bottom - top));
    m_CProgressCtrl.SetRange(0, 100);
    m_CProgressCtrl.SetPos(0);
    m_CProgressCtrl.SetStep(1);
}
