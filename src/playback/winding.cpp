#include "playback/winding.h"

#include "media/media_engine.h"
#include "playback/seek_bar.h"

#include <algorithm>
#include <cmath>

namespace velmora {

Winding::Winding(MediaEngine& engine, SeekBar& seekBar, QObject* parent)
    : QObject(parent), engine_(engine), seekBar_(seekBar)
{
    for (QTimer* t : {&backTimer_, &forwardTimer_}) {
        t->setInterval(kResetDelay);
        t->setSingleShot(true);
    }
    connect(&backTimer_, &QTimer::timeout, this, &Winding::backTimerTick);
    connect(&forwardTimer_, &QTimer::timeout, this, &Winding::forwardTimerTick);
}

std::int32_t Winding::nextStep(std::int32_t step, double length)
{
    std::int64_t cap = kMaxStep;
    if (std::isfinite(length) && length >= 1)
        cap = std::min<std::int64_t>(cap, static_cast<std::int64_t>(std::ceil(length)));
    const std::int64_t doubled = static_cast<std::int64_t>(std::max<std::int32_t>(step, 1)) * 2;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(doubled, 1, cap));
}

void Winding::back()
{
    backTimer_.start();  // starts the second over
    const double p = engine_.position();
    engine_.setPosition(p > backStep_ ? p - backStep_ : 0.0);
    backStep_ = nextStep(backStep_, engine_.length());
    seekBar_.showPosition();
}

void Winding::forward()
{
    forwardTimer_.start();
    const double p = engine_.position();
    const double length = engine_.length();
    // At the end the end-of-clip rule of the controller takes over. A clip
    // whose length the engine does not know (0: a raw stream) has no end to
    // stop at; going to "the end" would start it over.
    const bool endKnown = std::isfinite(length) && length > 0;
    engine_.setPosition(!endKnown || length > p + forwardStep_ ? p + forwardStep_ : length);
    forwardStep_ = nextStep(forwardStep_, length);
    seekBar_.showPosition();
}

void Winding::backTimerTick()
{
    backTimer_.stop();
    backStep_ = 1;
}

void Winding::forwardTimerTick()
{
    forwardTimer_.stop();
    forwardStep_ = 1;
}

void Winding::reset()
{
    backTimerTick();
    forwardTimerTick();
}

}  // namespace velmora
