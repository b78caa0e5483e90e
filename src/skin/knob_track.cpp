#include "skin/knob_track.h"

#include "base/rounding.h"

namespace velmora {

int percentFromKnob(double knobLeft, double trackLeft, double trackWidth, double knobWidth)
{
    const double travel = trackWidth - knobWidth;
    if (travel <= 0)
        return 0;
    return roundHalfEven((knobLeft - trackLeft) * 100.0 / travel);
}

float knobForPercent(double percent, double trackLeft, double trackWidth, double knobWidth)
{
    return static_cast<float>(trackLeft + (trackWidth - knobWidth) * percent / 100.0);
}

}  // namespace velmora
