#include "playback/seek_bar.h"

#include "base/format_time.h"
#include "base/rounding.h"

#include <cmath>

namespace velmora {

namespace {
constexpr int kLeftButton = 1;

bool usableLength(double length) { return std::isfinite(length) && length > 0; }
}  // namespace

SeekBar::SeekBar(MediaEngine& engine, SeekView& view) : engine_(engine), view_(view) {}

double SeekBar::travel() const { return view_.trackWidth() - view_.knobWidth(); }

void SeekBar::placeKnob(double position, double length)
{
    const double t = travel();
    if (t <= 0 || !usableLength(length) || !std::isfinite(position)) {
        view_.setKnobLeft(view_.trackLeft());
        return;
    }
    view_.setKnobLeft(view_.trackLeft() + position * t / length);
}

void SeekBar::showPosition()
{
    const double position = engine_.position();
    view_.setCurrentTimeText(formatSeconds(position));
    placeKnob(position, engine_.length());
}

// A drag belongs to the clip it began on: when another clip opened
// meanwhile (a key, the tray), it ends without seeking or resuming that one.
bool SeekBar::dragOnItsClip()
{
    if (dragging_ && engine_.fileName() != dragClip_) {
        dragging_ = false;
        wasPlaying_ = false;
    }
    return dragging_;
}

void SeekBar::tick()
{
    if (dragOnItsClip())
        return;  // the pointer owns the knob until it is let go
    showPosition();
}

void SeekBar::knobDown(int button, double x)
{
    if (button != kLeftButton)
        return;
    grabOffset_ = roundHalfEven(x);
    dragging_ = true;
    dragClip_ = engine_.fileName();
    wasPlaying_ = engine_.state() == MediaEngine::kPlaying;
    if (wasPlaying_)
        engine_.pause();
}

void SeekBar::knobMove(int buttons, double x)
{
    if (buttons != kLeftButton || !dragOnItsClip())
        return;
    const double trackLeft = view_.trackLeft();
    double newLeft = roundHalfEven(view_.knobLeft() + x - grabOffset_);
    if (trackLeft > newLeft)
        newLeft = roundHalfEven(trackLeft);
    const float rightEnd = static_cast<float>(trackLeft + view_.trackWidth() - view_.knobWidth());
    if (rightEnd < newLeft)
        newLeft = roundHalfEven(rightEnd);
    const double t = travel();
    const double length = engine_.length();
    if (t <= 0 || !usableLength(length)) {
        // Nothing to map the knob onto: it stays at the track's left.
        view_.setKnobLeft(trackLeft);
        return;
    }
    view_.setKnobLeft(newLeft);
    engine_.setPosition(length * (newLeft - trackLeft) / t);
    view_.setCurrentTimeText(formatSeconds(engine_.position()));
}

void SeekBar::knobUp(int button)
{
    if (button != kLeftButton)
        return;
    const bool onItsClip = dragOnItsClip();
    dragging_ = false;
    if (onItsClip && wasPlaying_)
        engine_.run();
    wasPlaying_ = false;
}

}  // namespace velmora
