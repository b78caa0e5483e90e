#include "media/mpv_engine.h"

#include "base/config_folder.h"
#include "base/file_name.h"
#include "media/media_log.h"
#include "media/video_outputs.h"

#include <QByteArray>
#include <QFileInfo>
#include <QMetaObject>

#include <mpv/client.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace velmora {

namespace {

// Reply tags: the open serial above the low bits, the kind of reply below.
constexpr int kTagBits = 4;
constexpr int kLoadReply = 1;
constexpr int kDurationReply = 2;
constexpr int kWidthReply = 3;
constexpr int kHeightReply = 4;
constexpr int kAppendReply = 5;
// Replies to appending the prepared clip carry prepareSerial_ instead.
constexpr std::uint64_t kPrepareTag = std::uint64_t(1) << 63;
// How long an end held back for a move to the prepared clip may wait.
constexpr int kMoveWaitMs = 1000;
// How long the balance must rest before the prepared clip is appended anew.
constexpr int kBalanceRestMs = 300;

// Ids of the observed properties.
constexpr std::uint64_t kObserveTimePos = 1;
constexpr std::uint64_t kObserveEofReached = 2;

// The label of the balance filter, addressed by af-command.
constexpr char kBalanceLabel[] = "balance";

// Engine volume v (hundredths of a dB, 0 loudest) means a linear gain of
// 10^(v/2000); libmpv's volume is cubic, gain = (volume/100)^3.
double mpvVolume(int hundredthsDb)
{
    return std::clamp(100.0 * std::pow(10.0, hundredthsDb / 6000.0), 0.0, 100.0);
}

// Balance b: left gain 10^(-max(0,b)/2000), right gain 10^(min(0,b)/2000).
// stereotools' balance_out c (balance mode) scales left by 1 - max(0,c) and
// right by 1 + min(0,c), so c = 1 - left gain for b > 0, right gain - 1 for b < 0.
double stereoToolsBalance(int hundredthsDb)
{
    if (hundredthsDb > 0)
        return 1.0 - std::pow(10.0, -hundredthsDb / 2000.0);
    if (hundredthsDb < 0)
        return std::pow(10.0, hundredthsDb / 2000.0) - 1.0;
    return 0.0;
}

QByteArray balanceText(int hundredthsDb)
{
    return QByteArray::number(stereoToolsBalance(hundredthsDb), 'f', 9);
}

// libmpv takes URLs as they are and everything else as a file path; relative
// paths are made absolute so that nothing in a file name reads as a protocol.
QByteArray mpvPath(const QString& path)
{
    const int scheme = path.indexOf(QLatin1String("://"));
    if (scheme > 1 && !path.left(scheme).contains(QLatin1Char('/')))
        return path.toUtf8();
    return fileNameBytes(QFileInfo(path).absoluteFilePath());
}

// The playlist entry id in a loadfile reply; -1 without one.
std::int64_t loadedEntry(const mpv_event& event)
{
    const auto* reply = static_cast<const mpv_event_command*>(event.data);
    if (!reply || reply->result.format != MPV_FORMAT_NODE_MAP)
        return -1;
    const mpv_node_list* map = reply->result.u.list;
    for (int i = 0; i < map->num; ++i) {
        if (std::strcmp(map->keys[i], "playlist_entry_id") == 0 && map->values[i].format == MPV_FORMAT_INT64)
            return map->values[i].u.int64;
    }
    return -1;
}

}  // namespace

MpvEngine::MpvEngine(MpvEngineOptions options, QObject* parent) : QObject(parent)
{
    tickTimer_.setInterval(std::max(10, options.tickIntervalMs));
    endCheck_.setSingleShot(true);
    endCheck_.setInterval(kMoveWaitMs);
    connect(&endCheck_, &QTimer::timeout, this, [this] {
        if (phase_ != Phase::Open)
            return;
        qCDebug(lcMedia) << "libmpv did not go on to the prepared clip";
        command({"stop"});
        clipGone();
    });
    balanceRefresh_.setSingleShot(true);
    balanceRefresh_.setInterval(kBalanceRestMs);
    connect(&balanceRefresh_, &QTimer::timeout, this, &MpvEngine::refreshPreparedBalance);
    connect(&tickTimer_, &QTimer::timeout, this, [this] {
        if (listener_)
            listener_->engineTick();
    });
    setUp(options);
}

