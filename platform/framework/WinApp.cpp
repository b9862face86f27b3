#include "platform/framework/WinApp.h"

#include "platform/framework/DocTemplate.h"
#include "platform/framework/Document.h"
#include "platform/framework/MDIChildWnd.h"
#include "platform/framework/MDIFrameWnd.h"
#include "platform/framework/NewTypeDlg.h"
#include "platform/framework/Profile.h"
#include "platform/framework/RecentFileList.h"
#include "platform/framework/View.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMdiArea>

namespace {
CWinApp* g_app = nullptr;

// Shown as the one filter "All Files (*.*)"; the pattern behind it is "*",
// so that names without a dot are listed too.
const QString kAllFilesFilter = QStringLiteral("All Files (*.*) (*)");
} // namespace

CWinApp* AfxGetApp() {
    return g_app;
}
CMDIFrameWnd* AfxGetMainWnd() {
    return g_app ? g_app->m_pMainWnd : nullptr;
}

void CCommandLineInfo::Parse(const QStringList& arguments) {
    bool switchesEnded = false;
    for (const QString& arg : arguments) {
        // "--" ends the switches: every argument after it is a name, a leading dash or not.
        if (!switchesEnded && arg == QLatin1String("--"))
            switchesEnded = true;
        else if (!switchesEnded &&
                 (arg.startsWith(QLatin1Char('-')) ||
                  (arg.startsWith(QLatin1Char('/')) && arg.size() <= 3 && !QFileInfo::exists(arg))))
            m_switches << arg;
        else
            m_files << arg;
    }
    m_strFileName = m_files.value(0);
    m_nShellCommand = m_files.isEmpty() ? FileNew : FileOpen;
}

CWinApp::CWinApp(const QString& appName) : m_pszAppName(appName) {
    g_app = this;
    OnCommandRange(ID_FILE_MRU_FILE1, ID_FILE_MRU_FILE16,
                   [this](UINT id) { OnOpenRecentFile(id); });
    OnCommand(ID_APP_EXIT, [this] { OnAppExit(); });
}

CWinApp::~CWinApp() {
    CloseAllDocuments(true);
    m_templates.clear();
    delete m_pMainWnd;
    if (g_app == this)
        g_app = nullptr;
}

int CWinApp::ExitInstance() {
    if (m_pRecentFileList)
        m_pRecentFileList->WriteList();
    return 0;
}

void CWinApp::SetRegistryKey(const QString& company) {
    m_pProfile = std::make_unique<CProfile>(company, m_pszAppName);
}

void CWinApp::LoadStdProfileSettings(int maxRecentFiles) {
    if (!m_pProfile)
        SetRegistryKey(QString());
    if (maxRecentFiles > 0) {
        m_pRecentFileList =
            std::make_unique<CRecentFileList>(*m_pProfile, QStringLiteral("Recent File List"),
                                              QStringLiteral("File%1"), maxRecentFiles);
        m_pRecentFileList->ReadList();
    }
}

QString CWinApp::GetProfileString(const QString& section, const QString& entry,
                                  const QString& def) const {
    return m_pProfile ? m_pProfile->GetString(section, entry, def) : def;
}

bool CWinApp::WriteProfileString(const QString& section, const QString& entry,
                                 const QString& value) {
    return m_pProfile && m_pProfile->WriteString(section, entry, value);
}

void CWinApp::AddDocTemplate(std::unique_ptr<CMultiDocTemplate> docTemplate) {
    m_templates.push_back(std::move(docTemplate));
}

CDocument* CWinApp::OpenDocumentFile(const QString& path) {
    if (m_templates.empty() || path.isEmpty())
        return nullptr;
    for (const auto& t : m_templates) {
        if (CDocument* open = t->FindDocument(path)) {
            if (!open->GetViews().empty())
                if (CMDIChildWnd* frame = open->GetViews().front()->GetParentFrame())
                    if (m_pMainWnd)
                        m_pMainWnd->GetMdiArea()->setActiveSubWindow(frame);
            return open;
        }
    }
    return m_templates.front()->OpenDocumentFile(path, true);
}

void CWinApp::AddToRecentFileList(const QString& path) {
    if (m_pRecentFileList)
        m_pRecentFileList->Add(path);
}

void CWinApp::CloseAllDocuments(bool endSession) {
    for (const auto& t : m_templates)
        t->CloseAllDocuments(endSession);
}

void CWinApp::ParseCommandLine(CCommandLineInfo& info, const QStringList& arguments) const {
    info.Parse(arguments);
}

bool CWinApp::ProcessShellCommand(const CCommandLineInfo& info) {
    switch (info.m_nShellCommand) {
    case CCommandLineInfo::FileOpen: {
        bool opened = false;
        for (const QString& file : info.m_files)
            opened = OpenDocumentFile(file) != nullptr || opened;
        return opened;
    }
    case CCommandLineInfo::FileNew:
        OnFileNew();
        return true;
    case CCommandLineInfo::FileNothing:
        return true;
    }
    return false;
}

QWidget* CWinApp::GetMainWindowWidget() const {
    return m_pMainWnd;
}

void CWinApp::OnFileNew() {
    if (m_templates.empty())
        return;
    int choice = 0;
    if (m_templates.size() > 1) {
        QStringList names;
        for (const auto& t : m_templates)
            names << t->GetDocString(1);
        // Both templates may bear the same name: the answer is the line's position.
        CNewTypeDlg dialog(names, m_pMainWnd);
        choice = dialog.DoModal() == IDOK ? dialog.m_nChoice : -1;
    }
    if (choice >= 0 && choice < static_cast<int>(m_templates.size()))
        m_templates[choice]->OpenDocumentFile(QString(), true);
}

void CWinApp::OnFileOpen() {
    QString path;
    if (m_fileDialog) {
        path = m_fileDialog(kAllFilesFilter);
    } else {
        QFileDialog dialog(m_pMainWnd, QStringLiteral("Open"));
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setOption(QFileDialog::HideNameFilterDetails);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setNameFilter(kAllFilesFilter);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            path = dialog.selectedFiles().front();
    }
    if (!path.isEmpty())
        OpenDocumentFile(path);
}

void CWinApp::OnFilePrintSetup() {
    // Nothing in this program prints; the command exists for the framework's route.
}

void CWinApp::OnOpenRecentFile(UINT nID) {
    if (!m_pRecentFileList)
        return;
    const int index = static_cast<int>(nID - ID_FILE_MRU_FILE1);
    const QString path = (*m_pRecentFileList)[index];
    if (path.isEmpty())
        return;
    if (!OpenDocumentFile(path))
        m_pRecentFileList->Remove(index);
}

void CWinApp::OnAppExit() {
    if (m_pMainWnd)
        m_pMainWnd->close();
}
