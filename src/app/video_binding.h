#pragma once
// Connects the video window with the skinned windows: the menu's two check
// items show and hide the volume and playlist windows, the main window's
// Menu pops the menu up, and the minimise rule drops the video window.

namespace velmora {

class PlayForm;
class SkinnedWindows;

void bindVideoWindow(PlayForm& video, SkinnedWindows& windows);

}  // namespace velmora
