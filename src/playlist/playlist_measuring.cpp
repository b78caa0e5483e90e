// Measure pending durations: the sweep that fills the time column. The
// probe measures off the UI thread and answers here, on it, by entry
// identity; at most maxMeasurementsInFlight requests are out at once, and
// each answer lets the sweep hand out the next, so the rows shown when the
// sweep began are asked for first.

#include "playlist/playlist_model.h"

#include "base/reentrancy_guard.h"
#include "base/rounding.h"
#include "media/length_probe.h"
#include "playlist/playlist_log.h"

#include <cmath>

namespace velmora {

void PlaylistModel::measurePendingDurations()
{
    if (!probe_ || isEmpty())
        return;
    // 1. Shown rows first, then the rest, wrapping round.
    sweepStart_ = scrollOffset_;
    sweepStep_ = 0;
    sweeping_ = true;
    requestMore();
}

void PlaylistModel::requestMore()
{
    ReentrancyGuard guard(requesting_);  // a probe may answer from inside request()
    if (!guard.entered())
        return;
    while (sweeping_ && probe_ && measurementsInFlight() < options_.maxMeasurementsInFlight) {
        const int count = playlistCount();  // re-read: answers may change the table
        if (sweepStep_ >= count) {
            sweeping_ = false;
            break;
        }
        const int index = (sweepStart_ + sweepStep_) % count + 1;
        ++sweepStep_;
        const Slot& s = slots_[static_cast<size_t>(index)];
        if (s.entry.isGroup() || s.entry.time != kTimeUnmeasured || inFlight_.contains(s.id))
            continue;
        inFlight_.insert(s.id);
        probe_->request(s.id, s.entry.path);
    }
}

void PlaylistModel::onMeasured(std::uint64_t id, std::optional<double> seconds)
{
    if (!inFlight_.remove(id)) {
        qCDebug(lcPlaylist) << "measurement not asked for, dropped:" << id;
        return;
    }
    const int index = indexOf(id);
    if (index == 0) {
        qCDebug(lcPlaylist) << "measured entry is gone, dropped:" << id;
    } else if (entry(index).time == kTimeUnmeasured) {
        Slot& s = slots_[static_cast<size_t>(index)];
        if (!seconds || !std::isfinite(*seconds) || *seconds < 0) {
            // 3. Cannot be measured: an empty time cell for good.
            qCDebug(lcPlaylist) << "cannot measure" << s.entry.path;
            s.entry.time = kTimeUnmeasurable;
        } else {
            // 4. Whole seconds, halves to even, into every enclosing total.
            s.entry.time = roundHalfEven(*seconds);
            addToAncestors(index, s.entry.time);
        }
        restamp(s);
        changed({.content = true});
        finishChange();
    }
    requestMore();
}

void PlaylistModel::cancelMeasuring()
{
    if (probe_ && !inFlight_.isEmpty())
        probe_->cancelAll();
    inFlight_.clear();
    sweeping_ = false;
}

}  // namespace velmora
