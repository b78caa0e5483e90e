#pragma once
// PlaylistWiring: the list's half of the program, built after the playing
// half. In order: the adding sinks and the folder walker, the playlist
// window, the add-files window (made on Plus), the command handler and the
// list of the last run. Each takes references only to what is built before
// it; the adding ends first, so no walk reports into a window that is gone.
// UI thread only.

#include "app/command_handler.h"
#include "app/last_list.h"
#include "playlist/adding/folder_walker.h"

#include <QObject>
#include <QPointer>

#include <memory>

namespace velmora {

class AddForm;
class CommandSink;
class FileFilter;
class MediaModule;
class PlaybackWiring;
class PlaylistModel;
class PlaylistModelSink;
class PlaylistWindow;
class Settings;

class PlaylistWiring : public QObject {
    Q_OBJECT
public:
    struct Parts {
        Settings& settings;
        PlaylistModel& playlist;
        MediaModule& media;
        PlaybackWiring& playback;
        const FileFilter& accepted;  // the media files' pattern, as it changes
        QString lastListFile;
    };

    explicit PlaylistWiring(Parts parts);
    ~PlaylistWiring() override;

    PlaylistWindow& window() { return *window_; }
    CommandHandler& commands() { return *commands_; }
    LastList& lastList() { return *lastList_; }
    FolderWalker& walker() { return walker_; }
    // Opens an entry as a double click on its row does (the root plays
    // from the start).
    void openEntry(int index);
    // The media files' pattern changed: an open add-files window takes it.
    void acceptedChanged();
    // Close hid the program: the add-files window goes with it.
    void hideAddForm();
    // Closed as the user closes it, so that its place and folder are stored.
    void closeAddForm();

private:
    class AddingEnd;

    void showAddForm();

    Parts parts_;
    std::unique_ptr<PlaylistModelSink> sink_;
    std::unique_ptr<CommandSink> commandSink_;
    FolderWalker walker_;
    std::unique_ptr<PlaylistWindow> window_;
    QPointer<AddForm> addForm_;
    std::unique_ptr<CommandHandler> commands_;
    std::unique_ptr<LastList> lastList_;
    std::unique_ptr<AddingEnd> addingEnd_;
};

}  // namespace velmora
