#include "mpris/track_list_mirror.h"

#include <algorithm>

namespace velmora::mpris {

TrackListUpdate TrackListMirror::update(const std::vector<TrackState>& now)
{
    TrackListUpdate out;
    const std::size_t oldSize = ids_.size();
    const std::size_t newSize = now.size();
    // 1. The unchanged run at the start and the one at the end.
    std::size_t head = 0;
    while (head < oldSize && head < newSize && ids_[head] == now[head].id)
        ++head;
    std::size_t tail = 0;
    while (tail < oldSize - head && tail < newSize - head && ids_[oldSize - 1 - tail] == now[newSize - 1 - tail].id)
        ++tail;
    const std::size_t removedCount = oldSize - head - tail;
    const std::size_t addedCount = newSize - head - tail;

    // 2. Between them: only additions, only removals, or a replacement.
    if (removedCount > 0 && addedCount > 0)
        out.replaced = true;
    else if (std::max(removedCount, addedCount) > kMaxSingleChanges)
        out.replaced = true;
    if (!out.replaced) {
        for (std::size_t i = head; i < head + removedCount; ++i)
            out.removed.push_back(ids_[i]);
        for (std::size_t i = head; i < head + addedCount; ++i)
            out.added.emplace_back(i == 0 ? 0 : now[i - 1].id, now[i].id);
        // 3. Entries kept whose shown contents changed.
        auto compare = [&](std::size_t oldAt, std::size_t newAt) {
            if (fingerprints_[oldAt] != now[newAt].fingerprint)
                out.metadataChanged.push_back(now[newAt].id);
        };
        for (std::size_t i = 0; i < head; ++i)
            compare(i, i);
        for (std::size_t i = 0; i < tail; ++i)
            compare(oldSize - 1 - i, newSize - 1 - i);
        if (out.metadataChanged.size() > kMaxMetadataChanges) {
            out = {};
            out.replaced = true;
        }
    }
    // 4. What is published now.
    ids_.resize(newSize);
    fingerprints_.resize(newSize);
    for (std::size_t i = 0; i < newSize; ++i) {
        ids_[i] = now[i].id;
        fingerprints_[i] = now[i].fingerprint;
    }
    return out;
}

}  // namespace velmora::mpris
