#pragma once
// PlaylistModel: the one playlist of the program, a flat table of entries in
// tree pre-order, with the current (playing) entry, the window onto it that
// the playlist window shows, and the background measuring of clip lengths.
//
// Indices: entry 1 is the root group "Все клипы" whenever the playlist is not
// empty; entries follow in display order up to playlistCount(). The tree is
// in the nesting values (PlaylistEntry::deep): odd for files, even for
// groups; the parent of an entry is the nearest preceding group with a
// smaller deep, its subtree the run of following entries with a greater one.
// Every operation keeps currentIndex() on the entry it designated.
//
// Threading and lifetime: UI thread only; owned by the application object.
// The row view, the length probe and the handlers are not owned and must
// outlive the model or be detached (set to null) first. Operations never
// block and never let events run; the only disk access is loading a
// ".pml" (addPath) and saving one (playlist_file.h).
//
// Notifications: after each operation (or at the end of the outermost
// Batch) the model refreshes the row view and then calls the change
// handlers once. The end-of-list handler runs last, after the table, the
// view and the handlers are up to date.

#include "base/playlist_colours.h"
#include "playlist/playlist_entry.h"
#include "playlist/playlist_row_view.h"

#include <QHash>
#include <QSet>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace velmora {

class LengthProbe;
struct FolderListing;

// What an operation changed, folded over a Batch.
struct PlaylistChange {
    bool structure = false;  // entries added, removed or moved (indices changed)
    bool content = false;    // text, checked state, nesting or time of entries
    bool current = false;    // currentIndex() changed
};

// Add path's optional arguments.
struct AddOptions {
    int nesting = 1;              // deep of the new file entry (odd)
    std::optional<QString> text;  // default: the path after its last "/" or "\" (empty without one)
    bool checked = true;

    // For call sites that set only some fields:
    // AddOptions::at(3).withText(name).withChecked(false).
    static AddOptions at(int nesting)
    {
        AddOptions o;
        o.nesting = nesting;
        return o;
    }
    AddOptions& withText(const QString& t)
    {
        text = t;
        return *this;
    }
    AddOptions& withChecked(bool c)
    {
        checked = c;
        return *this;
    }
};

class PlaylistModel {
public:
    struct Options {
        // Measurements handed to the probe at once; a result makes room for
        // the next, so rows scrolled into view are asked for soon.
        int maxMeasurementsInFlight = 16;
    };
    // Called when the playing entry was removed, with the position the
    // controller advances from (the new playlistCount(), its end-of-list
    // case). currentIndex() is already -1 then.
    using EndOfListHandler = std::function<void(int position)>;
    using ChangeHandler = std::function<void(const PlaylistChange&)>;

    PlaylistModel();
    explicit PlaylistModel(Options options);
    ~PlaylistModel();
    PlaylistModel(const PlaylistModel&) = delete;
    PlaylistModel& operator=(const PlaylistModel&) = delete;

    // --- Collaborators -----------------------------------------------------
    // The view Refresh writes to (null: none). Setting one rewrites it whole
    // at the next refresh().
    void setRowView(PlaylistRowView* view);
    // The prober for lengths; the model installs its result handler (null:
    // measuring pauses). Results must arrive on the UI thread; the model may
    // call request() from inside its result handler.
    void setLengthProbe(LengthProbe* probe);
    void setEndOfListHandler(EndOfListHandler handler);
    // Returns a handle for removeChangeHandler(). Handlers may call the model.
    int addChangeHandler(ChangeHandler handler);
    void removeChangeHandler(int handle);

    // --- Reading -----------------------------------------------------------
    // Highest used index: 0 when empty, else the entries including the root.
    int playlistCount() const { return static_cast<int>(slots_.size()) - 1; }
    bool isEmpty() const { return playlistCount() == 0; }
    // index 1 ... playlistCount().
    const PlaylistEntry& entry(int index) const { return slots_[static_cast<size_t>(index)].entry; }
    EntryId entryId(int index) const { return slots_[static_cast<size_t>(index)].id; }
    // The entry's index now, or 0 when it is gone.
    int indexOf(EntryId id) const;
    // The nearest enclosing group, 0 for the root. O(depth) after the first
    // call following a structural change.
    int parentOf(int index) const;
    // The first index after the entry's subtree (playlistCount() + 1 at the end).
    int subtreeEnd(int index) const;
    // The first index after what moves and goes with the entry: a group's
    // subtree, a file alone (deeper groups after a file are not its own).
    int blockEnd(int index) const;
    // True when the entry and every enclosing group are checked.
    bool effectiveChecked(int index) const;

    // --- View state (set by the playback controller, the skin loader and
    // the window; none of these refreshes by itself) -----------------------
    int currentIndex() const { return currentIndex_; }
    // -1 for none; an index outside 1 ... playlistCount() becomes -1.
    void setCurrentIndex(int index);
    int scrollOffset() const { return scrollOffset_; }
    // Clamped into 0 ... max(0, playlistCount() - visibleRows()).
    void setScrollOffset(int offset);
    int visibleRows() const { return visibleRows_; }
    void setVisibleRows(int rows);
    const PlaylistColours& colours() const { return colours_; }
    void setColours(const PlaylistColours& colours);

