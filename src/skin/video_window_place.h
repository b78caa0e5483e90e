#pragma once
// VideoWindowPlace: what the skinned windows' minimise rule does to the
// video window, which lives with playback. The video window implements it.
// UI thread only.

namespace velmora {

class VideoWindowPlace {
public:
    virtual ~VideoWindowPlace() = default;
    // Main window minimised: when the video window stands at its remembered
    // left edge (it is shown), it goes below the screen.
    virtual void dropBelowScreen() = 0;
    // Main window restored: a video window below the screen returns to its
    // remembered top.
    virtual void returnFromBelowScreen() = 0;
};

}  // namespace velmora
