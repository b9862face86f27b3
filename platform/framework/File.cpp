#include "platform/framework/File.h"

#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Opens a file for reading without ever waiting: a pipe with no writer, a
// socket or a device would hold the open (and the whole interface) until some
// other process acted. Only a regular file is kept; -1 for anything else.
int OpenRegularForReading(const QString& path) {
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return -1;
    struct stat st {};
    const int flags = fcntl(fd, F_GETFL);
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || flags < 0 ||
        fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

bool CFile::Open(const QString& path, unsigned flags) {
    Close();
    m_path = path;
    m_file.setFileName(path);
    if (flags & (modeWrite | modeReadWrite)) {
        if (QFileInfo(path).isDir())
            return false;
        return m_file.open((flags & modeWrite) ? QIODevice::WriteOnly : QIODevice::ReadWrite);
    }
    const int fd = OpenRegularForReading(path);
    if (fd < 0)
        return false;
    if (!m_file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

void CFile::Close() {
    if (m_file.isOpen())
        m_file.close();
}

QString CFile::GetFileName() const {
    return QFileInfo(m_path).fileName();
}