    // --- Changes -----------------------------------------------------------
    // Appended entries keep the table a tree whatever nesting is asked for:
    // a file's deep is made odd, a group's even, and neither goes deeper
    // than one level inside the deepest group still open at the end.
    //
    // Add path: a path whose last four characters are ".pml" in any case is
    // loaded as a playlist file (playlist_file.h) with the same arguments;
    // anything else becomes one file entry (time -1) after the root is
    // ensured. The path is stored as given. Returns the number of entries
    // added, the root included when it was created (0: nothing added).
    int addPath(const QString& path, const AddOptions& options = {});
    // Appends a group (path empty) after ensuring the root; returns its index.
    int appendGroup(const QString& text, int nesting, bool checked, std::int32_t time);
    // Appends a listed folder tree: the folder as a group (deep nesting + 1,
    // time -2, text = the folder's last name, or "/" for the root), then each
    // subfolder's tree at nesting + 2, then the folder's files at nesting + 2.
    // Returns the number of entries added.
    int appendFolderTree(const FolderListing& folder, int nesting = 1);
    // Removes a group with its subtree, or a file alone, in one pass, and
    // subtracts the removed time from every enclosing group; the root
    // empties the playlist. When the
    // playing entry goes, currentIndex() becomes -1 and the end-of-list
    // handler runs. scrollOffset() is clamped afterwards.
    void removeEntryWithSubtree(int index);
    // Exchange the entry's run (itself and the following entries nested
    // deeper, for a file too) with the previous / next run of equal deep
    // within the same group. Return the entry's new index, or nullopt
    // (nothing changed) when there is none on that side (always so for the
    // root).
    std::optional<int> moveUp(int index);
    std::optional<int> moveDown(int index);
    // Makes every file below the group its direct child and drops the
    // subgroups, in one pass; the group keeps its time. A file is left alone.
    void flattenGroup(int index);
    void setText(int index, const QString& text);
    void setChecked(int index, bool checked);

    // --- View --------------------------------------------------------------
    // Brings the view's rows, scroll elements and thumb in line with the
    // table; costs O(visibleRows()). Run by every change; call it after
    // changing the view state.
    void refresh();
    // Colours the shown rows by kind and the current entry's row with the
    // current colour; the controller runs it after setCurrentIndex().
    void markCurrentRow();
    // Forgets what the view shows, so that the next refresh() rewrites it
    // whole (after the view changed its rows itself).
    void invalidateView();

    // --- Measuring ---------------------------------------------------------
    // One sweep (the measuring timer's tick): asks the probe for entries
    // still at -1, shown rows first, then onward wrapping round; entries
    // already asked for are not asked again. Results land on the entry they
    // were asked for wherever it is by then (dropped when it is gone): its
    // time becomes the rounded seconds, or -2 for good when it cannot be
    // measured, and every enclosing group's total grows.
    void measurePendingDurations();
    int measurementsInFlight() const { return static_cast<int>(inFlight_.size()); }

    // Folds the refreshes and notifications of many changes into one, at the
    // end of the outermost batch. Use for bulk additions.
    class Batch {
    public:
        explicit Batch(PlaylistModel& model);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        PlaylistModel& model_;
    };

private:
    struct Slot {
        PlaylistEntry entry;
        EntryId id = 0;
        std::uint64_t stamp = 0;  // changes whenever the shown fields change
    };
    struct Shown {  // what the view shows now (invalid: -1 / 0)
        int rowCount = -1;
        std::vector<std::uint64_t> stamps;  // per row, index 0 unused
        std::vector<std::uint32_t> colours;
        std::optional<ScrollElements> scroll;
        std::optional<int> thumbTop;
    };

    enum class EntryKind { File, Group };

    // Appends after ensuring the root, without refreshing; the nesting is
    // made to fit the kind and the open groups. Returns the new index.
    int appendEntry(PlaylistEntry entry, EntryKind kind, int nesting);
    void appendFolderLevel(const FolderListing& folder, int nesting);
    void ensureRoot();
    void restamp(Slot& slot) { slot.stamp = nextStamp_++; }
    // Records a change; finishChange() refreshes and notifies once no batch
    // is open.
    void changed(PlaylistChange change);
    void finishChange();
    void clampScrollOffset();
    void invalidateIndex();
    void rebuildIndex() const;
    void indexAppended(int index) const;
    // Every enclosing group's total grows by seconds (a negative total
    // starts from 0) / shrinks by them (a negative one stays).
    void addToAncestors(int index, std::int32_t seconds);
    void subtractFromAncestors(int index, std::int32_t seconds);
    bool removeRange(int first, int end);
    void rotateBlocks(int first, int middle, int end);
    std::uint32_t rowColour(int index) const;
    PlaylistRow rowContent(int index) const;
    void onMeasured(std::uint64_t id, std::optional<double> seconds);
    void requestMore();
    void cancelMeasuring();

    Options options_;
    std::vector<Slot> slots_;  // slot 0 is never used
    EntryId nextId_ = 1;
    std::uint64_t nextStamp_ = 1;
    int currentIndex_ = -1;
    int scrollOffset_ = 0;
    int visibleRows_ = 0;
    PlaylistColours colours_;

    PlaylistRowView* view_ = nullptr;
    LengthProbe* probe_ = nullptr;
    EndOfListHandler endOfList_;
    std::vector<std::pair<int, ChangeHandler>> handlers_;
    int nextHandle_ = 1;

    int batchDepth_ = 0;
    PlaylistChange pending_;
    bool changePending_ = false;
    bool refreshPending_ = false;
    std::optional<int> endOfListPending_;

    // Derived index, rebuilt lazily after structural changes other than
    // appends: parents and id -> index.
    mutable bool indexValid_ = false;
    mutable std::vector<int> parent_;
    mutable std::vector<int> openGroups_;  // after the last indexed entry
    mutable QHash<EntryId, int> indexOfId_;

    // Measuring: entries handed to the probe, and the sweep's position.
    QSet<EntryId> inFlight_;
    int sweepStart_ = 0;  // scrollOffset() when the sweep began
    int sweepStep_ = 0;   // entries visited so far
    bool sweeping_ = false;
    bool requesting_ = false;

    Shown shown_;
};

}  // namespace velmora
