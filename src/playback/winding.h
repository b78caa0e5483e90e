#pragma once
// Winding: the Back and Forward buttons wind by steps that double with every
// press less than a second after the last one (1, 2, 4, 8 ... seconds); one
// second without a press in a direction sets its step back to 1. Each
// direction has its own step and timer.
//
// A step never grows past the clip's length (rounded up) or 2^30 seconds,
// whichever is smaller, so it cannot overflow however often the button is
// pressed. Logic only (a QObject for its two timers); UI thread.

#include <QObject>
#include <QTimer>

#include <chrono>
#include <cstdint>

namespace velmora {

class MediaEngine;
class SeekBar;

class Winding : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kResetDelay{1000};
    static constexpr std::int32_t kMaxStep = 1 << 30;

    Winding(MediaEngine& engine, SeekBar& seekBar, QObject* parent = nullptr);

    // `Back` MouseDown (any button).
    void back();
    // `Forward` MouseDown (any button).
    void forward();

    std::int32_t backStep() const { return backStep_; }
    std::int32_t forwardStep() const { return forwardStep_; }
    // Both steps to 1 and both timers off (start-up).
    void reset();

    // The reset timers' ticks (the timers call these; tests may too).
    void backTimerTick();
    void forwardTimerTick();
    bool backTimerActive() const { return backTimer_.isActive(); }
    bool forwardTimerActive() const { return forwardTimer_.isActive(); }

    // The next step after `step` for a clip of `length` seconds.
    static std::int32_t nextStep(std::int32_t step, double length);

private:
    MediaEngine& engine_;
    SeekBar& seekBar_;
    std::int32_t backStep_ = 1;
    std::int32_t forwardStep_ = 1;
    QTimer backTimer_;
    QTimer forwardTimer_;
};

}  // namespace velmora
