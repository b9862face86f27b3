#include "SanitizerReports.h"

#include <QDir>
#include <QFile>

#include <cstdio>

#if defined(__SANITIZE_ADDRESS__)
#define LUMAREST_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LUMAREST_SANITIZED 1
#endif
#endif

#ifdef LUMAREST_SANITIZED
namespace {

constexpr const char* kFolderVariable = "LUMAREST_SANITIZER_REPORTS";

// Adds log_path to a sanitizer's options for the processes started from now on;
// this process read its own options when it started and keeps writing to stderr.
void pointReportsAt(const char* variable, const QString& prefix) {
    QByteArray options = qgetenv(variable);
    if (!options.isEmpty())
        options += ':';
    options += "log_path=" + prefix.toLocal8Bit();
    qputenv(variable, options);
}

} // namespace
#endif

SanitizerReports::SanitizerReports() {
#ifdef LUMAREST_SANITIZED
    if (qEnvironmentVariableIsSet(kFolderVariable))
        return;
    m_folder = std::make_unique<QTemporaryDir>(QDir::tempPath() +
                                               QStringLiteral("/lumarest-sanitizer-XXXXXX"));
    if (!m_folder->isValid()) {
        std::fprintf(stderr, "No folder for the sanitizer reports of child processes\n");
        m_folder.reset();
        m_found = 1;
        return;
    }
    qputenv(kFolderVariable, m_folder->path().toLocal8Bit());
    // Each process writes to "report.<its pid>".
    const QString prefix = m_folder->path() + QStringLiteral("/report");
    pointReportsAt("ASAN_OPTIONS", prefix);
    pointReportsAt("UBSAN_OPTIONS", prefix);
#endif
}

SanitizerReports::~SanitizerReports() = default;

void SanitizerReports::OnTestEnd(const ::testing::TestInfo& test) {
    collect(QStringLiteral("%1.%2").arg(QString::fromUtf8(test.test_suite_name()),
                                        QString::fromUtf8(test.name())));
}

void SanitizerReports::OnTestProgramEnd(const ::testing::UnitTest&) {
    collect(QStringLiteral("the end of the test program"));
}

void SanitizerReports::collect(const QString& during) {
    if (!m_folder)
        return;
    QDir folder(m_folder->path());
    const QStringList reports = folder.entryList(QDir::Files, QDir::Name);
    for (const QString& name : reports) {
        QFile report(folder.filePath(name));
        if (!report.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = report.readAll();
        report.close();
        folder.remove(name);
        ++m_found;
        std::fprintf(stderr, "\n*** Sanitizer report from a child process (%s), during %s:\n%s\n",
                     qPrintable(name), qPrintable(during), text.constData());
    }
    std::fflush(stderr);
}
