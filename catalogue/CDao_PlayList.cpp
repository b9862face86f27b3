#include "catalogue/CDao_PlayList.h"

#include "platform/dao/DaoDatabase.h"
#include "platform/dao/DaoException.h"
#include "platform/dao/DaoTableDef.h"
#include "platform/dao/DaoTypes.h"
#include "platform/framework/MDIFrameWnd.h"
#include "platform/framework/MessageBox.h"
#include "platform/framework/StatusBar.h"
#include "platform/framework/WinApp.h"

#include <QDir>

namespace {
constexpr int kMaxCaption = 50;

QString CataloguePath(const QString& folder) {
    return QDir::toNativeSeparators(folder + QLatin1Char('/') + QLatin1String(CDao_PlayList::kFileName));
}

QString ReadDirExe() {
    CWinApp* app = AfxGetApp();
    return app ? app->GetProfileString(QStringLiteral("Directories"), QStringLiteral("Dir_exe")) : QString();
}
} // namespace

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
    if (OpenDatabase(m_strBuffer, false)) {
        EnsureLookupIndex();
        return true;
    }
    return CreateCatalogue();
}

void CDao_PlayList::EnsureLookupIndex() {
    // Our own indexes; a catalogue made elsewhere gets them on its first open
    // here. The first lets the import find a file by folder and name at once.
    // The play list reads the whole table by extension and name: the second
    // holds every field in that order and so serves it as one sequential scan,
    // where sorting the table (or looking each record up from a narrower index)
    // costs several times as long.
    try {
        m_pCDaoDatabase->Execute(
            QStringLiteral("CREATE INDEX IF NOT EXISTS FILES_Directory_Name ON FILES(Directory, Name)"));
        m_pCDaoDatabase->Execute(QStringLiteral(
            "CREATE INDEX IF NOT EXISTS FILES_Extention_Name ON FILES(Extention, Name, ID_Files, "
            "Size, DateCreated, Directory)"));
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
    } catch (const CDaoException&) {
        return false; // nothing is shown: the caller decides
    }
}

bool CDao_PlayList::CreateCatalogue() {
    m_strDirExe = ReadDirExe();
    m_strBuffer = CataloguePath(m_strDirExe);
    if (!OpenDatabase(m_strBuffer, true))
        return false;
    if (!OpenTableDef(QStringLiteral("FILES"), true))
        return false;
    struct Field {
        const char* name;
        short type;
        long size;
        long attributes;
    };
    static constexpr Field kFields[] = {
        {"ID_Files", dbLong, 4, dbAutoIncrField}, {"Name", dbText, 150, 0},
        {"Extention", dbText, 10, 0},             {"Size", dbLong, 4, 0},
        {"DateCreated", dbDate, 8, 0},            {"Directory", dbText, 250, 0},
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
