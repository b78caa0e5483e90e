#include "skin/skin_keys.h"

#include <cmath>

namespace velmora {

QString skinString(std::string_view v)
{
    return QString::fromUtf8(v.data(), static_cast<qsizetype>(v.size()));
}

std::optional<double> parseSkinNumber(const QString& text)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    const qsizetype n = t.size();
    bool negative = false;
    if (i < n && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-'))) {
        negative = t[i] == QLatin1Char('-');
        ++i;
    }
    double value = 0;
    int digits = 0;
    while (i < n && t[i].isDigit() && t[i].unicode() < 128) {
        value = value * 10 + (t[i].unicode() - '0');
        ++digits;
        ++i;
    }
    if (i < n && (t[i] == QLatin1Char('.') || t[i] == QLatin1Char(','))) {
        ++i;
        double scale = 0.1;
        while (i < n && t[i].isDigit() && t[i].unicode() < 128) {
            value += (t[i].unicode() - '0') * scale;
            scale /= 10;
            ++digits;
            ++i;
        }
    }
    if (digits == 0 || i != n || !std::isfinite(value))
        return std::nullopt;
    return negative ? -value : value;
}

std::optional<std::uint32_t> parseSkinColour(const QString& text)
{
    const QString t = text.trimmed();
    long long v = -1;
    if (t.startsWith(QLatin1String("&H"), Qt::CaseInsensitive)) {
        QString hex = t.mid(2);
        if (hex.endsWith(QLatin1Char('&')))
            hex.chop(1);  // the "&H...&" spelling
        bool ok = false;
        v = hex.toLongLong(&ok, 16);
        if (!ok || hex.isEmpty())
            return std::nullopt;
    } else {
        const auto d = parseSkinNumber(t);
        if (!d || *d != std::floor(*d))
            return std::nullopt;
        v = static_cast<long long>(*d);
    }
    if (v < 0 || v > 0xFFFFFF)
        return std::nullopt;
    return static_cast<std::uint32_t>(v);
}

}  // namespace velmora
