#pragma once
// PlaybackController: opens the playlist entry to be played, starts it, and
// moves on to the next or previous playable entry when the user asks or a
// clip ends. It owns the playback state (what plays) and says when it
// changes; the windows, tray, toolbar and media controls only show it. Every
// transport button, wherever it is pressed (main window, toolbar, tray,
// keys, media controls, command words), goes through press(), which acts
// only as a press of the enabled button would.
//
// Opening is asynchronous: OpenClip hands the path to the engine and returns;
// the engine's open-complete notification (or a 10 s time-out) continues it.
// Walking over entries that cannot be played is a loop, never a recursion,
// so any number of unplayable entries costs no stack. A second OpenClip
// while one is opening replaces it. UI thread only; the engine's
// notifications must be passed in through onOpenComplete(), onMovedOn(),
// onPositionChange() and onTick() (the application's engine listener does).
//
// While a clip plays, the engine holds the clip that the automatic move
// would open next (setNextFileName), so that it can go on to it without a
// break; when it does, onMovedOn() completes the move as if NextClip had
// opened that entry. Whatever changes what comes next works it out again:
// opens and stops here, nextMayHaveChanged() for edits of the list, and the
// tick for "AutoNext".

#include "media/media_engine.h"
#include "playback/playback_panels.h"
#include "playback/playback_state.h"

#include <QObject>
#include <QTimer>

#include <chrono>
#include <memory>
#include <optional>

namespace velmora {

class Settings;

class PlaybackController : public QObject {
    Q_OBJECT
public:
    struct Options {
        std::chrono::milliseconds openTimeout{10000};
        std::chrono::milliseconds beginDelay{100};
    };

    // host: optional (tests).
    PlaybackController(MediaEngine& engine, ClipList& clips, Settings& settings, PlaybackHost* host);
    PlaybackController(MediaEngine& engine, ClipList& clips, Settings& settings, PlaybackHost* host,
                       Options options);
    ~PlaybackController() override;

    // Opens entry i (or, when it cannot be opened, the next that can) and
    // leaves it paused at its start, as if Pause had been pressed before
    // a sound: the list restored at a start.
    void cueClip(int index);
    // Open and play entry i (backwards: a failure walks back).
    void OpenClip(int index, bool backwards = false);
    // Go on from entry i; i == playlistCount ends playback (may close). A
    // move the user asked for walks over entries that cannot be opened
    // whatever "AutoNext" says; only the automatic move honours it.
    void NextClip(int index, bool user = false);
    // Go back from entry i; i == 1 ends playback.
    void PreviousClip(int index);

    const PlaybackState& state() const { return state_; }

    // A press of a transport button: acts only when the button is enabled
    // (state().enabled(button)); returns whether it acted.
    bool press(TransportButton button);
    // Space: pauses a playing clip, resumes a paused one; nothing when no
    // clip is open.
    void playPause();

    // Plays from the start of the list (files dropped on or added to an
    // empty list): the first playable entry, failures skipped.
    void playFromStart();

    // The delayed start after a command line: opens StartIndex after 100 ms
    // when nothing is loaded then.
    void startDelayed(int startIndex);
    bool delayedStartPending() const { return delayedStart_.isActive(); }
    // Plays from entry startIndex now, as the delayed start does but
    // whatever the engine holds: a group walks on to its first playable
    // entry, failures are skipped.
    void playFrom(int startIndex);

    // Engine notifications.
    void onOpenComplete();
    void onPositionChange(double oldPosition, double newPosition);
    // The engine went on to the prepared clip by itself.
    void onMovedOn();
    void onTick();
    // Entries were added, removed, moved, checked or unchecked: the prepared
    // clip is worked out again once the running event is done.
    void nextMayHaveChanged();

    // The playing entry was removed from the playlist.
    void playingEntryRemoved() { NextClip(clips_.count()); }

    bool shellStarted() const { return shellStarted_; }
    void setShellStarted() { shellStarted_ = true; }
    bool opening() const { return opening_.has_value(); }
    int startIndex() const { return startIndex_; }

signals:
    // state() changed.
    void stateChanged();
    // A clip opened and plays (index), or playback went idle.
    void clipStarted(int index);
    void wentIdle();

private:
    struct Request {
        int index = 0;
        bool backwards = false;
        bool keepWalking = false;  // failures walk on whatever AutoNext says
        std::uint64_t entry = 0;   // the entry's identity: the list may change while it opens
    };
    enum class Walk { Forward, Backward };

    struct WalkRequest {
        Walk direction = Walk::Forward;
        int from = 0;
        bool user = false;
        bool keepWalking = false;
        bool afterFailedOpen = false;  // nothing plays: a walk that stops goes idle
    };

    // The one loop that opens entries and walks over those that cannot be
    // played; walks and failed opens queue work here instead of recursing.
    void runRequests();
    void beginOpen(const Request& request);
    void finishOpen();
    void openFailed();
    int indexNow(const Request& request) const;
    // One walk to the next/previous effectively checked entry (which is then
    // queued for opening), or to the idle state.
    void walkForward(const WalkRequest& walk);
    void walkBackward(const WalkRequest& walk);
    void endOfList();
    void enterIdle();
    void beginTick();
    void setState(const PlaybackState& state);
    void showTransport(PlaybackState::Phase shown);
    void play();
    void pause();
    // Hands the engine the clip the automatic move would open next.
    void prepareNext();
    void forgetPrepared();
    int nextPlayable(int from) const;

    MediaEngine& engine_;
    ClipList& clips_;
    Settings& settings_;
    PlaybackHost* host_;
    Options options_;

    PlaybackState state_;
    bool shellStarted_ = false;
    int startIndex_ = 0;
    std::optional<Request> opening_;  // waiting for the engine
    std::optional<Request> queued_;   // to open once the running step returns
    std::optional<WalkRequest> walk_; // to walk once the running step returns
    // Walk state kept while opens fail at once, so that a run of unplayable
    // entries is walked in one pass (valid only inside runRequests()).
    struct WalkCache;
    std::unique_ptr<WalkCache> cache_;
    bool cueing_ = false;             // the next open stays paused
    bool running_ = false;            // runRequests() is on the stack
    bool answered_ = false;           // the engine answered during setFileName()
    bool inSetFileName_ = false;
    QTimer delayedStart_;
    QTimer openTimeout_;
    QTimer nextCheck_;
    std::uint64_t prepared_ = 0;  // entry the engine holds to follow (0: none)
    QString preparedPath_;
    bool preparedAutoNext_ = false;  // "AutoNext" when it was worked out
};

}  // namespace velmora
