#pragma once
// SeekBar: the clip's position shown as the seek knob and the time text, and
// the knob drag that moves the position.
//
// The engine's periodic tick calls tick(); the knob's mouse events call
// knobDown/knobMove/knobUp with the element's arguments (button 1 = left;
// for moves, the buttons held; x in pixels from the knob's left edge). A
// drag pauses a playing clip and resumes it on release; a drag started while
// paused leaves it paused; a drag ends with its clip. A knob as wide as its track, or a clip of length
// 0, has no travel to map: the knob stays at the track's left and the
// position is not changed. Logic only (no widgets); UI thread.

#include "media/media_engine.h"
#include "playback/seek_view.h"

namespace velmora {

class SeekBar {
public:
    SeekBar(MediaEngine& engine, SeekView& view);

    // Periodic tick while a clip plays: time text and knob from the engine.
    void tick();

    // Knob placement: track left + position * travel / length, fractions kept.
    void placeKnob(double position, double length);
    // Time text and knob for the engine's current position (after winding).
    void showPosition();

    void knobDown(int button, double x);
    void knobMove(int buttons, double x);
    void knobUp(int button);

    bool dragging() const { return dragging_; }
    bool wasPlaying() const { return wasPlaying_; }
    int grabOffset() const { return grabOffset_; }

    // The knob's travel: track width - knob width (0 or less: none).
    double travel() const;

private:
    bool dragOnItsClip();

    MediaEngine& engine_;
    SeekView& view_;
    int grabOffset_ = 0;
    bool wasPlaying_ = false;
    bool dragging_ = false;
    QString dragClip_;  // the engine's clip when the drag began
};

}  // namespace velmora
