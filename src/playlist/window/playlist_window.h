#pragma once
// PlaylistWindow: the behaviour of the playlist window on its skinned frame.
//
// It gives the model the form's row view (the list's rows, the scroll elements and the
// thumb), and it handles what the user does there: the edit buttons Minus,
// Up, Down and Untree on the selected row (only while the list focus flag
// is set), Plus, Save, scrolling by ScrollUp/ScrollDown, the thumb, the
// arrow keys at the list's edges and the mouse wheel, check boxes, double-
// click (or Enter) to play, Delete, the keys that move through the whole
// list (Home, End, PageUp, PageDown), label editing, the path tooltip and
// drops of files and folders. It owns the measuring timer (500 ms, off until startMeasuring()).
//
// Everything beyond the form and the model comes in through Hooks, so the
// window knows neither the controller nor the engine. Unset hooks are
// skipped. While the skin loader counts the list's rows (the list's
// measuring() flag) list clicks, keys, wheel turns and drops are ignored.
//
// Threading and lifetime: UI thread only. The form, the model and the
// settings must outlive this object; it attaches itself as the model's row
// view and detaches in its destructor. Nothing here blocks: the save dialog
// is window-modal and finishes through a continuation.

#include "playlist/window/playlist_form_rows.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <functional>

class QFileDialog;
class QKeyEvent;
class QMimeData;
class QWheelEvent;

namespace velmora {

class PlaylistForm;
class PlaylistModel;
class KeySink;
class Settings;
class TransImg;

class PlaylistWindow : public QObject {
    Q_OBJECT
public:
    struct Hooks {
        std::function<void(int index)> openEntry;  // the controller's OpenClip
        std::function<bool()> engineHasClip;       // the engine's file name is not empty
        KeySink* keys = nullptr;                   // keyboard commands (the list's own keys)
        std::function<void(bool)> setIgnoreKeys;   // held while a label is edited
        // Plus clicked; the window disables Plus itself, enablePlus() re-enables.
        std::function<void()> showAddForm;
        // Files are dragged over the list: what the first clip needs may
        // start loading before the drop.
        std::function<void()> clipsComing;
        // Adds dropped paths without reading the disk on the UI thread (files
        // as they are, folders as their own files, in drop order): `started`
        // runs before the first entry goes in, `finished` after the last.
        using Started = std::function<void()>;
        using Finished = std::function<void(int added)>;
        std::function<void(const QStringList& paths, Started, Finished)> addPaths;
    };

    PlaylistWindow(PlaylistForm& form, PlaylistModel& model, Settings& settings, Hooks hooks);
    ~PlaylistWindow() override;
    PlaylistWindow(const PlaylistWindow&) = delete;
    PlaylistWindow& operator=(const PlaylistWindow&) = delete;

    // Switches the measuring timer on (every addition calls it); it stays on.
    void startMeasuring();
    bool measuring() const { return measuringTimer_.isActive(); }
    // The add-files window closed: Plus can be pressed again.
    void enablePlus();
    // Set while the list has the keyboard focus; cleared by Minus, Untree
    // and an Up or Down that cannot move. The edit buttons need it.
    bool listFocus() const { return listFocus_; }

    // After a skin was applied: takes the list colours from the form and the
    // visible row count from the loader into the model and redraws the list.
    void skinApplied(int visibleRows);

    // --- The operations behind the handlers (also for tests and benches) --
    // Moves the view by `rows` (negative: up), kept within 0 ...
    // playlistCount - visibleRows; false when it could not move.
    bool scrollBy(int rows);
    // Adds dropped paths as a drop on the list does (files at top level,
    // folders by their own files), switches measuring on and starts
    // playing when the list was empty and AutoPlay allows.
    void addDroppedPaths(const QStringList& paths);
    // The local paths of a drop's text/uri-list, decoded; other URLs left out.
    static QStringList droppedLocalPaths(const QMimeData& data);
    // Writes the playlist to `path` (".pml" added when the name does not end
    // in it, in any case); false when it could not be written.
    bool saveTo(const QString& path);
    // The open save dialog, or null.
    QFileDialog* saveDialog() const;
    // The entry the selected row shows, or 0 when none is selected.
    int selectedEntry() const;
    // A label as typed, made fit to be an entry's text: line breaks become
    // blanks, and leading and trailing blanks (the list's indentation) go.
    static QString labelTextFromEdit(const QString& typed);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void droppedPathsAdded(bool filledAnEmptyList);
    void wireElements();
    void wireList();
    void unwireList();
    void pressMinus();
    void pressUntree();
    void pressMove(bool up);
    // Scrolls the entry into view and selects its row (clamped to the list).
    void showAndSelect(int index);
    // The Delete key: the selected entry with its subtree, whatever the focus flag.
    void removeSelected();
    void pressSave();
    void thumbPressed(int button, double y);
    void thumbMoved(int button, double y);
    bool listKeyPressed(QKeyEvent& event);
    bool wheelTurned(QWheelEvent& event);
    void copyCheckBoxes();
    QString pathTipAt(QPoint viewportPos) const;
    // Label editing: whether an edit of the row may start (not the root);
    // the typed label on commit; the end of every edit, committed or not.
    bool labelEditStarting(int row);
    void labelEditCommitted(const QString& typed);
    void labelEditEnded();
    int selectedRow() const;
    void selectRow(int row);
    bool listMeasuring() const;
    TransImg* element(const char* name) const;

    class LabelDelegate;
    friend class LabelDelegate;

    PlaylistForm& form_;
    PlaylistModel& model_;
    Settings& settings_;
    Hooks hooks_;
    PlaylistFormRows rows_;  // the model's row view: its rows go to the form
    QTimer measuringTimer_;
    bool listFocus_ = false;
    int clickedRow_ = 0;
    int thumbGrab_ = 0;
    int wheelRemainder_ = 0;  // angle delta not yet worth a row
    std::uint64_t editedEntry_ = 0;  // the entry whose label is being edited
    bool ignoringKeys_ = false;
    QPointer<QFileDialog> saveDialog_;
    LabelDelegate* labelDelegate_ = nullptr;  // installed on the list while this lives
};

}  // namespace velmora
