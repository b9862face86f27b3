#include "TestTime.h"

#include <QString>
#include <QtGlobal>

#include <algorithm>
#include <cmath>

namespace testtime {

double factor() {
    static const double value = [] {
        bool ok = false;
        const double read = qEnvironmentVariable("LUMAREST_TEST_TIME_FACTOR").toDouble(&ok);
        return ok && read > 0.0 ? read : 1.0;
    }();
    return value;
}

int scaled(int ms) {
    return std::max(1, static_cast<int>(std::lround(ms * factor())));
}

} // namespace testtime
