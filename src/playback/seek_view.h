#pragma once
// SeekView: what the seek bar logic needs of the main window: the track
// `SliderPlayBack`, the knob `SliderPlay` and the position label
// `CurrentTime`. Places and sizes are the main window's pixels; places keep
// fractions. The main window implements it; tests use a plain fake.
// UI thread only.

#include <QString>

namespace velmora {

class SeekView {
public:
    virtual ~SeekView() = default;
    virtual double trackLeft() const = 0;
    virtual double trackWidth() const = 0;
    virtual double knobLeft() const = 0;
    virtual double knobWidth() const = 0;
    // Moves the knob; the view repaints it (old and new place) at once.
    virtual void setKnobLeft(double left) = 0;
    virtual void setCurrentTimeText(const QString& text) = 0;
};

}  // namespace velmora
