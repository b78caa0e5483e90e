#pragma once
// FreedesktopProjection: the class root's changes as a freedesktop desktop
// reads them, all in the user's own folders:
//  - a file class is a hidden desktop entry "vlmr4_<ext>file.desktop" in
//    $XDG_DATA_HOME/applications; it declares ext's MIME types (a type of
//    our own, declared in $XDG_DATA_HOME/mime/packages, when the database
//    knows none) only while the program holds ext;
//  - the handler of ext's files is the default in $XDG_CONFIG_HOME/
//    mimeapps.list; while it is ours a MIME package names our icon for the
//    type, the icon sitting in the user's hicolor theme;
//  - the folder action "Play clips" is a Dolphin service menu, a Nautilus
//    script, a Nemo action and a file-manager action (Caja, PCManFM). The
//    program is never declared for folders as such (it would become the
//    folder opener).
// A file is written only when its text differs from what is on disk, so an
// unchanged start writes nothing. The files themselves are written by a
// worker thread two seconds after commit(), followed by update-desktop-
// database and update-mime-database where their folders changed: the first
// start writes some forty files and its windows come up first. Until then
// the projection answers from what it is about to write. The user's
// mimeapps.list is written at once.
//
// Called on the UI thread only; waitForTools() and the destructor write what
// is pending and wait for the worker.

#include "shell/desktop_projection.h"

#include "base/atomic_save.h"
#include "settings/profile_document.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <thread>

namespace velmora {

class FreedesktopProjection : public DesktopProjection {
public:
    struct Folders {
        QString dataHome, configHome;  // $XDG_DATA_HOME, $XDG_CONFIG_HOME
        QStringList dataDirs, configDirs;
        QStringList desktops;  // $XDG_CURRENT_DESKTOP, lower case
        // The XDG base-directory variables, with their standard defaults.
        static Folders fromEnvironment();
    };

    // program: what the entries and actions run (the front program).
    FreedesktopProjection(QString program, Folders folders);
    ~FreedesktopProjection() override;

    void writeFileClass(const QString& ext, const QString& iconPath) override;
    void removeFileClass(const QString& ext) override;
    QString defaultHandler(const QString& ext) override;
    void setDefaultHandler(const QString& ext, const QString& handler, const QString& iconPath) override;
    void writeFolderAction() override;
    void removeFolderAction() override;
    void commit() override;

    // Writes what is pending and runs the tools now, waiting for the
    // worker; false when a tool was still running after msecs (it is ended).
    bool waitForTools(int msecs);

    const Folders& folders() const { return folders_; }
    QString applicationsFolder() const;
    // The files of the folder action, one per file manager.
    QStringList folderActionFiles() const;

private:
    QStringList mimeTypes(const QString& ext);
    QStringList defaultsFor(const QString& mimeType, const QString& coming = {});
    QString handlerOf(const QString& ext, bool entryComing);
    void writeEntry(const QString& ext, const QString& iconPath, bool held);
    bool installed(const QString& desktopId) const;
    const ProfileDocument& list(const QString& path);
    // Edits the user's default list of one MIME type; false when a list
    // that needed the edit was left alone.
    bool editUserDefaults(const QString& mimeType, const QString& remove, const QString& putFirst);
    bool editList(const QString& path, const QString& mimeType, const QString& remove, const QString& putFirst);
    QStringList userLists() const;
    void writeMimePackage(const QString& ext, bool held);
    void writeHeldIcon(const QString& ext, const QString& iconPath, bool held);
    bool writeFile(const QString& path, const QByteArray& bytes, bool executable = false);
    bool removeFile(const QString& path);
    // The file's text once pending writes are done; nullopt: no file.
    std::optional<QByteArray> contentAfterWrites(const QString& path) const;
    bool existsAfterWrites(const QString& path) const;
    void startWriting(int toolTimeout = 30000);
    void joinWorker();

    struct FileOp {
        QByteArray bytes;
        bool executable = false;
        bool remove = false;
    };
    struct Job {
        std::map<QString, FileOp> files;
        QString applications;  // run update-desktop-database (or clean up)
        QString mime;          // run update-mime-database (or clean up)
        int toolTimeout = 30000;
        std::atomic<bool> allFinished{true};
        std::atomic<bool> done{false};
    };
    static void runJob(Job& job);
    static void updateDesktopCache(const QString& applications,
                                   const std::function<void(const QString&, const QStringList&)>& runTool);
    // The write planned for the path (pending or running), if any.
    const FileOp* plannedOp(const QString& path) const;

    QString program_;
    Folders folders_;
    QHash<QString, QStringList> mimeTypes_;
    struct CachedList {
        FileIdentity identity;
        ProfileDocument doc;
    };
    QHash<QString, CachedList> lists_;
    // Within one batch of changes (until commit()) each list is looked at
    // once: a start asks about every type.
    bool listsChecked_ = false;
    bool applicationsChanged_ = false;
    bool mimeChanged_ = false;
    bool desktopToolPending_ = false;
    bool mimeToolPending_ = false;
    QTimer toolDelay_;
    std::map<QString, FileOp> pending_;  // to be written by the next job
    std::shared_ptr<Job> inflight_;      // the job the worker runs
    std::thread worker_;
};

}  // namespace velmora
