#pragma once
// A player for the MPRIS benchmarks: a list of tracks, stopped, commands that
// do nothing. A benchmark fills the list and overrides the state it shows.

#include "mpris/mpris_host.h"

#include <vector>

namespace velmora {

struct TrackListHost : mpris::MprisHost {
    std::vector<mpris::Track> tracks;

    mpris::PlaybackStatus playbackStatus() const override { return mpris::PlaybackStatus::Stopped; }
    double position() const override { return 0; }
    double clipLength() const override { return 0; }
    double volume() const override { return 1; }
    int trackCount() const override { return static_cast<int>(tracks.size()); }
    mpris::Track track(int index) const override { return tracks[static_cast<std::size_t>(index - 1)]; }
    int indexOf(std::uint64_t id) const override { return id <= tracks.size() ? static_cast<int>(id) : 0; }
    int currentIndex() const override { return -1; }
    void play() override {}
    void pause() override {}
    void playPause() override {}
    void stop() override {}
    void next() override {}
    void previous() override {}
    void seekTo(double) override {}
    void setVolume(double) override {}
    void openFile(const QString&) override {}
    void goTo(int) override {}
    void raise() override {}
    void quit() override {}
};

}  // namespace velmora
