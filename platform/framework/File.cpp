#include "platform/framework/File.h"

#include <QFileInfo>

bool CFile::Open(const QString& path, unsigned flags) {
    Close();
    m_path = path;
    m_file.setFileName(path);
    if (QFileInfo(path).isDir())
        return false;
    QIODevice::OpenMode mode = QIODevice::ReadOnly;
    if (flags & modeWrite)
        mode = QIODevice::WriteOnly;
    else if (flags & modeReadWrite)
        mode = QIODevice::ReadWrite;
    return m_file.open(mode);
}

void CFile::Close() {
    if (m_file.isOpen())
        m_file.close();
}

QString CFile::GetFileName() const { return QFileInfo(m_path).fileName(); }
