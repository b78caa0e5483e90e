#include "skin/closing_fade.h"

#include <algorithm>

namespace velmora {

bool fadeTick(FadeLevels& levels)
{
    if (levels.allZero())
        return false;
    for (int* level : {&levels.main, &levels.volume, &levels.playlist, &levels.sound})
        *level = std::max(0, *level - 5);
    return true;
}

ClosingFade::ClosingFade(QObject* parent) : QObject(parent)
{
    timer_.setInterval(kInterval);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &ClosingFade::tick);
}

void ClosingFade::start(const FadeLevels& from, Handlers handlers)
{
    if (started_)
        return;
    started_ = true;
    levels_ = from;
    for (int* level : {&levels_.main, &levels_.volume, &levels_.playlist, &levels_.sound})
        *level = std::clamp(*level, 0, 100);
    handlers_ = std::move(handlers);
    ticks_ = 0;
    timer_.start();
}

void ClosingFade::tick()
{
    if (!started_ || !timer_.isActive())
        return;
    ++ticks_;
    if (fadeTick(levels_)) {
        if (handlers_.apply)
            handlers_.apply(levels_);
        return;
    }
    timer_.stop();
    if (handlers_.finished)
        handlers_.finished();
}

}  // namespace velmora
