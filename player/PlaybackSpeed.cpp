#include "player/PlaybackSpeed.h"

#include <algorithm>
#include <cmath>

namespace {
// Two speeds this close are the same one.
constexpr double kSameSpeed = 0.001;
} // namespace

double HeldSpeed(double speed) {
    if (!std::isfinite(speed))
        return 1.0;
    return std::clamp(speed, kSlowestSpeed, kFastestSpeed);
}

double FasterSpeed(double speed) {
    const auto next = std::find_if(kSpeedSteps.begin(), kSpeedSteps.end(),
                                   [speed](double step) { return step > speed + kSameSpeed; });
    return next != kSpeedSteps.end() ? *next : HeldSpeed(speed);
}

double SlowerSpeed(double speed) {
    const auto next = std::find_if(kSpeedSteps.rbegin(), kSpeedSteps.rend(),
                                   [speed](double step) { return step < speed - kSameSpeed; });
    return next != kSpeedSteps.rend() ? *next : HeldSpeed(speed);
}

bool IsNormalSpeed(double speed) {
    return std::abs(speed - 1.0) < kSameSpeed;
}

QString SpeedText(double speed) {
    if (IsNormalSpeed(speed))
        return QString();
    return QStringLiteral(" %1x").arg(QString::number(speed, 'g', 3));
}
