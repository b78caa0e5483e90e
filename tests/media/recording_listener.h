#pragma once
// An engine listener that counts what the engine reports, for the tests of
// the real engines.

#include "media/media_engine.h"

#include <utility>
#include <vector>

namespace velmora::test {

struct RecordingListener : MediaEngineListener {
    int opens = 0;
    int ticks = 0;
    int moves = 0;
    std::vector<std::pair<double, double>> changes;  // (old, new) positions
    void engineOpenComplete() override { ++opens; }
    void engineMovedOn() override { ++moves; }
    void enginePositionChange(double oldPosition, double newPosition) override
    {
        changes.emplace_back(oldPosition, newPosition);
    }
    void engineTick() override { ++ticks; }
    void engineKeyPressed(int, int) override {}
};

}  // namespace velmora::test
