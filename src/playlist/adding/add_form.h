#pragma once
// AddForm: the add-files window, captioned "Добавить файлы": an ordinary,
// modeless window in which the user browses the folders of the computer and
// adds the selected file (AddFileB, or a double-click or Enter on it), every
// accepted file of the shown folder
// (AddFolder), or the shown folder with its subfolders as nested groups
// (AddSubFolder).
//
// Folder: the folder tree; its top node is the desktop folder, with the
// desktop's subfolders below it, then home, "/" and the removable volumes.
// File: the shown folder's accepted files (every name, whatever its bytes;
// read off the UI thread), one selectable. Additions go through the shared FolderWalker, so no button
// reads the disk on the UI thread; each one notes whether the playlist was
// empty right before its first entry arrives, and when it is done starts
// entry 1 (AutoPlay on, no clip loaded, something added) and switches the
// measuring timer on.
//
// The window restores its place ("AddLeft", "AddTop", pixels) and the shown
// folder ("OpenPath") when created and stores them when closed; closing
// emits closed() so the playlist window can enable Plus again (the owner
// deletes the window then, e.g. deleteLater()). Losing the activation sends
// it behind the other windows; every key pressed in it goes to the key
// command first (and on to the focused control).
//
// UI thread only. The settings, walker and sink outlive the window; the
// hooks may run after the window is gone (a walk in progress finishes), so
// they must not refer to it.

#include "playlist/adding/file_filter.h"

#include <QWidget>

#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

class QFileSystemModel;
class QKeyEvent;
class QListView;
class QModelIndex;
class QPushButton;
class QTreeView;

namespace velmora {

class DesktopTreeModel;
class KeySink;
class FileListModel;
class FolderTreeSink;
class FolderWalker;
class Settings;
struct AddSource;

class AddForm : public QWidget {
    Q_OBJECT
public:
    struct Hooks {
        std::function<bool()> playlistEmpty;   // playlistCount() == 0
        std::function<bool()> clipLoaded;      // the media engine has a clip
        std::function<void()> openFirstEntry;  // open entry 1 and play from the start
        std::function<void()> startMeasuring;  // the playlist window's measuring timer on
        KeySink* keys = nullptr;  // the keyboard commands
    };
    struct Options {
        QString desktopFolder;  // the top node's folder; empty: desktopFolder()
        FileFilter accepted;    // the accepted-files pattern
        QString homeFolder;     // empty: the user's home folder
        std::optional<QStringList> volumes;  // unset: removableVolumes()
    };

    AddForm(Settings& settings, FolderWalker& walker, FolderTreeSink& sink, Hooks hooks, Options options = {},
            QWidget* parent = nullptr);
    ~AddForm() override;

    // File's folder; empty while the selected node has no readable folder.
    QString shownFolder() const { return shownFolder_; }
    // Selects the folder in the tree and shows it; the top node when the
    // folder is not found.
    void selectFolder(const QString& folder);
    // The accepted-files pattern changed (file type table).
    void setAcceptedFiles(const FileFilter& filter);
    const QString& desktop() const { return desktop_; }

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildWindow(const Options& options);
    void restorePlace();
    void storePlace();
    void treeSelectionChanged(const QModelIndex& current);
    void showFolder(const QString& folder);
    QString selectedFilePath() const;
    void addSelectedFile();
    void addShownFolder();
    void addShownFolderTree();
    void add(std::vector<AddSource> sources);

    Settings& settings_;
    FolderWalker& walker_;
    FolderTreeSink& sink_;
    Hooks hooks_;
    FileFilter accepted_;
    QString desktop_;
    QString shownFolder_;
    bool placeStored_ = false;

    QFileSystemModel* folderModel_ = nullptr;
    DesktopTreeModel* folderTree_ = nullptr;
    FileListModel* files_ = nullptr;
    QTreeView* folder_ = nullptr;
    QListView* file_ = nullptr;
    QPushButton* addFileB_ = nullptr;
    QPushButton* addFolder_ = nullptr;
    QPushButton* addSubFolder_ = nullptr;
};

}  // namespace velmora