MpvEngine::~MpvEngine()
{
    if (!mpv_)
        return;
    mpv_set_wakeup_callback(mpv_, nullptr, nullptr);
    mpv_terminate_destroy(mpv_);
}

void MpvEngine::setUp(const MpvEngineOptions& options)
{
    mpv_ = mpv_create();
    if (!mpv_) {
        qCDebug(lcMedia) << "libmpv did not start (is LC_NUMERIC \"C\"?)";
        return;
    }
    std::vector<std::pair<QByteArray, QByteArray>> settings = {
        {"config", "no"},  // the user's mpv.conf does not apply to this player
        {"terminal", "no"},
        {"idle", "yes"},
        {"keep-open", "yes"},
        {"force-window", "no"},
        {"pause", "yes"},
        {"input-default-bindings", "no"},
        {"input-vo-keyboard", "no"},
        {"input-cursor", "no"},
        // libmpv sees no pointer motion (input-cursor=no), so its auto-hide
        // would hide the pointer over the picture for good; the program
        // hides it itself in full screen.
        {"cursor-autohide", "no"},
        {"osc", "no"},
        {"osd-level", "0"},
        {"load-scripts", "no"},
        {"ytdl", "no"},
        {"load-stats-overlay", "no"},
        {"load-osd-console", "no"},
        {"load-auto-profiles", "no"},
        {"audio-display", "no"},  // cover art is not a picture to show
        {"sub-auto", "no"},
        {"hr-seek", "yes"},
        // A clip ends when the audio output has played it out. Only while a
        // following clip is prepared (setNextFileName) is gapless-audio on:
        // libmpv then goes on at the end of decoding and the output plays
        // the tail and the next clip without a break.
        {"gapless-audio", "no"},
        {"prefetch-playlist", "yes"},
        {"audio-client-name", kApplicationName},
        // A machine without a working sound device still plays (silently)
        // instead of refusing every clip.
        {"audio-fallback-to-null", "yes"},
        {"af", QByteArray("@") + kBalanceLabel + ":lavfi=[stereotools]"},
    };
    settings.emplace_back("vo", options.videoOutput.isEmpty() ? defaultVideoOutputs() : options.videoOutput.toUtf8());
    if (!options.audioOutput.isEmpty())
        settings.emplace_back("ao", options.audioOutput.toUtf8());
    if (!options.pcmFile.isEmpty()) {
        settings.emplace_back("ao-pcm-file", options.pcmFile.toUtf8());
        settings.emplace_back("ao-pcm-waveheader", "yes");
    }
    if (options.videoWindow != 0)
        settings.emplace_back("wid", QByteArray::number(qulonglong(options.videoWindow)));
    for (const auto& [name, value] : options.extraOptions)
        settings.emplace_back(name.toUtf8(), value.toUtf8());
    for (const auto& [name, value] : settings) {
        if (mpv_set_option_string(mpv_, name.constData(), value.constData()) < 0)
            qCDebug(lcMedia) << "libmpv refused option" << name << value;
    }
    if (lcMedia().isDebugEnabled())
        mpv_request_log_messages(mpv_, qEnvironmentVariableIsSet("VELMORA_MPV_LOG") ? "v" : "warn");
    if (mpv_initialize(mpv_) < 0) {
        qCDebug(lcMedia) << "libmpv failed to initialise";
        mpv_terminate_destroy(mpv_);
        mpv_ = nullptr;
        return;
    }
    mpv_observe_property(mpv_, kObserveTimePos, "time-pos", MPV_FORMAT_DOUBLE);
    mpv_observe_property(mpv_, kObserveEofReached, "eof-reached", MPV_FORMAT_FLAG);
    mpv_set_wakeup_callback(mpv_, &MpvEngine::wakeup, this);
}

void MpvEngine::wakeup(void* self)
{
    // Called on a libmpv thread: post only, never call into libmpv here.
    // Many wakeups fold into one queued drain.
    auto* engine = static_cast<MpvEngine*>(self);
    if (!engine->drainPosted_.exchange(true))
        QMetaObject::invokeMethod(engine, &MpvEngine::drainEvents, Qt::QueuedConnection);
}

