#pragma once
// LastList: the playlist that comes back at the next start when
// "RestoreList" is on. Close (and the orderly end on a signal) saves the
// list with its groups, check marks, current entry and position to
// "last.pml" in the settings folder; the next start loads it before its own
// command line. Without a command line the current entry is cued: opened,
// paused at its position, so that Play goes on from there. With one, the
// command line acts as for any list that already holds entries. UI thread.

#include <QString>

#include <cstdint>

namespace velmora {

class MediaEngine;
class PlaybackController;
class PlaylistModel;
class SeekBar;

class LastList {
public:
    struct Parts {
        PlaylistModel& playlist;
        PlaybackController& controller;
        MediaEngine& engine;
        SeekBar& seekBar;
    };
    LastList(QString file, Parts parts) : file_(std::move(file)), parts_(parts) {}

    // At Close: writes the file (on) or removes an old one (off), so that a
    // list from long ago never comes back. Blocks while the file is written.
    void save(bool on) const;
    // At start, into an empty playlist: true when entries came back. A
    // missing or broken file restores nothing (or what makes a valid tree).
    bool restore(bool cueCurrent);

    const QString& file() const { return file_; }

private:
    void cue(int index, double position);

    QString file_;
    Parts parts_;
    // The entry cued at start and its place: while it has not moved on, that
    // place is saved again (the engine reports a paused clip's place up to
    // its sound buffer early, which would creep back at every start).
    std::uint64_t cuedEntry_ = 0;
    double cuedPosition_ = 0;
};

}  // namespace velmora
