#include "player/FailureLog.h"

#include <cstdint>
#include <cstdio>
#include <memory>

namespace {
struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
} // namespace

QString EscapeControlCharacters(const QString& text) {
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\n')
            escaped += QLatin1String("\\n");
        else if (u == u'\r')
            escaped += QLatin1String("\\r");
        else if (u == u'\t')
            escaped += QLatin1String("\\t");
        else if (c.category() == QChar::Other_Control)
            escaped += QStringLiteral("\\x%1").arg(unsigned(u), 2, 16, QLatin1Char('0'));
        else if (u == 0x2028 || u == 0x2029) // line and paragraph separators
            escaped += QStringLiteral("\\u%1").arg(unsigned(u), 4, 16, QLatin1Char('0'));
        else
            escaped += c;
    }
    return escaped;
}

std::string FormatFailureLine(HRESULT hr, int code, const QString& path) {
    // One failure is one line, whatever characters the file's name holds.
    const QByteArray file = EscapeControlCharacters(path).toUtf8();
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
