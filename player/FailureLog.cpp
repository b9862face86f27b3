#include "player/FailureLog.h"

#include <cstdint>
#include <cstdio>
#include <memory>

namespace {
struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
} // namespace

std::string FormatFailureLine(HRESULT hr, int code, const QString& path) {
    const QByteArray file = path.toUtf8();
    const char* format = "FAILED: hr = 0x%x\t\tLINE: %d\t\tFILE: \"%s\"\n";
    const auto value = static_cast<unsigned>(static_cast<uint32_t>(hr));
    const int size = std::snprintf(nullptr, 0, format, value, code, file.constData());
    if (size <= 0)
        return {};
    std::string line(static_cast<size_t>(size), '\0');
    std::snprintf(line.data(), line.size() + 1, format, value, code, file.constData());
    return line;
}

bool AppendFailureLine(const std::string& line, const char* fileName) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(fileName, "a"));
    if (!file)
        return false;
    std::fwrite(line.data(), 1, line.size(), file.get());
    return true;
}