void MpvEngine::drainEvents()
{
    drainPosted_ = false;
    // A listener called from handleEvent() may let events run and so drain
    // again; each event is read out completely before any listener call.
    while (mpv_) {
        const mpv_event* event = mpv_wait_event(mpv_, 0);
        if (event->event_id == MPV_EVENT_NONE)
            break;
        handleEvent(*event);
    }
}

void MpvEngine::handleEvent(const mpv_event& event)
{
    switch (event.event_id) {
    case MPV_EVENT_COMMAND_REPLY:
        if ((event.reply_userdata & kPrepareTag) != 0) {
            if (((event.reply_userdata & ~kPrepareTag) >> kTagBits) == prepareSerial_)
                onAppendReply(event.error, loadedEntry(event));
        } else if (isCurrent(event.reply_userdata) &&
                   (event.reply_userdata & ((1u << kTagBits) - 1)) == kLoadReply) {
            onLoadReply(event.error, loadedEntry(event));
        }
        break;
    case MPV_EVENT_START_FILE:
        startedEntry_ = static_cast<const mpv_event_start_file*>(event.data)->playlist_entry_id;
        onStartFile(startedEntry_);
        break;
    case MPV_EVENT_FILE_LOADED:
        if ((phase_ == Phase::Opening || phase_ == Phase::Moving) && wantedEntry_ != -1 && startedEntry_ == wantedEntry_)
            wantedLoaded_ = true;
        break;
    case MPV_EVENT_PLAYBACK_RESTART:
        onPlaybackRestart();
        break;
    case MPV_EVENT_GET_PROPERTY_REPLY:
        if (isCurrent(event.reply_userdata)) {
            const auto* property = static_cast<const mpv_event_property*>(event.data);
            const bool ok = event.error >= 0 && property && property->format != MPV_FORMAT_NONE;
            onQueryReply(int(event.reply_userdata & ((1u << kTagBits) - 1)), ok ? 0 : -1, ok ? property->data : nullptr);
        }
        break;
    case MPV_EVENT_END_FILE: {
        const auto* end = static_cast<const mpv_event_end_file*>(event.data);
        onEndFile(end->playlist_entry_id, end->reason);
        break;
    }
    case MPV_EVENT_PROPERTY_CHANGE: {
        const auto* property = static_cast<const mpv_event_property*>(event.data);
        if (event.reply_userdata == kObserveTimePos && property->format == MPV_FORMAT_DOUBLE) {
            if (phase_ == Phase::Open && !seekPending_ && !rewindPending_)
                position_ = std::max(0.0, *static_cast<const double*>(property->data));
        } else if (event.reply_userdata == kObserveEofReached && property->format == MPV_FORMAT_FLAG) {
            const bool eof = *static_cast<const int*>(property->data) != 0;
            if (eof && phase_ == Phase::Open && startedEntry_ == wantedEntry_)
                onEof();
            else if (phase_ == Phase::Moving && startedEntry_ == wantedEntry_)
                eofWhileMoving_ = eof;  // a short clip played out before it was ready
        }
        break;
    }
    case MPV_EVENT_LOG_MESSAGE: {
        const auto* message = static_cast<const mpv_event_log_message*>(event.data);
        qCDebug(lcMedia) << "libmpv" << message->prefix << QByteArray(message->text).trimmed();
        break;
    }
    case MPV_EVENT_SHUTDOWN:
        qCDebug(lcMedia) << "libmpv core shut down";
        coreGone_ = true;
        if (phase_ == Phase::Opening)
            failOpen();
        else if (phase_ == Phase::Moving)
            clipGone();
        break;
    default:
        break;
    }
}

std::uint64_t MpvEngine::tag(int kind) const
{
    return (openSerial_ << kTagBits) | std::uint64_t(kind);
}

bool MpvEngine::isCurrent(std::uint64_t replyTag) const
{
    return replyTag != 0 && (replyTag >> kTagBits) == openSerial_;
}

QString MpvEngine::balanceFilter() const
{
    return QStringLiteral("@%1:lavfi=[stereotools=balance_out=%2]")
        .arg(QLatin1String(kBalanceLabel), QString::fromLatin1(balanceText(balance_)));
}

