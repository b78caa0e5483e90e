#pragma once
// A slider knob on its track (the volume window's two sliders): the
// percentage a knob's place shows and the place for a percentage. Pixels of
// the window; places keep fractions. Plain functions.

namespace velmora {

// (knob - track) * 100 / travel, rounded half to even. A track no wider than
// its knob has no travel: the knob then reads as the track's left end (0).
int percentFromKnob(double knobLeft, double trackLeft, double trackWidth, double knobWidth);
// The knob's left edge for a percentage (single precision, as stored).
float knobForPercent(double percent, double trackLeft, double trackWidth, double knobWidth);

}  // namespace velmora
