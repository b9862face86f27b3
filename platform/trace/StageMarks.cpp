#include "platform/trace/StageMarks.h"

#include <QFile>
#include <QString>

#include <chrono>
#include <mutex>
#include <set>
#include <string>

namespace trace {
namespace {

struct StageLog {
    QString path = qEnvironmentVariable("LUMAREST_STAGE_LOG");
    std::mutex mutex;
    std::set<std::string> marked;
};

StageLog& Log() {
    static StageLog log;
    return log;
}

} // namespace

void MarkStage(const char* name) {
    StageLog& log = Log();
    if (log.path.isEmpty())
        return;
    const auto now = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
    const std::lock_guard lock(log.mutex);
    if (!log.marked.insert(name).second)
        return;
    QFile file(log.path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Append))
        file.write(
            QStringLiteral("%1 %2\n").arg(QString::fromUtf8(name)).arg(now.count()).toUtf8());
}

} // namespace trace
