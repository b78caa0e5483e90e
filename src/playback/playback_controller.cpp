#include "playback/playback_controller.h"

#include "settings/settings.h"

#include <QLoggingCategory>

#include <algorithm>
#include <climits>
#include <cmath>
#include <utility>
#include <vector>

Q_LOGGING_CATEGORY(lcPlayback, "velmora.playback", QtWarningMsg)

namespace velmora {

namespace {

bool isGroup(int deep) { return deep % 2 == 0; }

// Effective check state along a forward walk. The ancestors of an entry are
// the groups met walking back from it while keeping a running minimum of
// their nesting values; over the groups seen so far that chain is a stack of
// strictly rising nesting values, so each step costs O(log depth) instead of
// a walk back to the root.
class ForwardAncestors {
public:
    // The state after entries 1..index.
    ForwardAncestors(const ClipList& clips, int index)
    {
        int m = INT_MAX;
        for (int k = index; k >= 1; --k) {
            const int d = clips.deep(k);
            if (isGroup(d) && d < m) {
                groups_.push_back({d, clips.checked(k), 0});
                m = d;
            }
        }
        std::reverse(groups_.begin(), groups_.end());
        int unchecked = 0;
        for (Group& g : groups_)
            g.uncheckedUpTo = unchecked += g.checked ? 0 : 1;
    }

