#pragma once
// MprisHost: what the desktop's media controls (MPRIS on D-Bus) may ask of
// the player and tell it to do. The application implements it on its real
// parts so that every command is the same operation as a button or a key;
// tests use a fake. UI thread only; nothing here blocks.

#include <QString>

#include <cstdint>

namespace velmora::mpris {

enum class PlaybackStatus { Stopped, Playing, Paused };

// One playlist entry as the desktop sees it.
struct Track {
    std::uint64_t id = 0;   // stable for the entry's life, never 0
    QString title;          // the clip's title tag, else the entry's text (a group's name)
    QString path;           // the clip's file or stream URL; empty for a group
    std::int64_t lengthUs = -1;  // measured length in microseconds; -1 unknown
    // From the clip's tags, once read; empty or 0 when none.
    QString artist = {};
    QString album = {};
    int trackNumber = 0;
    QString artPath = {};  // a picture file
    bool isGroup() const { return path.isEmpty(); }
};

class MprisHost {
public:
    virtual ~MprisHost() = default;

    // --- State -------------------------------------------------------------
    // Stopped while no clip is open (the transport set is off), Playing
    // while Pause is enabled, Paused otherwise.
    virtual PlaybackStatus playbackStatus() const = 0;
    virtual double position() const = 0;    // seconds into the open clip
    virtual double clipLength() const = 0;  // seconds; 0 when unknown
    virtual double volume() const = 0;      // the volume window's level, 0.0 - 1.0
    // The playlist in table order, 1 ... trackCount(), groups included
    // (the desktop is shown a window of clips around the current one).
    virtual int trackCount() const = 0;
    virtual Track track(int index) const = 0;
    virtual int indexOf(std::uint64_t id) const = 0;  // 0: gone
    virtual int currentIndex() const = 0;              // -1: none

    // --- Commands (each does what its button or key does) -------------------
    virtual void play() = 0;       // resumes a paused clip; nothing otherwise
    virtual void pause() = 0;      // pauses a playing clip; nothing otherwise (also Rate 0)
    virtual void playPause() = 0;  // Space
    virtual void stop() = 0;       // Escape
    virtual void next() = 0;       // "]"
    virtual void previous() = 0;   // "["
    // Jumps in the open clip and shows the new position.
    virtual void seekTo(double seconds) = 0;
    // Sets the volume window's level (0.0 - 1.0) and applies it.
    virtual void setVolume(double level) = 0;
    // Adds a file or folder to the list and, when no clip is open, plays
    // it. Not a start of the program: "AutoClose" does not end the player
    // after what it added.
    virtual void openFile(const QString& path) = 0;
    // Opens the entry as a double click on its row does.
    virtual void goTo(int index) = 0;
    // Shows the windows (also after Close hid them) and raises them.
    virtual void raise() = 0;
    // Ends the program, whatever "NotClose" says.
    virtual void quit() = 0;
};

}  // namespace velmora::mpris
