#pragma once
// VolumeScale: the two 101-entry tables that turn slider percentages into
// engine units (hundredths of a decibel), built once by the algorithm.
//
// Volume: index i serves the percentage 100 - i; 0 is full volume, -9640
// the quietest. Balance: index = percentage; 0 full left (-9640), 50 centre,
// 100 full right (9640), odd-symmetric around 50. Plain data.

#include <array>
#include <cstdint>
#include <optional>

namespace velmora {

class VolumeScale {
public:
    VolumeScale();  // builds both tables

    const std::array<std::int16_t, 101>& volumeTable() const { return volume_; }
    const std::array<std::int16_t, 101>& balanceTable() const { return balance_; }

    // Engine volume for a percentage 0..100; nullopt outside that range.
    std::optional<int> volumeForPercent(int percent) const;
    // Engine balance for a percentage 0..100; nullopt outside that range.
    std::optional<int> balanceForPercent(int percent) const;


private:
    std::array<std::int16_t, 101> volume_{};
    std::array<std::int16_t, 101> balance_{};
};

}  // namespace velmora
