#include "volume/volume_scale.h"

#include "base/rounding.h"

namespace velmora {

namespace {
std::int16_t r16(double v) { return static_cast<std::int16_t>(roundHalfEven(v)); }
}  // namespace

VolumeScale::VolumeScale()
{
    auto& v = volume_;
    for (int i = 0; i <= 30; ++i)
        v[i] = static_cast<std::int16_t>(-10 * i);
    for (int i = 31; i <= 42; ++i)
        v[i] = r16(-300.0 - 40.0 * (i - 30) / 3.0);
    for (int i = 43; i <= 51; ++i)
        v[i] = r16(-460.0 - 50.0 * (i - 42) / 3.0);
    for (int i = 52; i <= 60; ++i)
        v[i] = static_cast<std::int16_t>(-610 - 20 * (i - 51));
    constexpr std::pair<int, int> volumeFixed[] = {
        {63, -860}, {66, -930}, {69, -1010}, {72, -1100}, {75, -1200}, {78, -1310}, {81, -1440},
        {84, -1590}, {87, -1770}, {90, -2000}, {93, -2440}, {96, -3040}, {99, -5000}, {100, -9640}};
    for (auto [i, value] : volumeFixed)
        v[i] = static_cast<std::int16_t>(value);
    for (int i = 61; i <= 98; ++i) {
        if (i % 3 == 1)
            v[i] = r16((2.0 * v[i - 1] + v[i + 2]) / 3.0);
        else if (i % 3 == 2)
            v[i] = r16((v[i - 2] + 2.0 * v[i + 1]) / 3.0);
    }

    auto& b = balance_;
    constexpr std::pair<int, int> balanceFixed[] = {
        {50, 0}, {53, 50}, {56, 110}, {59, 170}, {62, 230}, {65, 300}, {68, 380},
        {71, 470}, {74, 560}, {77, 670}, {80, 790}, {83, 930}, {86, 1100}, {89, 1310},
        {92, 1590}, {95, 2000}, {98, 2790}, {99, 4000}, {100, 9640}};
    for (auto [i, value] : balanceFixed)
        b[i] = static_cast<std::int16_t>(value);
    for (int i = 51; i <= 97; ++i) {
        const int m = (i - 50) % 3;
        if (m == 1)
            b[i] = r16((2.0 * b[i - 1] + b[i + 2]) / 3.0);
        else if (m == 2)
            b[i] = r16((b[i - 2] + 2.0 * b[i + 1]) / 3.0);
    }
    for (int i = 0; i <= 50; ++i)
        b[i] = static_cast<std::int16_t>(-b[100 - i]);
}

std::optional<int> VolumeScale::volumeForPercent(int percent) const
{
    const int index = 100 - percent;
    if (index < 0 || index > 100)
        return std::nullopt;
    return volume_[static_cast<size_t>(index)];
}

std::optional<int> VolumeScale::balanceForPercent(int percent) const
{
    if (percent < 0 || percent > 100)
        return std::nullopt;
    return balance_[static_cast<size_t>(percent)];
}

}  // namespace velmora
