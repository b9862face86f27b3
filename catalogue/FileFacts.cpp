#include "catalogue/FileFacts.h"

#include <QFile>

#include <cstdio>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace lumarest::catalogue {
namespace {

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};
using DirPtr = std::unique_ptr<DIR, DirCloser>;

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() {
        if (m_fd >= 0)
            close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

bool IsAscii(const QByteArray& bytes) {
    unsigned char any = 0;
    for (const char c : bytes)
        any |= static_cast<unsigned char>(c);
    return any < 0x80;
}

bool IsDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// The entry's type once symbolic links are followed; the directory's own type
// field spares the status call for the common entries.
bool IsRegularFile(int dirFd, const dirent* entry) {
    if (entry->d_type == DT_REG)
        return true;
    if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN)
        return false;
    struct stat st {};
    return fstatat(dirFd, entry->d_name, &st, 0) == 0 && S_ISREG(st.st_mode);
}

qint64 Seconds(const statx_timestamp& t) {
    return static_cast<qint64>(t.tv_sec);
}

} // namespace

QString JoinPath(const QString& folder, const QString& name) {
    if (folder.endsWith(QLatin1Char('/')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}

QString LastCharacters(const QString& name, int count) {
    qsizetype start = name.size();
    for (int taken = 0; taken < count && start > 0; ++taken) {
        --start;
        if (start > 0 && name.at(start).isLowSurrogate() && name.at(start - 1).isHighSurrogate())
            --start;
    }
    return name.mid(start);
}

bool MatchesPattern(QStringView name, QStringView extension) {
    if (extension.isEmpty())
        return true;
    const qsizetype dot = name.size() - extension.size() - 1;
    return dot >= 0 && name.at(dot) == QLatin1Char('.') &&
           name.sliced(dot + 1).compare(extension, Qt::CaseInsensitive) == 0;
}

QStringList ListPlainFiles(const QString& folder, QStringView extension) {
    QStringList names;
    const QByteArray dirPath = QFile::encodeName(folder.isEmpty() ? QStringLiteral("/") : folder);
    DirPtr dir(opendir(dirPath.constData()));
    if (!dir)
        return names;
    const int dirFd = dirfd(dir.get());
    while (const dirent* entry = readdir(dir.get())) {
        if (IsDotOrDotDot(entry->d_name))
            continue;
        const QByteArray raw = QByteArray::fromRawData(entry->d_name, qstrlen(entry->d_name));
        // A plain ASCII name reads the same in every file-name encoding.
        const bool ascii = IsAscii(raw);
        const QString name = ascii ? QString::fromLatin1(raw) : QFile::decodeName(raw);
        if (!MatchesPattern(name, extension) || !IsRegularFile(dirFd, entry))
            continue;
        // A name that is not valid in the file-name encoding would come back as
        // another name, pointing at no file: leave it out rather than mangle it.
        if (!ascii && QFile::encodeName(name) != raw)
            continue;
        names.append(name);
    }
    return names;
}

std::optional<FileStatus> ReadFileStatus(const QString& path) {
    // Non-blocking, so that a pipe put in the file's place cannot hold the import.
    const FileDescriptor fd(
        open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0)
        return std::nullopt;
    struct statx stx {};
    if (statx(fd.get(), "", AT_EMPTY_PATH, STATX_SIZE | STATX_BTIME | STATX_CTIME, &stx) == 0) {
        // Some file systems claim a birth time they never recorded (zero).
        const bool born = (stx.stx_mask & STATX_BTIME) != 0 && stx.stx_btime.tv_sec != 0;
        return FileStatus{static_cast<qint64>(stx.stx_size),
                          born ? Seconds(stx.stx_btime) : Seconds(stx.stx_ctime)};
    }
    struct stat st {};
    if (fstat(fd.get(), &st) != 0)
        return std::nullopt;
    return FileStatus{static_cast<qint64>(st.st_size), static_cast<qint64>(st.st_ctim.tv_sec)};
}

QString CreationDateText(qint64 secondsSinceEpoch) {
    const time_t t = static_cast<time_t>(secondsSinceEpoch);
    struct tm local {};
    if (!localtime_r(&t, &local))
        return {};
    const long long year = static_cast<long long>(local.tm_year) + 1900;
    if (year < 100 || year > 9999)
        return {};
    char text[32];
    std::snprintf(text, sizeof text, "%02d/%02d/%04lld %02d:%02d:%02d", local.tm_mon + 1,
                  local.tm_mday, year, local.tm_hour, local.tm_min, local.tm_sec);
    return QString::fromLatin1(text);
}

} // namespace lumarest::catalogue