void MpvEngine::command(std::initializer_list<const char*> args, std::uint64_t replyTag)
{
    if (!mpv_)
        return;
    std::vector<const char*> list(args);
    list.push_back(nullptr);
    mpv_command_async(mpv_, replyTag, list.data());
}

void MpvEngine::setFlag(const char* name, bool on)
{
    if (!mpv_)
        return;
    int flag = on ? 1 : 0;
    mpv_set_property_async(mpv_, 0, name, MPV_FORMAT_FLAG, &flag);
}

void MpvEngine::setFileName(const QString& path)
{
    // Whatever was prepared goes with the clip it was to follow (loadfile
    // replace and stop clear libmpv's playlist).
    endCheck_.stop();
    nextFileName_.clear();
    preparedEntry_ = -1;
    preparePending_ = false;
    ++prepareSerial_;
    movingFileName_.clear();
    setGapless(false);
    ++openSerial_;
    wantedEntry_ = -1;
    wantedLoaded_ = false;
    queriesSent_ = false;
    queriesLeft_ = 0;
    seekPending_ = false;
    rewindPending_ = false;
    run_ = Run::Stopped;
    position_ = 0;
    length_ = 0;
    updateTicking();

    if (path.isEmpty()) {
        phase_ = Phase::Empty;
        fileName_.clear();
        command({"stop"});
        return;
    }
    fileName_ = path;
    phase_ = Phase::Opening;
    if (!isValid()) {
        // Answer like any failed open: later, with the name read back empty.
        QMetaObject::invokeMethod(this, [this, serial = openSerial_] {
            if (serial == openSerial_ && phase_ == Phase::Opening)
                failOpen();
        }, Qt::QueuedConnection);
        return;
    }

    // Start paused. Pause is set for the player, not as a per-file option:
    // libmpv restores per-file options when the file ends, which would
    // pause the clip that follows it gaplessly.
    setFlag("pause", true);
    loadFile(path, "replace", tag(kLoadReply));
}

void MpvEngine::loadFile(const QString& path, const char* flags, std::uint64_t replyTag)
{
    // loadfile <url> <flags> with the balance filter as it is now.
    const QByteArray url = mpvPath(path);
    const QByteArray filter = balanceFilter().toUtf8();
    if (std::strcmp(flags, "append") == 0)
        preparedBalance_ = balance_;
    else
        filterBalance_ = balance_;
    mpv_node optionValue;
    char* optionKey = const_cast<char*>("af");
    optionValue.format = MPV_FORMAT_STRING;
    optionValue.u.string = const_cast<char*>(filter.constData());
    mpv_node_list options{1, &optionValue, &optionKey};
    mpv_node argValues[4];
    char* argKeys[4] = {const_cast<char*>("name"), const_cast<char*>("url"), const_cast<char*>("flags"),
                        const_cast<char*>("options")};
    argValues[0].format = MPV_FORMAT_STRING;
    argValues[0].u.string = const_cast<char*>("loadfile");
    argValues[1].format = MPV_FORMAT_STRING;
    argValues[1].u.string = const_cast<char*>(url.constData());
    argValues[2].format = MPV_FORMAT_STRING;
    argValues[2].u.string = const_cast<char*>(flags);
    argValues[3].format = MPV_FORMAT_NODE_MAP;
    argValues[3].u.list = &options;
    mpv_node_list args{4, argValues, argKeys};
    mpv_node request;
    request.format = MPV_FORMAT_NODE_MAP;
    request.u.list = &args;
    mpv_command_node_async(mpv_, replyTag, &request);
}

void MpvEngine::setNextFileName(const QString& path)
{
    if (path == nextFileName_)
        return;
    dropPrepared();
    nextFileName_ = path;
    // While the clip still opens, it is appended once the open completes.
    if (!path.isEmpty() && phase_ == Phase::Open && isValid())
        appendPrepared();
}

void MpvEngine::appendPrepared()
{
    ++prepareSerial_;
    preparePending_ = true;
    setGapless(true);
    loadFile(nextFileName_, "append", kPrepareTag | (prepareSerial_ << kTagBits) | kAppendReply);
}

