#include "base/format_time.h"

#include "base/rounding.h"

namespace velmora {

QString formatTime(long long seconds)
{
    if (seconds < 0)
        seconds = 0;
    const long long hours = seconds / 3600;
    const int minutes = static_cast<int>((seconds % 3600) / 60);
    const int secs = static_cast<int>(seconds % 60);
    return QStringLiteral("%1:%2:%3")
        .arg(hours, 2, 10, QLatin1Char('0'))
        .arg(minutes, 2, 10, QLatin1Char('0'))
        .arg(secs, 2, 10, QLatin1Char('0'));
}

QString formatSeconds(double seconds)
{
    return formatTime(static_cast<long long>(roundHalfEvenF(seconds)));
}

}  // namespace velmora
