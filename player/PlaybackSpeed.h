#pragma once
// The speeds a player plays at, slowest to fastest, and their text in the status bar.
// Plain values, apart from any window.
#include <QString>

#include <array>

inline constexpr std::array<double, 11> kSpeedSteps = {0.5, 0.67, 0.75, 0.8,  0.9, 1.0,
                                                       1.1, 1.25, 1.5,  1.75, 2.0};
inline constexpr double kSlowestSpeed = kSpeedSteps.front();
inline constexpr double kFastestSpeed = kSpeedSteps.back();

// Held to the slowest and the fastest; a value that is no number is the medium's own pace.
double HeldSpeed(double speed);
// The step after the speed given (which need not be one of the steps) in either direction,
// the speed itself at either end.
double FasterSpeed(double speed);
double SlowerSpeed(double speed);
// The speed is the medium's own pace (near enough: it came through a rounding somewhere).
bool IsNormalSpeed(double speed);
// Its own status-bar pane: empty at the medium's own pace, else " 1.5x".
QString SpeedText(double speed);