void MpvEngine::dropPrepared()
{
    if (hasPrepared() && phase_ == Phase::Open)
        command({"playlist-clear"});  // everything but the open clip
    nextFileName_.clear();
    preparedEntry_ = -1;
    preparePending_ = false;
    ++prepareSerial_;
    setGapless(false);
}

void MpvEngine::onAppendReply(int error, std::int64_t entryId)
{
    if (!preparePending_)
        return;
    preparePending_ = false;
    if (error < 0 || entryId < 0) {
        // Nothing follows in libmpv's playlist: the clip ends as usual.
        qCDebug(lcMedia) << "append refused:" << mpv_error_string(error);
        setGapless(false);
        return;
    }
    preparedEntry_ = entryId;
}

void MpvEngine::setGapless(bool on)
{
    if (on == gapless_ || !mpv_)
        return;
    gapless_ = on;
    const char* value = on ? "yes" : "no";
    mpv_set_property_async(mpv_, 0, "gapless-audio", MPV_FORMAT_STRING, &value);
}

void MpvEngine::onStartFile(std::int64_t entryId)
{
    if (phase_ != Phase::Open)
        return;
    if (hasPrepared() && (entryId == preparedEntry_ || preparedEntry_ == -1)) {
        beginMove(entryId);
        return;
    }
    if (wantedEntry_ != -1 && entryId != wantedEntry_) {
        // libmpv went on to a clip dropped a moment too late: the open clip
        // has ended, and nothing else plays.
        command({"stop"});
        clipGone();
    }
}

void MpvEngine::beginMove(std::int64_t entryId)
{
    // The replies of the clip that ended are stale from here on.
    endCheck_.stop();
    ++openSerial_;
    wantedEntry_ = entryId;
    wantedLoaded_ = false;
    queriesSent_ = false;
    queriesLeft_ = 0;
    seekPending_ = false;
    rewindPending_ = false;
    movingFileName_ = nextFileName_;
    endedLength_ = length_;
    filterBalance_ = preparedBalance_;  // the new clip's filter was made at the append
    nextFileName_.clear();
    preparedEntry_ = -1;
    preparePending_ = false;
    ++prepareSerial_;
    phase_ = Phase::Moving;
    eofWhileMoving_ = false;
    updateTicking();
    // gapless-audio stays on until the new clip's audio runs: libmpv decides
    // then whether to keep the audio output.
    command({"playlist-clear"});  // the clip that ended leaves the playlist
}

void MpvEngine::onLoadReply(int error, std::int64_t entryId)
{
    if (phase_ != Phase::Opening)
        return;
    if (error < 0 || entryId < 0) {
        qCDebug(lcMedia) << "loadfile refused:" << mpv_error_string(error);
        failOpen();
        return;
    }
    wantedEntry_ = entryId;
}

void MpvEngine::onPlaybackRestart()
{
    if (phase_ == Phase::Opening || phase_ == Phase::Moving) {
        if (!wantedLoaded_ || queriesSent_)
            return;
        // The first frame is ready: ask for what the open reports. The
        // replies come back tagged with this open's serial.
        queriesSent_ = true;
        queriesLeft_ = 3;
        mpv_get_property_async(mpv_, tag(kDurationReply), "duration", MPV_FORMAT_DOUBLE);
        mpv_get_property_async(mpv_, tag(kWidthReply), "dwidth", MPV_FORMAT_INT64);
        mpv_get_property_async(mpv_, tag(kHeightReply), "dheight", MPV_FORMAT_INT64);
        return;
    }
    if (phase_ != Phase::Open)
        return;
    if (rewindPending_) {
        rewindPending_ = false;
        return;
    }
    if (seekPending_) {
        seekPending_ = false;
        const double from = seekFrom_, to = seekTo_;
        if (listener_)
            listener_->enginePositionChange(from, to);
    }
}

void MpvEngine::onQueryReply(int kind, int error, const void* data)
{
    if ((phase_ != Phase::Opening && phase_ != Phase::Moving) || queriesLeft_ <= 0)
        return;
    if (error == 0) {
        if (kind == kDurationReply)
            length_ = std::max(0.0, *static_cast<const double*>(data));
        else if (kind == kWidthReply && *static_cast<const std::int64_t*>(data) > 0)
            queriedWidth_ = int(*static_cast<const std::int64_t*>(data));
        else if (kind == kHeightReply && *static_cast<const std::int64_t*>(data) > 0)
            queriedHeight_ = int(*static_cast<const std::int64_t*>(data));
    }
    if (--queriesLeft_ == 0)
        finishOpen();
}

