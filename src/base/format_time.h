#pragma once
// The time text used everywhere: positions, clip lengths, playlist totals.

#include <QString>

namespace velmora {

// Whole seconds as "HH:MM:SS"; hours take more digits when needed
// (360000 -> "100:00:00"). Negative input is shown as "00:00:00".
QString formatTime(long long seconds);

// Seconds from the engine, rounded half to even first (2.5 -> "00:00:02").
QString formatSeconds(double seconds);

}  // namespace velmora