    // Whether entry c (the next one) is effectively checked; then takes it in.
    bool step(const ClipList& clips, int c)
    {
        const int d = clips.deep(c);
        const bool own = clips.checked(c);
        // Ancestors: the groups whose nesting value is below d.
        auto end = std::lower_bound(groups_.begin(), groups_.end(), d,
                                    [](const Group& g, int deep) { return g.deep < deep; });
        const bool hidden = end != groups_.begin() && std::prev(end)->uncheckedUpTo > 0;
        if (isGroup(d)) {
            groups_.erase(end, groups_.end());
            const int before = groups_.empty() ? 0 : groups_.back().uncheckedUpTo;
            groups_.push_back({d, own, before + (own ? 0 : 1)});
        }
        return own && !hidden;
    }

private:
    struct Group {
        int deep;
        bool checked;
        int uncheckedUpTo;  // unchecked groups in the stack up to this one
    };
    std::vector<Group> groups_;
};

}  // namespace

PlaybackController::PlaybackController(MediaEngine& engine, ClipList& clips, Settings& settings, PlaybackHost* host)
    : PlaybackController(engine, clips, settings, host, Options{})
{
}

PlaybackController::PlaybackController(MediaEngine& engine, ClipList& clips, Settings& settings, PlaybackHost* host,
                                       Options options)
    : engine_(engine), clips_(clips), settings_(settings), host_(host), options_(options)
{
    delayedStart_.setSingleShot(true);
    delayedStart_.setInterval(options_.beginDelay);
    connect(&delayedStart_, &QTimer::timeout, this, &PlaybackController::beginTick);
    nextCheck_.setSingleShot(true);
    // Coalesces bursts of edits (lengths arriving while a list is measured).
    nextCheck_.setInterval(50);
    connect(&nextCheck_, &QTimer::timeout, this, &PlaybackController::prepareNext);
    openTimeout_.setSingleShot(true);
    openTimeout_.setInterval(options_.openTimeout);
    connect(&openTimeout_, &QTimer::timeout, this, [this] {
        if (!opening_)
            return;
        qCDebug(lcPlayback) << "open timed out: entry" << opening_->index;
        engine_.setFileName(QString());  // cancel the load
        openFailed();
    });
}

// Cached walk state: the forward ancestor stack at a position, or the
// effective check state of every entry up to a position for walking back.
struct PlaybackController::WalkCache {
    Walk direction = Walk::Forward;
    int position = 0;  // last candidate handed out
    std::optional<ForwardAncestors> ancestors;
    std::vector<char> effective;  // [k] for entries 1..position (backward)
};

PlaybackController::~PlaybackController() = default;

void PlaybackController::OpenClip(int index, bool backwards)
{
    cueing_ = false;
    queued_ = Request{index, backwards, false};
    runRequests();
}

void PlaybackController::cueClip(int index)
{
    cueing_ = true;
    queued_ = Request{index, false, false};
    runRequests();
}

void PlaybackController::runRequests()
{
    if (running_)
        return;
    running_ = true;
    while (queued_ || walk_) {
        if (queued_) {
            const Request request = *queued_;
            queued_.reset();
            beginOpen(request);
            continue;
        }
        const WalkRequest walk = *walk_;
        walk_.reset();
        if (walk.direction == Walk::Forward)
            walkForward(walk);
        else
            walkBackward(walk);
    }
    cache_.reset();  // the table may change before the next call
    running_ = false;
}

void PlaybackController::beginOpen(const Request& request)
{
    if (request.index < 1 || request.index > clips_.count())
        return;
    if (opening_) {
        // A new open replaces the one in progress.
        openTimeout_.stop();
        opening_.reset();
    }
    if (engine_.hasClip() && engine_.state() == MediaEngine::kPlaying)
        engine_.stop();
    engine_.setDisplaySize(2, 23);
    if (host_)
        host_->parkVideoWindow();
    forgetPrepared();  // the engine drops it with the open
    opening_ = request;
    opening_->entry = clips_.entryId(request.index);
    answered_ = false;
    const QString path = clips_.path(request.index);
    inSetFileName_ = true;
    engine_.setFileName(path);
    inSetFileName_ = false;
    if (path.isEmpty() || !engine_.hasClip()) {
        openFailed();  // a group, or a path the engine refused at once
        return;
    }
    PlaybackState opening = state_;
    opening.phase = PlaybackState::Phase::Opening;
    setState(opening);
    if (answered_) {
        answered_ = false;
        onOpenComplete();
        return;
    }
    openTimeout_.start();
}

void PlaybackController::onOpenComplete()
{
    if (!opening_)
        return;
    if (inSetFileName_) {
        answered_ = true;  // handled when setFileName() returns
        return;
    }
    openTimeout_.stop();
    if (!engine_.hasClip())
        openFailed();
    else
        finishOpen();
}

// Where the entry being opened is now; 0 when it was removed meanwhile.
int PlaybackController::indexNow(const Request& request) const
{
    return request.entry != 0 ? clips_.indexOf(request.entry) : request.index;
}

void PlaybackController::openFailed()
{
    openTimeout_.stop();
    Request request = *opening_;
    opening_.reset();
    if (const int now = indexNow(request); now > 0)
        request.index = now;
    else
        request.index = std::min(request.index, clips_.count());
    qCDebug(lcPlayback) << "cannot open entry" << request.index;
    walk_ = WalkRequest{request.backwards ? Walk::Backward : Walk::Forward, request.index,
                        request.keepWalking, request.keepWalking, true};
    runRequests();
}

void PlaybackController::finishOpen()
{
    Request request = *opening_;
    opening_.reset();
    request.index = indexNow(request);
    if (request.index < 1) {
        // Removed while it opened: it does not play.
        qCDebug(lcPlayback) << "the entry went while it opened";
        engine_.setFileName(QString());
        enterIdle();
        return;
    }
    if (host_)
        host_->applyVolumeAndBalance();
    // The engine opens paused: a cued clip stays so, without a sound.
    const bool cue = std::exchange(cueing_, false);
    if (!cue)
        engine_.run();
    clips_.setCurrentIndex(request.index);
    PlaybackState playing;
    playing.phase = playing.shown = cue ? PlaybackState::Phase::Paused : PlaybackState::Phase::Playing;
    playing.entry = clips_.entryId(request.index);
    playing.clipText = clips_.text(request.index);
    playing.length = engine_.length();
    setState(playing);
    clips_.markCurrentRow();
    prepareNext();
    emit clipStarted(request.index);
}

void PlaybackController::forgetPrepared()
{
    prepared_ = 0;
    preparedPath_.clear();
}

// The entry the automatic NextClip from `from` would open: the next
// effectively checked file (groups fail to open and are walked over); 0 at
// the end of the list.
int PlaybackController::nextPlayable(int from) const
{
    ForwardAncestors ancestors(clips_, from);
    for (int c = from + 1; c <= clips_.count(); ++c) {
        if (ancestors.step(clips_, c) && !isGroup(clips_.deep(c)) && !clips_.path(c).isEmpty())
            return c;
    }
    return 0;
}

void PlaybackController::prepareNext()
{
    nextCheck_.stop();
    const bool autoNext = settings_.flag(keys::AutoNext);
    preparedAutoNext_ = autoNext;
    const int current = clips_.currentIndex();
    int next = 0;
    if (autoNext && !opening_ && current >= 1 && current <= clips_.count() && !engine_.fileName().isEmpty())
        next = nextPlayable(current);
    const std::uint64_t entry = next > 0 ? clips_.entryId(next) : 0;
    const QString path = next > 0 ? clips_.path(next) : QString();
    if (entry == prepared_ && path == preparedPath_)
        return;
    prepared_ = entry;
    preparedPath_ = path;
    engine_.setNextFileName(path);
}

void PlaybackController::nextMayHaveChanged()
{
    if (clips_.currentIndex() >= 1 && !nextCheck_.isActive())
        nextCheck_.start();
}

void PlaybackController::onTick()
{
    if (clips_.currentIndex() >= 1 && !opening_ && settings_.flag(keys::AutoNext) != preparedAutoNext_)
        prepareNext();
}

void PlaybackController::onMovedOn()
{
    const std::uint64_t entry = prepared_;
    forgetPrepared();
    if (entry == 0 || clips_.currentIndex() < 1)
        return;  // nothing was prepared any more: a report that came too late
    const int index = clips_.indexOf(entry);
    if (index < 1 || opening_ ||
        (nextCheck_.isActive() && nextPlayable(clips_.currentIndex()) != index)) {
        // The list changed in the moment of the move: go on as the end of
        // the clip would have.
        qCDebug(lcPlayback) << "the engine went on to an entry no longer next";
        NextClip(clips_.currentIndex());
        return;
    }
    // As NextClip's open would: out of full screen, the video window parked
    // (the host sizes it to the new clip), then the clip started.
    if (engine_.fullScreen()) {
        engine_.setFullScreen(false);
        if (host_)
            host_->showPointer();
    }
    if (host_)
        host_->parkVideoWindow();
    opening_ = Request{index, false, false, entry};
    finishOpen();
}

void PlaybackController::NextClip(int index, bool user)
{
    walk_ = WalkRequest{Walk::Forward, index, user, user};
    runRequests();
}

void PlaybackController::PreviousClip(int index)
{
    walk_ = WalkRequest{Walk::Backward, index, false, false};
    runRequests();
}

void PlaybackController::endOfList()
{
    enterIdle();
    if (settings_.flag(keys::AutoClose) && shellStarted_ && host_)
        host_->closeProgram();
}

void PlaybackController::walkForward(const WalkRequest& walk)
{
    const int count = clips_.count();
    const int index = std::max(walk.from, 0);  // nothing current: start at the top
    if (index >= count) {
        endOfList();
        return;
    }
    if (!walk.user && !settings_.flag(keys::AutoNext)) {
        // The end of a clip stays where it is, no longer playing (Play
        // starts it again); a failed open leaves nothing open, so the
        // transport must not stay lit.
        if (walk.afterFailedOpen)
            enterIdle();
        else
            showTransport(PlaybackState::Phase::Paused);
        return;
    }
    if (!cache_ || cache_->direction != Walk::Forward || cache_->position != index) {
        cache_ = std::make_unique<WalkCache>();
        cache_->ancestors.emplace(clips_, index);
    }
    for (int c = index + 1; c <= count; ++c) {
        if (cache_->ancestors->step(clips_, c)) {
            cache_->position = c;
            queued_ = Request{c, false, walk.keepWalking};
            return;
        }
    }
    endOfList();
}

void PlaybackController::walkBackward(const WalkRequest& walk)
{
    const int count = clips_.count();
    const int index = std::clamp(walk.from, 1, count + 1);
    if (!cache_ || cache_->direction != Walk::Backward || cache_->position != index) {
        // One forward pass gives the effective check state of entries 1..index-1.
        cache_ = std::make_unique<WalkCache>();
        cache_->direction = Walk::Backward;
        cache_->effective.assign(static_cast<size_t>(index), 0);
        ForwardAncestors ancestors(clips_, 0);
        for (int k = 1; k < index; ++k)
            cache_->effective[static_cast<size_t>(k)] = ancestors.step(clips_, k);
    }
    for (int c = index - 1; c >= 1; --c) {
        if (cache_->effective[static_cast<size_t>(c)]) {
            cache_->position = c;
            queued_ = Request{c, true, false};
            return;
        }
    }
    enterIdle();  // before the first entry; going back never closes
}

void PlaybackController::enterIdle()
{
    cueing_ = false;
    forgetPrepared();
    nextCheck_.stop();
    if (opening_) {
        openTimeout_.stop();
        opening_.reset();
    }
    queued_.reset();
    walk_.reset();
    clips_.setCurrentIndex(-1);
    clips_.markCurrentRow();  // the row that played loses its colour
    setState(PlaybackState{});
    if (engine_.hasClip()) {
        engine_.stop();
        engine_.setFileName(QString());
    }
    engine_.setDisplaySize(2, 23);
    if (host_)
        host_->parkVideoWindow();
    emit wentIdle();
}

void PlaybackController::setState(const PlaybackState& state)
{
    if (state == state_)
        return;
    state_ = state;
    emit stateChanged();
}

// Playing or paused; a clip opening meanwhile stays opening.
void PlaybackController::showTransport(PlaybackState::Phase shown)
{
    PlaybackState s = state_;
    s.shown = shown;
    if (s.phase != PlaybackState::Phase::Opening)
        s.phase = shown;
    setState(s);
}

// Play on a playing clip starts it again; on a paused one it resumes.
void PlaybackController::play()
{
    showTransport(PlaybackState::Phase::Playing);
    if (engine_.state() == MediaEngine::kPlaying)
        engine_.setPosition(0);
    else
        engine_.run();
}

void PlaybackController::pause()
{
    showTransport(PlaybackState::Phase::Paused);
    engine_.pause();
}

bool PlaybackController::press(TransportButton button)
{
    if (!state_.enabled(button))
        return false;
    switch (button) {
    case TransportButton::Play: play(); break;
    case TransportButton::Pause: pause(); break;
    case TransportButton::Stop: NextClip(clips_.count()); break;
    case TransportButton::Back:
        if (host_)
            host_->windBack();
        break;
    case TransportButton::Forward:
        if (host_)
            host_->windForward();
        break;
    case TransportButton::StepBack: PreviousClip(clips_.currentIndex()); break;
    case TransportButton::StepForward: NextClip(clips_.currentIndex(), true); break;
    }
    return true;
}

void PlaybackController::playPause()
{
    if (!state_.clipOpen())
        return;
    if (state_.playing()) {
        pause();
    } else {
        // Resumes where it stands (Play would start a clip the engine still
        // plays from the beginning).
        showTransport(PlaybackState::Phase::Playing);
        engine_.run();
    }
}

void PlaybackController::playFromStart()
{
    walk_ = WalkRequest{Walk::Forward, 1, true, true};
    runRequests();
}

void PlaybackController::startDelayed(int startIndex)
{
    startIndex_ = startIndex;
    delayedStart_.start();
}

void PlaybackController::beginTick()
{
    delayedStart_.stop();
    if (engine_.state() != MediaEngine::kNothingLoaded)
        return;
    playFrom(startIndex_);
}

void PlaybackController::playFrom(int startIndex)
{
    if (startIndex < 1 || startIndex > clips_.count())
        return;
    // The user asked for playback by adding files: a group (the root after
    // filling an empty list) walks on to the first playable entry, and
    // failures are skipped, whatever "AutoNext" says.
    if (isGroup(clips_.deep(startIndex)))
        walk_ = WalkRequest{Walk::Forward, startIndex, true, true};
    else
        queued_ = Request{startIndex, false, true};
    runRequests();
}

void PlaybackController::onPositionChange(double oldPosition, double newPosition)
{
    if (!(std::fabs(oldPosition - engine_.length()) < 0.01 && newPosition == 0.0))
        return;
    forgetPrepared();  // the engine did not go on to it
    if (engine_.fullScreen()) {
        // Leave full screen; no synthetic click (it would land on whatever
        // lies under it).
        engine_.setFullScreen(false);
        if (host_)
            host_->showPointer();
    }
    NextClip(clips_.currentIndex());
}

}  // namespace velmora
