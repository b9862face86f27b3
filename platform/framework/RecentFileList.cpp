#include "platform/framework/RecentFileList.h"

#include "platform/framework/Locations.h"
#include "platform/framework/Profile.h"

CRecentFileList::CRecentFileList(CProfile& profile, QString section, QString entryFormat, int size)
    : m_profile(profile), m_section(std::move(section)), m_entryFormat(std::move(entryFormat)),
      m_nSize(size) {}

void CRecentFileList::ReadList() {
    m_paths.clear();
    for (int i = 1; i <= m_nSize; ++i) {
        const QString path = m_profile.GetString(m_section, m_entryFormat.arg(i));
        if (!path.isEmpty() && !m_paths.contains(path))
            m_paths.append(path);
    }
}

void CRecentFileList::WriteList() {
    for (int i = 1; i <= m_nSize; ++i) {
        if (i <= m_paths.size())
            m_profile.WriteString(m_section, m_entryFormat.arg(i), m_paths[i - 1]);
        else
            m_profile.RemoveEntry(m_section, m_entryFormat.arg(i));
    }
}

void CRecentFileList::Add(const QString& path) {
    const QString full = AfxFullPath(path);
    m_paths.removeAll(full);
    m_paths.prepend(full);
    while (m_paths.size() > m_nSize)
        m_paths.removeLast();
    WriteList();
}

void CRecentFileList::Remove(int index) {
    if (index >= 0 && index < m_paths.size()) {
        m_paths.removeAt(index);
        WriteList();
    }
}