void MpvEngine::finishOpen()
{
    const bool moved = phase_ == Phase::Moving;
    if (moved) {
        // As an open would find it: the display as the host sets it before
        // each open, sized below by a picture.
        fileName_ = movingFileName_;
        movingFileName_.clear();
        displayWidth_ = 2;
        displayHeight_ = 23;
        position_ = 0;
    }
    // A picture sizes the display; without one it stays as the host set it.
    if (queriedWidth_ > 0 && queriedHeight_ > 0) {
        displayWidth_ = queriedWidth_;
        displayHeight_ = queriedHeight_;
    }
    queriedWidth_ = queriedHeight_ = 0;
    phase_ = Phase::Open;
    updateTicking();
    if (moved)
        setGapless(false);  // until a clip is prepared to follow this one
    if (!nextFileName_.isEmpty() && !hasPrepared() && isValid())
        appendPrepared();  // asked for while the clip opened
    const std::uint64_t serial = openSerial_;
    if (listener_) {
        if (moved)
            listener_->engineMovedOn();
        else
            listener_->engineOpenComplete();
    }
    if (moved && eofWhileMoving_ && serial == openSerial_ && phase_ == Phase::Open)
        onEof();
}

void MpvEngine::failOpen()
{
    fileName_.clear();
    phase_ = Phase::Empty;
    run_ = Run::Stopped;
    length_ = 0;
    position_ = 0;
    updateTicking();
    // A file that named other files (a playlist) must not go on playing them.
    command({"stop"});
    if (listener_)
        listener_->engineOpenComplete();
}

void MpvEngine::onEndFile(std::int64_t entryId, int reason)
{
    if (wantedEntry_ == -1 || entryId != wantedEntry_)
        return;  // an earlier clip, replaced
    if (phase_ == Phase::Moving) {
        // The prepared clip cannot be played: the clip before it has ended.
        qCDebug(lcMedia) << "prepared clip failed:" << movingFileName_ << "reason" << reason;
        clipGone();
        return;
    }
    if (phase_ == Phase::Opening) {
        qCDebug(lcMedia) << "open failed:" << fileName_ << "reason" << reason;
        failOpen();
        return;
    }
    if (phase_ != Phase::Open)
        return;
    if (hasPrepared() && reason != MPV_END_FILE_REASON_STOP && reason != MPV_END_FILE_REASON_QUIT) {
        // libmpv goes on to the prepared clip; its start follows.
        endCheck_.start();
        return;
    }
    // The clip went away while open (a read error): it has ended.
    qCDebug(lcMedia) << "clip ended by libmpv:" << fileName_ << "reason" << reason;
    clipGone();
}

void MpvEngine::clipGone()
{
    const double end = phase_ == Phase::Moving ? endedLength_ : length_;
    endCheck_.stop();
    dropPrepared();
    length_ = end;
    fileName_.clear();
    movingFileName_.clear();
    phase_ = Phase::Empty;
    run_ = Run::Stopped;
    position_ = 0;
    updateTicking();
    if (listener_)
        listener_->enginePositionChange(end, 0);
}

void MpvEngine::onEof()
{
    // With a prepared clip in its playlist libmpv goes on to it; the end is
    // held back in case it does not.
    if (preparedEntry_ != -1)
        endCheck_.start();
    else
        onEndReached();
}

void MpvEngine::onEndReached()
{
    endCheck_.stop();
    dropPrepared();
    // keep-open holds the clip paused at its end; rewind it so that run()
    // plays it again from the start, and report the end as (length, 0).
    run_ = Run::Stopped;
    seekPending_ = false;
    updateTicking();
    rewindQuietly();
    if (listener_)
        listener_->enginePositionChange(length_, 0);
}

void MpvEngine::rewindQuietly()
{
    keepBalanceThroughSeek();
    position_ = 0;
    rewindPending_ = true;
    setFlag("pause", true);
    command({"seek", "0", "absolute+exact"});
}

