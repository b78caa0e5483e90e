#pragma once
// What the playback controller works with besides the engine: the clip
// table, the views that show its state, and a few services of the
// application (video window parking, volume, winding, closing). Windows
// implement these; tests use recording fakes. UI thread only.

#include "playback/playback_state.h"

#include <QString>

#include <cstdint>

namespace velmora {

// The clip table the controller walks (the playlist, 1-based, root at 1).
class ClipList {
public:
    virtual ~ClipList() = default;
    virtual int count() const = 0;  // playlistCount
    virtual QString path(int index) const = 0;  // empty for a group
    virtual QString text(int index) const = 0;
    virtual bool checked(int index) const = 0;
    virtual int deep(int index) const = 0;  // odd: file, even: group
    virtual int currentIndex() const = 0;
    virtual void setCurrentIndex(int index) = 0;
    // Recolours the shown rows so that only the current entry's row has the
    // current colour.
    virtual void markCurrentRow() = 0;
    // The entry's identity, which survives edits of the list, and its index
    // now (0 when it is gone). Lists without identities use the index.
    virtual std::uint64_t entryId(int index) const { return static_cast<std::uint64_t>(index); }
    virtual int indexOf(std::uint64_t id) const { return id <= static_cast<std::uint64_t>(count()) ? static_cast<int>(id) : 0; }
};

// A window or service that shows the playback state: the main window's
// transport and time labels, the toolbar, the tray menu. Each shows what it
// is given and keeps no playback logic of its own.
class PlaybackView {
public:
    virtual ~PlaybackView() = default;
    virtual void showPlayback(const PlaybackState& state) = 0;
};

// Services of the application the controller calls.
class PlaybackHost {
public:
    virtual ~PlaybackHost() = default;
    // Moves the video window out of sight if it is shown (remembering its place).
    virtual void parkVideoWindow() = 0;
    // Applies what the volume window's sliders show (stores and sets them).
    virtual void applyVolumeAndBalance() = 0;
    // The main window's Close (may hide or end the program).
    virtual void closeProgram() = 0;
    // Shows the mouse pointer again after full screen.
    virtual void showPointer() = 0;
    // The main window's Back and Forward (winding).
    virtual void windBack() = 0;
    virtual void windForward() = 0;
};

}  // namespace velmora
