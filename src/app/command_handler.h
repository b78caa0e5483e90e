#pragma once
// CommandHandler: what a command line does, whether it came with this
// copy's start or from another copy through the channel.
//
// One of the transport words "play", "pause", "back", "forward" (the whole
// text, any letter case) presses that button (Play, Pause, StepBack,
// StepForward) as the controller's transport does: only when it is enabled. Any other
// text is a list of paths: each readable file is added in its long form,
// each folder adds its own accepted files in natural name order; the first
// token that is neither ends the handling of the message. Additions switch
// the length measuring on and may start playback after a short delay.
//
// The disk is read off the UI thread (the playlist's addToken), so a
// message is handled in steps: one token at a time, the next when the
// previous one's entries are in. Command lines are handled one at a time,
// in arrival order: one submitted while another is being handled waits in a
// queue. UI thread only.

#include <QString>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velmora {

class PlaybackController;
class Settings;

// Where a command line comes from.
enum class CommandOrigin {
    Start,    // a start of the program, this copy's or another's (a file manager's open)
    Desktop,  // the desktop's media controls (MPRIS OpenUri): no start of the program
};

class CommandHandler {
public:
    // The playlist and window services the handler needs.
    struct Playlist {
        std::function<int()> count;         // playlistCount
        std::function<int()> currentIndex;  // -1 when nothing plays
        // Adds what one path names, reading the disk off the UI thread: a
        // file as it is, a folder's accepted files. `done` runs later on the
        // UI thread once the entries are in; named is false when the path
        // was neither a file nor a folder (nothing was added).
        std::function<void(const QString& path, std::function<void(bool named)> done)> addToken;
        std::function<void()> startMeasuring;  // the playlist window's measuring timer
    };

    CommandHandler(PlaybackController& controller, Settings& settings, Playlist playlist);
    ~CommandHandler();

    // Handles the text now, or after the one being handled. A Desktop line
    // is paths only; it leaves the start state alone (so "AutoClose" does
    // not end the player after it) and, when no clip is open, plays the
    // first entry it added, whatever "AutoPlay" says.
    void submit(const QString& text, CommandOrigin origin = CommandOrigin::Start);
    // True while a message is being handled (its tokens still arriving).
    bool busy() const { return busy_; }

private:
    void handleNext();
    bool transportWord(const QString& text);
    void nextToken();
    void tokenDone(bool named);
    void endMessage();

    PlaybackController& controller_;
    Settings& settings_;
    Playlist playlist_;
    std::deque<std::pair<QString, CommandOrigin>> queue_;
    bool busy_ = false;

    // The message being handled.
    CommandOrigin origin_ = CommandOrigin::Start;
    std::vector<std::string> tokens_;
    std::size_t nextToken_ = 0;
    int oldCount_ = 0;
    bool wasEmpty_ = false;
    bool filledEmpty_ = false;  // an earlier token of this line went into an empty list
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace velmora
