#pragma once
// VolumeControl: the handlers of the volume window. The step buttons nudge
// a knob by one pixel, the knobs are dragged along their tracks (one grab
// point shared by both), and every change is applied at once: the
// percentage read from the knob is kept as "Volume" / "Balance" and the
// engine gets the table value. The stored value is exact in memory at
// every move; the disk write is coalesced by the settings store.
//
// The plus and minus key commands act through pressVolumeUp() and
// pressVolumeDown(), which work whether the window is shown or not.
//
// Threading and lifetime: UI thread only. The form, the scale, the settings
// and the engine must outlive this object. Nothing here blocks.

#include <QObject>

#include <functional>

namespace velmora {

class MediaEngine;
class Settings;
class TransImg;
class VolumeForm;
class VolumeScale;

class VolumeControl : public QObject {
    Q_OBJECT
public:
    VolumeControl(VolumeForm& form, const VolumeScale& scale, Settings& settings, MediaEngine& engine);
    VolumeControl(const VolumeControl&) = delete;
    VolumeControl& operator=(const VolumeControl&) = delete;

    // Apply volume / balance: the knob's percentage stored and, when it lies
    // in 0 ... 100, the engine set. The controller calls these at each open.
    void applyVolume();
    void applyBalance();
    // What VolumeRight / VolumeLeft do: the knob one pixel louder / quieter
    // (not past the track's end), then Apply volume either way.
    void pressVolumeUp();
    void pressVolumeDown();
    // The same for the balance knob.
    void pressBalanceRight();
    void pressBalanceLeft();
    // Places the volume knob at the percentage (0 ... 100) and applies it,
    // as a drag to that place would (the desktop's volume control).
    void setVolumePercent(int percent);
    // The volume knob's percentage now (the closing fade starts from it).
    int volumePercent() const;

signals:
    // Apply volume ran (the knob may have moved).
    void volumeApplied();

private:
    struct Slider {
        TransImg* knob = nullptr;
        TransImg* track = nullptr;
        bool valid() const { return knob && track; }
    };
    void wire();
    void step(const Slider& slider, int pixels);
    void knobPressed(int button, double x);
    void knobMoved(const Slider& slider, int button, double x);
    void apply(const Slider& slider);
    int percentOf(const Slider& slider) const;

    VolumeForm& form_;
    const VolumeScale& scale_;
    Settings& settings_;
    MediaEngine& engine_;
    Slider volume_, balance_;
    int grab_ = 0;  // where in the knob the drag started, shared by both knobs
};

}  // namespace velmora
