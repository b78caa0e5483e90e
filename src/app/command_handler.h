#pragma once
// CommandHandler: what a command line does, whether it came with this
// copy's start or from another copy through the channel.
//
// One of the transport words "play", "pause", "back", "forward" (the whole
// text, any letter case) presses that button when it is enabled. Any other
// text is a list of paths: each readable file is added in its long form,
// each folder adds its own accepted files in name order; the first token
// that is neither ends the handling of the message. Additions switch the
// length measuring on and may start playback after a short delay.
//
// Command lines are handled one at a time, in arrival order: a command line
// submitted while another is being handled (the handling can let events
// run) waits in a queue. UI thread only.

#include <QObject>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>

namespace velmora {

class PlaybackController;
class Settings;
class TransportPanel;

class CommandHandler {
public:
    // The playlist and window services the handler needs.
    struct Playlist {
        std::function<int()> count;         // playlistCount
        std::function<int()> currentIndex;  // -1 when nothing plays
        // Adds the paths of one token, in order, as one change.
        std::function<void(const QStringList& paths)> addPaths;
        std::function<void()> startMeasuring;  // the playlist window's measuring timer
        // Whether a file of a folder is added (the media pattern); empty: every file.
        std::function<bool(const QString& fileName)> accepts;
    };

    CommandHandler(PlaybackController& controller, TransportPanel& transport, Settings& settings, Playlist playlist);

    // Handles the text now, or after the one being handled.
    void submit(const QString& text);
    bool busy() const { return busy_; }

private:
    void handle(const QString& text);
    bool transportWord(const QString& text);

    PlaybackController& controller_;
    TransportPanel& transport_;
    Settings& settings_;
    Playlist playlist_;
    std::deque<QString> queue_;
    bool busy_ = false;
};

}  // namespace velmora
