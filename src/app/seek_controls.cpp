#include "app/seek_controls.h"

#include "skin/main_form.h"
#include "skin/trans_img.h"

namespace velmora {

SeekControls::SeekControls(MediaEngine& engine, MainForm& main, QObject* parent)
    : QObject(parent), seekBar_(engine, main), winding_(engine, seekBar_)
{
    if (TransImg* knob = main.element("SliderPlay")) {
        connect(knob, &TransImg::mouseDown, this, [this](int b, int, double x, double) { seekBar_.knobDown(b, x); });
        connect(knob, &TransImg::mouseMove, this, [this](int b, int, double x, double) { seekBar_.knobMove(b, x); });
        connect(knob, &TransImg::mouseUp, this, [this](int b, int, double, double) { seekBar_.knobUp(b); });
    }
    if (TransImg* back = main.element("Back"))
        connect(back, &TransImg::mouseDown, &winding_, &Winding::back);
    if (TransImg* forward = main.element("Forward"))
        connect(forward, &TransImg::mouseDown, &winding_, &Winding::forward);
}

}  // namespace velmora
