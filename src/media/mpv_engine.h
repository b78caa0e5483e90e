#pragma once
// MpvEngine: the MediaEngine on libmpv.
//
// Purpose: plays one clip at a time, drawn into a native child window
// (setVideoWindow) or nowhere (the headless options the tests use). A clip
// ends when its last sample has been played out. The clip prepared with
// setNextFileName() sits behind the open one in libmpv's playlist, so that
// libmpv decodes it ahead and goes on to it without closing the audio
// output (gapless); the move is reported as engineMovedOn().
// Threading: the object is used on the UI thread; it may be built on another
// thread and moved there before first use. libmpv's wakeup callback only
// posts a queued call; the events are drained on the UI thread with
// mpv_wait_event(0) and every request to libmpv is asynchronous, so no call
// waits for the player core. Getters answer from values kept from libmpv's
// events. Listener calls come straight from the drain; a listener may call
// back into the engine and may let events run (a nested drain is safe).
// Lifetime: created once for the program; destroying it ends the player
// core (this waits for libmpv's threads).
//
// Keys: libmpv is told to leave the keyboard and the mouse alone, so key
// presses over the picture reach the host window, which reports them;
// engineKeyPressed() is not called by this engine.

#include "media/media_engine.h"
#include "media/mpv_engine_options.h"

#include <QObject>
#include <QTimer>

#include <atomic>
#include <cstdint>

struct mpv_handle;
struct mpv_event;

namespace velmora {

class MpvEngine final : public QObject, public MediaEngine {
    Q_OBJECT
public:
    explicit MpvEngine(MpvEngineOptions options = {}, QObject* parent = nullptr);
    ~MpvEngine() override;
    MpvEngine(const MpvEngine&) = delete;
    MpvEngine& operator=(const MpvEngine&) = delete;

    // False when libmpv could not be started (for example with a number
    // locale other than "C"); every open then fails.
    bool isValid() const { return mpv_ != nullptr && !coreGone_; }

    void setListener(MediaEngineListener* listener) override { listener_ = listener; }

    // Starts opening (paused at the start); the open completes once the
    // first picture or sound is ready, so the length and the display size
    // are known then. Only the latest open is ever reported. An empty path
    // stops and unloads at once, cancelling an open in progress; no
    // open-complete follows it.
    void setFileName(const QString& path) override;
    QString fileName() const override { return fileName_; }
    void setNextFileName(const QString& path) override;

    void run() override;
    void pause() override;
    // Pauses and rewinds to the start; the clip stays loaded.
    void stop() override;
    // kNothingLoaded with no clip, kStopped also while opening.
    int state() const override;

    double position() const override { return position_; }
    // Seeks exactly; a position change (old, new) follows once the seek is done.
    void setPosition(double seconds) override;
    double length() const override { return length_; }

    void setVolume(int hundredthsDb) override;
    void setBalance(int hundredthsDb) override;

    bool fullScreen() const override { return fullScreen_; }
    void setFullScreen(bool on) override;
    void setFullScreenHandler(std::function<void(bool)> handler) override { fullScreenHandler_ = std::move(handler); }

    int displayWidth() const override { return displayWidth_; }
    int displayHeight() const override { return displayHeight_; }
    void setDisplaySize(int width, int height) override;

    // Takes effect when the next picture output is made (set it before the
    // first clip with a picture).
    void setVideoWindow(std::uintptr_t windowId) override;

private:
    // Moving: libmpv went on to the prepared clip, which is not ready yet;
    // the getters still answer for the clip that ended.
    enum class Phase { Empty, Opening, Open, Moving };
    enum class Run { Stopped, Paused, Playing };

    static void wakeup(void* self);
    void setUp(const MpvEngineOptions& options);
    void drainEvents();
    void handleEvent(const mpv_event& event);
    void onLoadReply(int error, std::int64_t entryId);
    void onAppendReply(int error, std::int64_t entryId);
    void onStartFile(std::int64_t entryId);
    void beginMove(std::int64_t entryId);
    void finishMove();
    void clipGone();
    void dropPrepared();
    void appendPrepared();
    void loadFile(const QString& path, const char* flags, std::uint64_t replyTag);
    bool hasPrepared() const { return preparedEntry_ != -1 || preparePending_; }
    void setGapless(bool on);
    void onPlaybackRestart();
    void onQueryReply(int kind, int error, const void* data);
    void onEndFile(std::int64_t entryId, int reason);
    void onEof();
    void onEndReached();
    void failOpen();
    void finishOpen();
    void updateTicking();
    void rewindQuietly();
    void command(std::initializer_list<const char*> args, std::uint64_t replyTag = 0);
    void setFlag(const char* name, bool on);
    std::uint64_t tag(int kind) const;
    bool isCurrent(std::uint64_t replyTag) const;
    QString balanceFilter() const;
    void setBalanceFilter();
    void keepBalanceThroughSeek();
    void refreshPreparedBalance();

    mpv_handle* mpv_ = nullptr;
    bool coreGone_ = false;  // libmpv's core shut down by itself
    std::atomic<bool> drainPosted_{false};
    MediaEngineListener* listener_ = nullptr;
    std::function<void(bool)> fullScreenHandler_;
    QTimer tickTimer_{this};

    // The open asked for last. Replies and events of earlier opens are told
    // apart by openSerial_ (in reply tags) and libmpv's playlist entry id.
    Phase phase_ = Phase::Empty;
    QString fileName_;
    std::uint64_t openSerial_ = 0;
    std::int64_t wantedEntry_ = -1;   // entry id of the open asked for last (-1: not known yet)
    std::int64_t startedEntry_ = -1;  // entry id of the file libmpv started last
    bool wantedLoaded_ = false;
    bool queriesSent_ = false;
    int queriesLeft_ = 0;
    int queriedWidth_ = 0;
    int queriedHeight_ = 0;

    // The clip prepared to follow: appended to libmpv's playlist behind the
    // open one. Its append reply is told apart by prepareSerial_.
    QString nextFileName_;
    std::uint64_t prepareSerial_ = 0;
    bool preparePending_ = false;     // appended, the entry id not known yet
    std::int64_t preparedEntry_ = -1;
    QString movingFileName_;          // the prepared clip libmpv went on to
    double endedLength_ = 0;          // length of the clip that ended, while Moving
    bool gapless_ = false;            // libmpv's gapless-audio as last set
    bool eofWhileMoving_ = false;     // the prepared clip played out before it was ready
    QTimer endCheck_{this};           // an end held back for a move that never came
    QTimer balanceRefresh_{this};     // the prepared clip appended again with a new balance

    Run run_ = Run::Stopped;
    double position_ = 0;
    double length_ = 0;
    bool seekPending_ = false;  // a setPosition() waits for its completion
    double seekFrom_ = 0;
    double seekTo_ = 0;
    bool rewindPending_ = false;  // our own rewind after stop or end: not reported

    int volume_ = 0;
    int balance_ = 0;
    int filterBalance_ = 0;    // the balance in the open clip's filter text
    int preparedBalance_ = 0;  // the balance in the prepared clip's filter text
    bool fullScreen_ = false;
    int displayWidth_ = 2;
    int displayHeight_ = 23;
};

}  // namespace velmora
