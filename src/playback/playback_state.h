#pragma once
// PlaybackState: what plays, as the playback controller keeps it. The
// windows, the tray, the toolbar and the desktop's media controls show it;
// the transport rule (which buttons act) is read from it, never from a
// widget. Plain data.

#include <QString>

#include <cstdint>

namespace velmora {

// The main window's transport buttons; the toolbar has the same seven.
enum class TransportButton { Play, Pause, Stop, Back, Forward, StepBack, StepForward };

struct PlaybackState {
    enum class Phase { Idle, Opening, Playing, Paused };

    Phase phase = Phase::Idle;
    // What the transport shows (Idle, Playing or Paused): while the next
    // clip opens it keeps showing the one it replaces.
    Phase shown = Phase::Idle;
    std::uint64_t entry = 0;  // the current entry's identity (ClipList::entryId), 0 none
    QString clipText;         // its text, empty when idle
    double length = 0;        // its length in seconds

    // A clip is open: Play, Stop, the steps, winding and the seek knob act.
    bool clipOpen() const { return shown != Phase::Idle; }
    // ... and plays: Pause acts.
    bool playing() const { return shown == Phase::Playing; }
    // A press of the button acts (the button is enabled).
    bool enabled(TransportButton button) const
    {
        return button == TransportButton::Pause ? playing() : clipOpen();
    }

    friend bool operator==(const PlaybackState&, const PlaybackState&) = default;
};

}  // namespace velmora
