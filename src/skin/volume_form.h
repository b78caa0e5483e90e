#pragma once
// VolumeForm: the volume and balance window: two tracks with their knobs and
// a step button at either end of each. The skin lays it out and places the
// knobs from the stored settings; the handlers (steps, drags, apply) are
// wired by the volume-window code. UI thread only.

#include "skin/skinned_form.h"

namespace velmora {

class VolumeForm : public SkinnedForm {
    Q_OBJECT
public:
    VolumeForm();

    // Knobs from percentages 0..100 (clamped): knob left = track left +
    // (track width - knob width) * percent / 100. Tops stay as placed.
    void placeBalanceKnob(int percent);
    void placeVolumeKnob(int percent);
};

}  // namespace velmora
