#include "skin/volume_form.h"

#include "skin/knob_track.h"

#include <algorithm>

namespace velmora {

namespace {
void placeKnob(TransImg& knob, const TransImg& track, int percent)
{
    knob.setLeft(knobForPercent(std::clamp(percent, 0, 100), track.left(), track.pictureWidth(),
                                             knob.pictureWidth()));
}
}  // namespace

VolumeForm::VolumeForm() : SkinnedForm(SkinWindow::Volume, Qt::Tool)
{
    setObjectName(QStringLiteral("VolumeForm"));
    setWindowRole(objectName());  // lets tools and tests tell the windows apart
}

void VolumeForm::placeBalanceKnob(int percent)
{
    placeKnob(*element("SliderBalance"), *element("SliderBalanceBack"), percent);
}

void VolumeForm::placeVolumeKnob(int percent)
{
    placeKnob(*element("SliderVolume"), *element("SliderVolumeBack"), percent);
}

}  // namespace velmora
