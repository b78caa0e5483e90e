#include "volume/volume_control.h"

#include "settings/settings.h"
#include "base/rounding.h"
#include "media/media_engine.h"
#include "skin/knob_track.h"
#include "skin/volume_form.h"
#include "volume/volume_scale.h"


#include <algorithm>

namespace velmora {

VolumeControl::VolumeControl(VolumeForm& form, const VolumeScale& scale, Settings& settings, MediaEngine& engine)
    : form_(form), scale_(scale), settings_(settings), engine_(engine)
{
    volume_ = {form.element("SliderVolume"), form.element("SliderVolumeBack")};
    balance_ = {form.element("SliderBalance"), form.element("SliderBalanceBack")};
    wire();
}

void VolumeControl::wire()
{
    // The step buttons act on a press of any mouse button.
    auto onPress = [this](const char* name, auto action) {
        if (TransImg* e = form_.element(name))
            connect(e, &TransImg::mouseDown, this, [action](int, int, double, double) { action(); });
    };
    onPress("VolumeLeft", [this] { pressVolumeDown(); });
    onPress("VolumeRight", [this] { pressVolumeUp(); });
    onPress("BalanceLeft", [this] { pressBalanceLeft(); });
    onPress("BalanceRight", [this] { pressBalanceRight(); });
    for (Slider* slider : {&volume_, &balance_}) {
        if (!slider->valid())
            continue;
        connect(slider->knob, &TransImg::mouseDown, this, [this](int b, int, double x, double) { knobPressed(b, x); });
        connect(slider->knob, &TransImg::mouseMove, this,
                [this, slider](int b, int, double x, double) { knobMoved(*slider, b, x); });
    }
}


int VolumeControl::percentOf(const Slider& slider) const
{
    if (!slider.valid())
        return 0;
    return percentFromKnob(slider.knob->left(), slider.track->left(), slider.track->pictureWidth(),
                                        slider.knob->pictureWidth());
}

int VolumeControl::volumePercent() const { return percentOf(volume_); }

void VolumeControl::applyVolume()
{
    if (!volume_.valid())
        return;
    const int p = percentOf(volume_);
    settings_.setWholeSoon(keys::Volume, p);
    if (const std::optional<int> engine = scale_.volumeForPercent(p))
        engine_.setVolume(*engine);
    emit volumeApplied();
}

void VolumeControl::setVolumePercent(int percent)
{
    if (!volume_.valid())
        return;
    const double trackWidth = volume_.track->pictureWidth();
    const double knobWidth = volume_.knob->pictureWidth();
    if (trackWidth <= knobWidth)
        return;  // no travel: the knob has one place
    const double left = knobForPercent(std::clamp(percent, 0, 100), volume_.track->left(), trackWidth,
                                                    knobWidth);
    volume_.knob->setLeft(left);
    applyVolume();
}

void VolumeControl::applyBalance()
{
    if (!balance_.valid())
        return;
    const int p = percentOf(balance_);
    settings_.setWholeSoon(keys::Balance, p);
    if (const std::optional<int> engine = scale_.balanceForPercent(p))
        engine_.setBalance(*engine);
}

void VolumeControl::apply(const Slider& slider)
{
    if (&slider == &volume_)
        applyVolume();
    else
        applyBalance();
}

void VolumeControl::step(const Slider& slider, int pixels)
{
    if (!slider.valid())
        return;
    // Moved or not (at the end of the track), the value is applied again.
    const double left = slider.knob->left();
    const double trackLeft = slider.track->left();
    const double lastLeft = trackLeft + slider.track->pictureWidth() - slider.knob->pictureWidth();
    // A knob placed at a fraction of a pixel stops at the track's end
    // instead of half a pixel past it (where the percentage leaves 0-100).
    if (pixels < 0 && left > trackLeft)
        slider.knob->setLeft(std::max(left - 1, trackLeft));
    else if (pixels > 0 && lastLeft > left)
        slider.knob->setLeft(std::min(left + 1, lastLeft));
    apply(slider);
}

void VolumeControl::pressVolumeUp() { step(volume_, 1); }
void VolumeControl::pressVolumeDown() { step(volume_, -1); }
void VolumeControl::pressBalanceRight() { step(balance_, 1); }
void VolumeControl::pressBalanceLeft() { step(balance_, -1); }

void VolumeControl::knobPressed(int button, double x)
{
    if (button == 1)
        grab_ = roundHalfEven(x);
}

void VolumeControl::knobMoved(const Slider& slider, int button, double x)
{
    if ((button & 1) == 0)
        return;
    const double trackLeft = slider.track->left();
    const double lastLeft = trackLeft + slider.track->pictureWidth() - slider.knob->pictureWidth();
    double left = roundHalfEven(slider.knob->left() + x - grab_);
    left = std::min(left, lastLeft);  // a track narrower than its knob keeps it at the left edge
    left = std::max(left, trackLeft);
    slider.knob->setLeft(left);
    apply(slider);
}

}  // namespace velmora
