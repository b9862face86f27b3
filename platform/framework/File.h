#pragma once
// Files as documents see them: a file opened for reading (or writing), its
// name and path, and the archive that hands it to a document's Serialize.
#include <QFile>
#include <QString>

class CFile {
public:
    enum OpenFlags : unsigned {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareDenyNone = 0x0040,
        shareDenyWrite = 0x0020,
    };

    CFile() = default;
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;
    ~CFile() { Close(); }

    // Opens for reading unless a write mode is given; never creates or
    // truncates a file when opened for reading, and never waits: only a regular
    // file opens for reading. False when it cannot be opened (missing, a folder,
    // a pipe, socket or device, no permission).
    bool Open(const QString& path, unsigned flags);
    void Close();
    bool IsOpen() const { return m_file.isOpen(); }
    qint64 GetLength() const { return m_file.size(); }
    QString GetFilePath() const { return m_path; }
    QString GetFileName() const;
    QFile& Handle() { return m_file; }

private:
    QFile m_file;
    QString m_path;
};

class CArchive {
public:
    enum Mode { load = 1, store = 0 };
    CArchive(CFile* file, Mode mode) : m_pFile(file), m_mode(mode) {}
    bool IsStoring() const { return m_mode == store; }
    bool IsLoading() const { return m_mode == load; }
    CFile* GetFile() const { return m_pFile; }

private:
    CFile* m_pFile;
    Mode m_mode;
};
