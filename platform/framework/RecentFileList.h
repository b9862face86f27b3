#pragma once
// The recent-file list: most recent first, at most a fixed number of paths,
// kept in the profile as "File1", "File2", ... and written on every change.
#include <QString>
#include <QStringList>

class CProfile;

class CRecentFileList {
public:
    CRecentFileList(CProfile& profile, QString section, QString entryFormat, int size);

    void ReadList();
    void WriteList();
    void Add(const QString& path);
    void Remove(int index);
    int GetSize() const { return m_nSize; }
    int GetCount() const { return m_paths.size(); }
    QString operator[](int index) const { return m_paths.value(index); }
    const QStringList& Paths() const { return m_paths; }

private:
    CProfile& m_profile;
    QString m_section;
    QString m_entryFormat;
    int m_nSize;
    QStringList m_paths;
};
