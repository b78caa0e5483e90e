#pragma once
// The skin loader's second half: a parsed skin description applied to the
// three windows, in the classic order of steps, each step on its own. A
// value the description does not give (or a picture that does not load)
// leaves its target as it was; nothing is reported. The numbers other parts
// need later (radii, offsets, name, visible rows) are kept in SkinState.
// UI thread only.

#include "skin/skin_description.h"
#include "skin/window_geometry.h"

#include <QString>

namespace velmora {

class MainForm;
class VolumeForm;
class PlaylistForm;

struct SkinState {
    QString skinName;
    int mainRadius = 0, volumeRadius = 0, playlistRadius = 0;
    GroupOffsets offsets;
    int visibleRows = 0;
};

struct SkinTargets {
    MainForm& main;
    VolumeForm& volume;
    PlaylistForm& playlist;
};

// Stored knob positions, percent (0..100; others are clamped).
struct KnobPercents {
    int balance = 50;
    int volume = 100;
};

// Steps 1 to 13 of LoadSkin: name; each window's picture, size, radius and
// offsets; element pictures then places; the time labels; the list area,
// background, font, colours and columns; the visible rows; the outlines;
// the two knobs.
void dressWindows(const SkinDescription& skin, SkinTargets windows, SkinState& state, KnobPercents knobs);

// Whether the skin can give the three windows a face at all: its "skin.ini"
// was read and each window's background picture loads. A skin that cannot
// would leave windows without a picture, outline or size.
bool skinDressesWindows(const SkinDescription& skin);

}  // namespace velmora
