#pragma once
// ClosingFade: the fade that ends the program. Each tick lowers the three
// window opacities and the sound level by 5 points (never below 0) and
// applies them; the first tick that finds all four at 0 ends the fade.
//
// The arithmetic is the pure function fadeTick(); the object only drives it
// from a timer. It ticks every 15 ms: at the classic 1 ms interval the fade
// is over before a real display shows a frame of it; at 15 ms the 5-point
// steps take about a quarter of a second from 75. Once started it can only
// run to its end. UI thread only.

#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>

namespace velmora {

struct FadeLevels {
    int main = 0, volume = 0, playlist = 0;  // window opacities, percent
    int sound = 0;                           // volume level, percent
    friend bool operator==(const FadeLevels&, const FadeLevels&) = default;
    bool allZero() const { return main == 0 && volume == 0 && playlist == 0 && sound == 0; }
};

// One tick: false (and nothing changed) when all four are 0 already, which
// ends the fade; otherwise lowers each by 5, not below 0, and returns true.
bool fadeTick(FadeLevels& levels);

class ClosingFade : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kInterval{15};

    struct Handlers {
        // Applies the levels after each lowering tick (opacities and sound).
        std::function<void(const FadeLevels&)> apply;
        // Runs once, on the tick that finds all four at 0.
        std::function<void()> finished;
    };

    explicit ClosingFade(QObject* parent = nullptr);

    // Starts the fade from these levels (values outside 0..100 are clamped).
    // A second call while running is ignored.
    void start(const FadeLevels& from, Handlers handlers);
    bool running() const { return timer_.isActive(); }
    const FadeLevels& levels() const { return levels_; }
    int ticks() const { return ticks_; }

    // One tick now (the timer calls this; tests may too).
    void tick();

private:
    QTimer timer_;
    FadeLevels levels_;
    Handlers handlers_;
    int ticks_ = 0;
    bool started_ = false;
};

}  // namespace velmora
