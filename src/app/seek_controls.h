#pragma once
// SeekControls: the main window's seek knob and winding buttons bound to
// their logic against one engine. The skin builds the elements; this object
// owns the SeekBar and the Winding and connects SliderPlay's drag, Back and
// Forward to them. It must not outlive the engine or the main window. UI
// thread only.

#include "playback/seek_bar.h"
#include "playback/winding.h"

#include <QObject>

namespace velmora {

class MainForm;
class MediaEngine;

class SeekControls : public QObject {
    Q_OBJECT
public:
    SeekControls(MediaEngine& engine, MainForm& main, QObject* parent = nullptr);

    SeekBar& seekBar() { return seekBar_; }
    Winding& winding() { return winding_; }

private:
    SeekBar seekBar_;
    Winding winding_;
};

}  // namespace velmora
