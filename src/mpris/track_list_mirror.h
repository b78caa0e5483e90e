#pragma once
// TrackListMirror: the playlist as the desktop was last told it, and what
// to tell it after changes: a few tracks added, removed or changed are
// sent one by one; anything larger (a folder of 10,000 files, a move, a
// removed group) as one replacement of the whole list. Plain data.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velmora::mpris {

// One entry now: its identity and a fingerprint of what the desktop shows
// of it (title, file, length).
struct TrackState {
    std::uint64_t id = 0;
    std::size_t fingerprint = 0;
};

struct TrackListUpdate {
    bool replaced = false;  // send the whole list; nothing else below is set
    // (after, id): id added after the entry `after` (0: at the start).
    std::vector<std::pair<std::uint64_t, std::uint64_t>> added;
    std::vector<std::uint64_t> removed;
    std::vector<std::uint64_t> metadataChanged;
    bool empty() const { return !replaced && added.empty() && removed.empty() && metadataChanged.empty(); }
};

class TrackListMirror {
public:
    // More tracks added or removed than this are sent as a replacement, and
    // so are more retitled or measured ones than kMaxMetadataChanges (each
    // of those is a small signal: lengths arrive by the hundred).
    static constexpr std::size_t kMaxSingleChanges = 16;
    static constexpr std::size_t kMaxMetadataChanges = 256;

    const std::vector<std::uint64_t>& ids() const { return ids_; }

    // Compares now with the list last published, publishes now, and says
    // what changed. O(size of both lists).
    TrackListUpdate update(const std::vector<TrackState>& now);

private:
    std::vector<std::uint64_t> ids_;
    std::vector<std::size_t> fingerprints_;
};

}  // namespace velmora::mpris
