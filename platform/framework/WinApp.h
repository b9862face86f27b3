#pragma once
// The application object: templates in registration order, the profile, the
// recent-file list, the main window, and the commands that belong to the
// application (new, open, recent files, exit). The last stop of the command route.
#include "platform/framework/CmdTarget.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class QWidget;
class CDocument;
class CMDIFrameWnd;
class CMultiDocTemplate;
class CProfile;
class CRecentFileList;

// What the command line asks for: files to open, or nothing.
struct CCommandLineInfo {
    enum Shell { FileNew, FileOpen, FileNothing };
    Shell m_nShellCommand = FileNew;
    QString m_strFileName; // the first of m_files
    QStringList m_files;   // every file named, in its order
    QStringList m_switches;

    // Arguments after the program's name; "-x", "--x" and "/x" are switches,
    // every other argument names a file; after "--" every argument does.
    void Parse(const QStringList& arguments);
    bool HasSwitch(const QString& name) const { return m_switches.contains(name); }
};

class CWinApp : public CCmdTarget {
public:
    explicit CWinApp(const QString& appName);
    ~CWinApp() override;

    virtual bool InitInstance() { return true; }
    virtual int ExitInstance();

    void SetRegistryKey(const QString& company);
    void LoadStdProfileSettings(int maxRecentFiles);
    QString GetProfileString(const QString& section, const QString& entry,
                             const QString& def = {}) const;
    bool WriteProfileString(const QString& section, const QString& entry, const QString& value);
    CProfile* Profile() const { return m_pProfile.get(); }

    void AddDocTemplate(std::unique_ptr<CMultiDocTemplate> docTemplate);
    const std::vector<std::unique_ptr<CMultiDocTemplate>>& Templates() const { return m_templates; }

    // Activates the window of a document that has this path already; otherwise
    // the first template opens it in a new window.
    virtual CDocument* OpenDocumentFile(const QString& path);
    virtual void AddToRecentFileList(const QString& path);
    void CloseAllDocuments(bool endSession);

    void ParseCommandLine(CCommandLineInfo& info, const QStringList& arguments) const;
    // Opens every file named, in order, each as File/Open does (a file that cannot be opened
    // is reported and the next one opened); false when none of them opened.
    bool ProcessShellCommand(const CCommandLineInfo& info);

    QWidget* GetMainWindowWidget() const;

    // The framework's commands, for the application's command map.
    void OnFileNew();
    void OnFileOpen();
    void OnFilePrintSetup();
    void OnOpenRecentFile(UINT nID);
    void OnAppExit();

    // Stands in for the user in the open dialog (tests).
    using FileDialogHandler = std::function<QString(const QString& filter)>;
    void SetFileDialogHandler(FileDialogHandler handler) { m_fileDialog = std::move(handler); }

    QString m_pszAppName;
    QString m_strHelpFilePath;
    CMDIFrameWnd* m_pMainWnd = nullptr; // owned by the application
    std::unique_ptr<CRecentFileList> m_pRecentFileList;

private:
    std::unique_ptr<CProfile> m_pProfile;
    std::vector<std::unique_ptr<CMultiDocTemplate>> m_templates;
    FileDialogHandler m_fileDialog;
};

CWinApp* AfxGetApp();
CMDIFrameWnd* AfxGetMainWnd();