void MpvEngine::updateTicking()
{
    const bool ticking = phase_ == Phase::Open && run_ == Run::Playing;
    if (ticking && !tickTimer_.isActive())
        tickTimer_.start();
    else if (!ticking)
        tickTimer_.stop();
}

void MpvEngine::run()
{
    if (phase_ == Phase::Empty)
        return;
    run_ = Run::Playing;
    setFlag("pause", false);
    updateTicking();
}

void MpvEngine::pause()
{
    if (phase_ == Phase::Empty)
        return;
    run_ = Run::Paused;
    setFlag("pause", true);
    updateTicking();
}

void MpvEngine::stop()
{
    if (phase_ == Phase::Empty)
        return;
    run_ = Run::Stopped;
    updateTicking();
    if (phase_ == Phase::Open) {
        seekPending_ = false;
        rewindQuietly();
    } else {
        setFlag("pause", true);
    }
}

int MpvEngine::state() const
{
    if (phase_ == Phase::Empty)
        return kNothingLoaded;
    switch (run_) {
    case Run::Playing:
        return kPlaying;
    case Run::Paused:
        return kPaused;
    case Run::Stopped:
        break;
    }
    return kStopped;
}

void MpvEngine::setPosition(double seconds)
{
    if (phase_ != Phase::Open)
        return;
    seconds = std::max(0.0, seconds);
    if (!seekPending_)
        seekFrom_ = position_;
    seekTo_ = seconds;
    seekPending_ = true;
    rewindPending_ = false;
    position_ = seconds;
    keepBalanceThroughSeek();
    const QByteArray target = QByteArray::number(seconds, 'f', 6);
    command({"seek", target.constData(), "absolute+exact"});
}

void MpvEngine::setVolume(int hundredthsDb)
{
    volume_ = hundredthsDb;
    if (!mpv_)
        return;
    double volume = mpvVolume(hundredthsDb);
    mpv_set_property_async(mpv_, 0, "volume", MPV_FORMAT_DOUBLE, &volume);
}

void MpvEngine::setBalance(int hundredthsDb)
{
    balance_ = hundredthsDb;
    if (!mpv_ || phase_ == Phase::Empty)
        return;  // the next open starts with it
    if (phase_ == Phase::Opening) {
        // Nothing has been heard yet: replace the filter itself.
        setBalanceFilter();
        return;
    }
    // Change the running filter in place, so that a moving knob does not
    // rebuild the filter chain (which would crackle).
    const QByteArray value = balanceText(hundredthsDb);
    command({"af-command", kBalanceLabel, "balance_out", value.constData()});
    if (hasPrepared())
        balanceRefresh_.start();
}

// The prepared clip starts with the filter text it was appended with; once
// the knob rests, it is appended again with the balance as it is now, so
// that the move to it does not bring back the old balance for a moment.
void MpvEngine::refreshPreparedBalance()
{
    if (phase_ != Phase::Open || !hasPrepared() || preparedBalance_ == balance_ || !isValid())
        return;
    const QString next = nextFileName_;
    dropPrepared();
    nextFileName_ = next;
    appendPrepared();
}

void MpvEngine::setBalanceFilter()
{
    filterBalance_ = balance_;
    const QByteArray filter = balanceFilter().toUtf8();
    const char* text = filter.constData();
    mpv_set_property_async(mpv_, 0, "af", MPV_FORMAT_STRING, &text);
}

// A seek resets libmpv's lavfi filters, which then start again from their
// filter text: a balance changed in place since the text was written would
// fall back to the old one. The seek breaks the sound anyway, so the text
// is brought up to date just before it.
void MpvEngine::keepBalanceThroughSeek()
{
    if (mpv_ && filterBalance_ != balance_)
        setBalanceFilter();
}

void MpvEngine::setFullScreen(bool on)
{
    if (on == fullScreen_)
        return;
    fullScreen_ = on;
    if (fullScreenHandler_)
        fullScreenHandler_(on);
}

void MpvEngine::setDisplaySize(int width, int height)
{
    displayWidth_ = width;
    displayHeight_ = height;
}

void MpvEngine::setVideoWindow(std::uintptr_t windowId)
{
    if (!mpv_)
        return;
    auto id = std::int64_t(windowId);
    mpv_set_property_async(mpv_, 0, "wid", MPV_FORMAT_INT64, &id);
}

}  // namespace velmora
