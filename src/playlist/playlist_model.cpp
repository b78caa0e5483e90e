#include "playlist/playlist_model.h"

#include "playlist/entry_location.h"

#include "media/length_probe.h"
#include "playlist/folder_listing.h"
#include "playlist/list_files.h"
#include "playlist/playlist_log.h"

#include <algorithm>
#include <limits>

namespace velmora {

namespace {

// The deepest group still open after an entry: the entry itself when it is
// a group, else its parent's level.
int openLevelAfter(const PlaylistEntry& e) { return e.isGroup() ? e.deep : e.deep - 1; }

std::int32_t saturatedSum(std::int64_t a, std::int64_t b)
{
    const std::int64_t s = a + b;
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(s, 0, std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

PlaylistModel::PlaylistModel() : PlaylistModel(Options{}) {}

PlaylistModel::PlaylistModel(Options options) : options_(options)
{
    options_.maxMeasurementsInFlight = std::max(1, options_.maxMeasurementsInFlight);
    slots_.resize(1);  // slot 0 is never used
}

PlaylistModel::~PlaylistModel()
{
    if (probe_) {
        probe_->setResultHandler([](std::uint64_t, std::optional<double>) {});
        probe_->cancelAll();
    }
}

// --- Collaborators ----------------------------------------------------------

void PlaylistModel::setRowView(PlaylistRowView* view)
{
    view_ = view;
    invalidateView();
}

void PlaylistModel::setLengthProbe(LengthProbe* probe)
{
    if (probe_ == probe)
        return;
    if (probe_) {
        probe_->setResultHandler([](std::uint64_t, std::optional<double>) {});
        probe_->cancelAll();
    }
    inFlight_.clear();
    sweeping_ = false;
    probe_ = probe;
    if (probe_)
        probe_->setResultHandler([this](std::uint64_t id, std::optional<double> seconds) { onMeasured(id, seconds); });
}

void PlaylistModel::setEndOfListHandler(EndOfListHandler handler) { endOfList_ = std::move(handler); }

int PlaylistModel::addChangeHandler(ChangeHandler handler)
{
    handlers_.emplace_back(nextHandle_, std::move(handler));
    return nextHandle_++;
}

void PlaylistModel::removeChangeHandler(int handle)
{
    std::erase_if(handlers_, [handle](const auto& h) { return h.first == handle; });
}

// --- Derived index ------------------------------------------------------------

void PlaylistModel::invalidateIndex()
{
    indexValid_ = false;
}

void PlaylistModel::rebuildIndex() const
{
    const int count = playlistCount();
    parent_.assign(static_cast<size_t>(count) + 1, 0);
    openGroups_.clear();
    indexOfId_.clear();
    indexOfId_.reserve(count);
    indexValid_ = true;
    for (int i = 1; i <= count; ++i)
        indexAppended(i);
}

// Continues the index over entry i, the next one after those indexed. The
// open groups form a stack of rising deep; an entry closes every group that
// is not shallower than itself.
void PlaylistModel::indexAppended(int i) const
{
    const Slot& s = slots_[static_cast<size_t>(i)];
    while (!openGroups_.empty() && slots_[static_cast<size_t>(openGroups_.back())].entry.deep >= s.entry.deep)
        openGroups_.pop_back();
    if (parent_.size() <= static_cast<size_t>(i))
        parent_.resize(static_cast<size_t>(i) + 1, 0);
    parent_[static_cast<size_t>(i)] = openGroups_.empty() ? 0 : openGroups_.back();
    if (s.entry.isGroup())
        openGroups_.push_back(i);
    indexOfId_.insert(s.id, i);
}

int PlaylistModel::indexOf(EntryId id) const
{
    if (!indexValid_)
        rebuildIndex();
    return indexOfId_.value(id, 0);
}

int PlaylistModel::parentOf(int index) const
{
    if (index < 1 || index > playlistCount())
        return 0;
    if (!indexValid_)
        rebuildIndex();
    return parent_[static_cast<size_t>(index)];
}

int PlaylistModel::subtreeEnd(int index) const
{
    const int count = playlistCount();
    const std::int16_t d = entry(index).deep;
    int end = index + 1;
    while (end <= count && entry(end).deep > d)
        ++end;
    return end;
}

int PlaylistModel::blockEnd(int index) const
{
    return entry(index).isFile() ? index + 1 : subtreeEnd(index);
}

bool PlaylistModel::effectiveChecked(int index) const
{
    if (index < 1 || index > playlistCount())
        return false;
    for (int i = index; i != 0; i = parentOf(i)) {
        if (!entry(i).checked)
            return false;
    }
    return true;
}

// --- View state ---------------------------------------------------------------

void PlaylistModel::setCurrentIndex(int index)
{
    if (index < 1 || index > playlistCount())
        index = -1;
    if (index == currentIndex_)
        return;
    currentIndex_ = index;
    changed({.current = true});
    finishChange();
}

void PlaylistModel::setScrollOffset(int offset)
{
    scrollOffset_ = offset;
    clampScrollOffset();
}

void PlaylistModel::setVisibleRows(int rows)
{
    visibleRows_ = std::max(0, rows);
    clampScrollOffset();
}

void PlaylistModel::setColours(const PlaylistColours& colours) { colours_ = colours; }

void PlaylistModel::clampScrollOffset()
{
    scrollOffset_ = std::clamp(scrollOffset_, 0, std::max(0, playlistCount() - visibleRows_));
}

// --- Notifications --------------------------------------------------------------

void PlaylistModel::changed(PlaylistChange change)
{
    pending_.structure |= change.structure;
    pending_.content |= change.content;
    pending_.current |= change.current;
    changePending_ = true;
    if (change.structure || change.content)
        refreshPending_ = true;
}

void PlaylistModel::finishChange()
{
    if (batchDepth_ > 0)
        return;
    if (refreshPending_) {
        refreshPending_ = false;
        refresh();
    }
    if (changePending_) {
        const PlaylistChange change = pending_;
        pending_ = {};
        changePending_ = false;
        const auto handlers = handlers_;  // a handler may add or remove handlers
        for (const auto& h : handlers)
            h.second(change);
    }
    if (endOfListPending_) {
        const int position = *endOfListPending_;
        endOfListPending_.reset();
        if (endOfList_)
            endOfList_(position);
    }
}

PlaylistModel::Batch::Batch(PlaylistModel& model) : model_(model) { ++model_.batchDepth_; }

PlaylistModel::Batch::~Batch()
{
    --model_.batchDepth_;
    model_.finishChange();
}

// --- Adding ---------------------------------------------------------------------

void PlaylistModel::ensureRoot()
{
    if (!isEmpty())
        return;
    PlaylistEntry root;
    root.text = rootGroupText();
    root.time = 0;
    root.checked = true;
    root.deep = 0;
    Slot s{std::move(root), nextId_++, nextStamp_++};
    slots_.push_back(std::move(s));
    if (indexValid_)
        indexAppended(1);
    changed({.structure = true});
}

int PlaylistModel::appendEntry(PlaylistEntry e, EntryKind kind, int nesting)
{
    ensureRoot();
    // Keep the table a tree whatever the caller asks: kinds by parity, a file
    // directly inside an open group, a group at most one level below the
    // deepest open one.
    const int open = openLevelAfter(slots_.back().entry);
    int d = std::clamp(nesting, -1, kMaxFileDeep + 1);
    if (kind == EntryKind::File) {
        if (d % 2 == 0)
            d -= 1;
        d = std::clamp(d, 1, std::min(open + 1, int{kMaxFileDeep}));
    } else {
        if (d % 2 != 0)
            d += 1;
        d = std::clamp(d, 2, std::min(open + 2, int{kMaxGroupDeep}));
    }
    e.deep = static_cast<std::int16_t>(d);
    slots_.push_back(Slot{std::move(e), nextId_++, nextStamp_++});
    const int index = playlistCount();
    if (indexValid_)
        indexAppended(index);
    changed({.structure = true});
    return index;
}

int PlaylistModel::addPath(const QString& path, const AddOptions& options)
{
    const bool stream = isStreamUrl(path);
    if (!stream && isListFilePath(path))
        return loadListFile(*this, path, options);
    PlaylistEntry e;
    e.text = options.text ? *options.text : stream ? path : entryTextForPath(path);
    e.path = path;
    // A stream has no length to measure: its time cell stays empty.
    e.time = stream ? kTimeUnmeasurable : kTimeUnmeasured;
    e.checked = options.checked;
    const int before = playlistCount();
    appendEntry(std::move(e), EntryKind::File, options.nesting);
    const int added = playlistCount() - before;
    finishChange();
    return added;
}

int PlaylistModel::appendGroup(const QString& text, int nesting, bool checked, std::int32_t time)
{
    PlaylistEntry e;
    e.text = text;
    e.time = time;
    e.checked = checked;
    const int index = appendEntry(std::move(e), EntryKind::Group, nesting);
    finishChange();
    return index;
}

int PlaylistModel::appendFolderTree(const FolderListing& folder, int nesting)
{
    Batch batch(*this);
    const int before = playlistCount();
    appendFolderLevel(folder, std::clamp(nesting, 1, int{kMaxFileDeep}));
    return playlistCount() - before;
}

void PlaylistModel::appendFolderLevel(const FolderListing& folder, int nesting)
{
    QString name = folder.path;
    while (name.size() > 1 && name.endsWith(QLatin1Char('/')))
        name.chop(1);
    const QString prefix = name.endsWith(QLatin1Char('/')) ? name : name + QLatin1Char('/');
    if (name != QLatin1String("/"))
        name = entryTextForPath(name);
    const int group = appendGroup(name, nesting + 1, true, kTimeUnmeasurable);
    // Nested as deep as the table allows; past that the levels stay flat.
    const int inner = entry(group).deep + 1;
    for (const FolderListing& sub : folder.subfolders)
        appendFolderLevel(sub, inner);
    for (const QString& file : folder.files)
        addPath(prefix + file, AddOptions::at(inner));
}

// --- Removing and moving ----------------------------------------------------------

void PlaylistModel::addToAncestors(int index, std::int32_t seconds)
{
    for (int p = parentOf(index); p != 0; p = parentOf(p)) {
        Slot& s = slots_[static_cast<size_t>(p)];
        // A folder group waits at -2 for its first measured file.
        s.entry.time = saturatedSum(std::max(0, s.entry.time), seconds);
        restamp(s);
    }
}

void PlaylistModel::subtractFromAncestors(int index, std::int32_t seconds)
{
    for (int p = parentOf(index); p != 0; p = parentOf(p)) {
        Slot& s = slots_[static_cast<size_t>(p)];
        if (s.entry.time < 0)
            continue;
        s.entry.time = saturatedSum(s.entry.time, -std::int64_t{seconds});
        restamp(s);
    }
}

// Removes entries [first, end) and moves currentIndex along; true when the
// current entry was among them.
bool PlaylistModel::removeRange(int first, int end)
{
    bool removedCurrent = false;
    if (currentIndex_ >= first && currentIndex_ < end) {
        currentIndex_ = -1;
        removedCurrent = true;
        changed({.current = true});
    } else if (currentIndex_ >= end) {
        currentIndex_ -= end - first;
        changed({.current = true});
    }
    slots_.erase(slots_.begin() + first, slots_.begin() + end);
    invalidateIndex();
    changed({.structure = true});
    return removedCurrent;
}

void PlaylistModel::removeEntryWithSubtree(int index)
{
    if (index < 1 || index > playlistCount())
        return;
    const PlaylistEntry& e = entry(index);
    // A file takes only itself; a group its whole subtree.
    const int end = blockEnd(index);
    if (e.time > 0)
        subtractFromAncestors(index, e.time);
    const bool removedCurrent = removeRange(index, end);
    if (isEmpty())
        cancelMeasuring();
    clampScrollOffset();
    if (removedCurrent)
        endOfListPending_ = playlistCount();
    finishChange();
}

void PlaylistModel::rotateBlocks(int first, int middle, int end)
{
    std::rotate(slots_.begin() + first, slots_.begin() + middle, slots_.begin() + end);
    if (currentIndex_ >= first && currentIndex_ < middle) {
        currentIndex_ += end - middle;
        changed({.current = true});
    } else if (currentIndex_ >= middle && currentIndex_ < end) {
        currentIndex_ -= middle - first;
        changed({.current = true});
    }
    invalidateIndex();
    changed({.structure = true});
}

std::optional<int> PlaylistModel::moveDown(int index)
{
    if (index <= 1 || index > playlistCount())
        return std::nullopt;
    // The entry moves as its block (a file alone); the sibling it passes
    // keeps everything below it, as moving up passes it.
    const int a = blockEnd(index);
    if (a > playlistCount() || entry(a).deep != entry(index).deep)
        return std::nullopt;
    const int b = subtreeEnd(a);
    rotateBlocks(index, a, b);
    finishChange();
    return index + (b - a);
}

std::optional<int> PlaylistModel::moveUp(int index)
{
    if (index <= 1 || index > playlistCount())
        return std::nullopt;
    const std::int16_t d = entry(index).deep;
    int n = index - 1;
    while (n > 1 && entry(n).deep > d)
        --n;
    if (entry(n).deep != d)
        return std::nullopt;
    rotateBlocks(n, index, blockEnd(index));
    finishChange();
    return n;
}

void PlaylistModel::flattenGroup(int index)
{
    if (index < 1 || index > playlistCount() || entry(index).isFile())
        return;
    const std::int16_t fileDeep = static_cast<std::int16_t>(entry(index).deep + 1);
    const int end = subtreeEnd(index);
    // One pass: files slide down over the dropped groups.
    int write = index + 1;
    int newCurrent = currentIndex_;
    bool removedCurrent = false;
    for (int read = index + 1; read < end; ++read) {
        Slot& s = slots_[static_cast<size_t>(read)];
        if (s.entry.isGroup()) {
            if (read == currentIndex_)
                removedCurrent = true;
            continue;
        }
        if (read == currentIndex_)
            newCurrent = write;
        if (s.entry.deep != fileDeep) {
            s.entry.deep = fileDeep;
            restamp(s);
        }
        if (write != read)
            slots_[static_cast<size_t>(write)] = std::move(s);
        ++write;
    }
    if (write == end)
        return;  // no subgroups, so every file already sat directly inside
    slots_.erase(slots_.begin() + write, slots_.begin() + end);
    if (removedCurrent)
        newCurrent = -1;
    else if (currentIndex_ >= end)
        newCurrent = currentIndex_ - (end - write);
    if (newCurrent != currentIndex_) {
        currentIndex_ = newCurrent;
        changed({.current = true});
    }
    invalidateIndex();
    clampScrollOffset();
    changed({.structure = true});
    if (removedCurrent)
        endOfListPending_ = playlistCount();
    finishChange();
}

void PlaylistModel::setText(int index, const QString& text)
{
    if (index < 1 || index > playlistCount())
        return;
    Slot& s = slots_[static_cast<size_t>(index)];
    if (s.entry.text == text)
        return;
    s.entry.text = text;
    restamp(s);
    changed({.content = true});
    finishChange();
}

void PlaylistModel::setChecked(int index, bool checked)
{
    if (index < 1 || index > playlistCount())
        return;
    Slot& s = slots_[static_cast<size_t>(index)];
    if (s.entry.checked == checked)
        return;
    s.entry.checked = checked;
    restamp(s);
    changed({.content = true});
    finishChange();
}

}  // namespace velmora
