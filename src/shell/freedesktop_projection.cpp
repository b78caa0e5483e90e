#include "shell/freedesktop_projection.h"

#include "base/atomic_save.h"
#include "base/config_folder.h"
#include "shell/default_file_types.h"
#include "shell/freedesktop_files.h"
#include "shell/shell_log.h"
#include "shell/type_icons.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

namespace velmora {

namespace {

constexpr std::chrono::milliseconds kToolDelay{2000};
const QString kDefaultsSection = QStringLiteral("Default Applications");
const QString kVerbLabel = QStringLiteral("Play clips");

// Relative values are invalid and ignored, as the base-directory rules say.
QString envFolder(const char* name, const QString& fallback)
{
    const QString value = qEnvironmentVariable(name);
    return value.isEmpty() || QDir::isRelativePath(value) ? fallback : value;
}

QStringList envFolders(const char* name, const QString& fallback)
{
    QStringList folders;
    for (const QString& folder : qEnvironmentVariable(name).split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        if (!QDir::isRelativePath(folder))
            folders << folder;
    }
    return folders.isEmpty() ? fallback.split(QLatin1Char(':')) : folders;
}

// A name that stays inside the folder it is put in.
bool safeExtension(const QString& ext)
{
    return !ext.isEmpty() && !ext.contains(QLatin1Char('/')) && !ext.contains(QChar(0)) && ext != QLatin1String(".")
        && ext != QLatin1String("..");
}

QString iconName(const QString& ext)
{
    return QStringLiteral("velmora4-") + ext;
}

// One of the program's own class entries (ownHandler()).
bool isOwnHandler(const QString& id)
{
    return id.startsWith(QLatin1String("vlmr4_")) && id.endsWith(QLatin1String("file.desktop"));
}

}  // namespace

FreedesktopProjection::Folders FreedesktopProjection::Folders::fromEnvironment()
{
    const QString home = QDir::homePath();
    Folders f;
    f.dataHome = envFolder("XDG_DATA_HOME", home + QStringLiteral("/.local/share"));
    f.configHome = envFolder("XDG_CONFIG_HOME", home + QStringLiteral("/.config"));
    f.dataDirs = envFolders("XDG_DATA_DIRS", QStringLiteral("/usr/local/share:/usr/share"));
    f.configDirs = envFolders("XDG_CONFIG_DIRS", QStringLiteral("/etc/xdg"));
    f.desktops = qEnvironmentVariable("XDG_CURRENT_DESKTOP").toLower().split(QLatin1Char(':'), Qt::SkipEmptyParts);
    return f;
}

FreedesktopProjection::FreedesktopProjection(QString program, Folders folders)
    : program_(std::move(program)), folders_(std::move(folders))
{
    toolDelay_.setSingleShot(true);
    toolDelay_.setInterval(kToolDelay);
    toolDelay_.callOnTimeout([this] { startWriting(); });
}

FreedesktopProjection::~FreedesktopProjection()
{
    waitForTools(30000);
}

QString FreedesktopProjection::applicationsFolder() const
{
    return folders_.dataHome + QStringLiteral("/applications");
}

QStringList FreedesktopProjection::mimeTypes(const QString& ext)
{
    auto it = mimeTypes_.constFind(ext);
    if (it == mimeTypes_.constEnd())
        it = mimeTypes_.insert(ext, mimeTypesForExtension(ext));
    return *it;
}

const FreedesktopProjection::FileOp* FreedesktopProjection::plannedOp(const QString& path) const
{
    if (const auto it = pending_.find(path); it != pending_.end())
        return &it->second;
    if (inflight_) {
        if (const auto it = inflight_->files.find(path); it != inflight_->files.end())
            return &it->second;
    }
    return nullptr;
}

std::optional<QByteArray> FreedesktopProjection::contentAfterWrites(const QString& path) const
{
    if (const FileOp* op = plannedOp(path))
        return op->remove ? std::nullopt : std::optional<QByteArray>(op->bytes);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

bool FreedesktopProjection::existsAfterWrites(const QString& path) const
{
    if (const FileOp* op = plannedOp(path))
        return !op->remove;
    return QFileInfo::exists(path);
}

bool FreedesktopProjection::writeFile(const QString& path, const QByteArray& bytes, bool executable)
{
    const std::optional<QByteArray> now = contentAfterWrites(path);
    if (now && *now == bytes && (!executable || pending_.count(path) || (QFile::permissions(path) & QFile::ExeOwner)))
        return false;
    pending_[path] = {bytes, executable, false};
    return true;
}

bool FreedesktopProjection::removeFile(const QString& path)
{
    if (!existsAfterWrites(path))
        return false;
    pending_[path] = {{}, false, true};
    return true;
}

// 1. The desktop entry of the class. 2. The MIME package it needs.
void FreedesktopProjection::writeFileClass(const QString& ext, const QString& iconPath)
{
    if (!safeExtension(ext))
        return;
    const bool held = handlerOf(ext, true) == ownHandler(ext);
    writeEntry(ext, iconPath, held);
    writeHeldIcon(ext, iconPath, held);
    writeMimePackage(ext, held);
}

// The entry declares ext's MIME types only while the program holds them:
// an entry in the user's folder that declares a type outranks every system
// application for it, so a declared type would be taken over silently. The
// program's visible entry keeps it in "Open with".
void FreedesktopProjection::writeEntry(const QString& ext, const QString& iconPath, bool held)
{
    QString types;
    for (const QString& type : mimeTypes(ext))
        types += type + QLatin1Char(';');
    QString entry = QStringLiteral(
                        "[Desktop Entry]\n"
                        "Type=Application\n"
                        "Version=1.0\n"
                        "Name=%1\n"
                        "Exec=%2\n"
                        "Icon=%3\n")
                        .arg(QLatin1String(kApplicationName),
                             escapeDesktopValue(quoteExecArgument(program_) + QStringLiteral(" %F")),
                             escapeDesktopValue(iconPath));
    if (held)
        entry += QStringLiteral("MimeType=") + escapeDesktopValue(types) + QLatin1Char('\n');
    entry += QStringLiteral("NoDisplay=true\nTerminal=false\n");
    if (writeFile(applicationsFolder() + QLatin1Char('/') + ownHandler(ext), entry.toUtf8()))
        applicationsChanged_ = true;
}

void FreedesktopProjection::removeFileClass(const QString& ext)
{
    if (!safeExtension(ext))
        return;
    if (removeFile(applicationsFolder() + QLatin1Char('/') + ownHandler(ext)))
        applicationsChanged_ = true;
    writeHeldIcon(ext, {}, false);
    writeMimePackage(ext, false);
}

// A package of our own for ext: the type itself when the database knows
// none (while the class exists), our icon for its types while we hold it.
void FreedesktopProjection::writeMimePackage(const QString& ext, bool held)
{
    const QString path = folders_.dataHome + QStringLiteral("/mime/packages/velmora4-") + ext + QStringLiteral(".xml");
    const QStringList types = mimeTypes(ext);
    const bool ownType = isOwnMimeType(types.value(0))
        && existsAfterWrites(applicationsFolder() + QLatin1Char('/') + ownHandler(ext));
    if (!ownType && !held) {
        if (removeFile(path))
            mimeChanged_ = true;
        return;
    }
    QString text = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                  "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n");
    for (const QString& type : types) {
        text += QStringLiteral("  <mime-type type=\"%1\">\n").arg(escapeXml(type));
        if (ownType) {
            text += QStringLiteral("    <comment>%1</comment>\n    <glob pattern=\"*.%1\"/>\n").arg(escapeXml(ext));
        }
        if (held)
            text += QStringLiteral("    <icon name=\"%1\"/>\n").arg(escapeXml(iconName(ext)));
        text += QStringLiteral("  </mime-type>\n");
    }
    text += QStringLiteral("</mime-info>\n");
    if (writeFile(path, text.toUtf8()))
        mimeChanged_ = true;
}

// The icon's pictures in the user's hicolor theme, by size.
void FreedesktopProjection::writeHeldIcon(const QString& ext, const QString& iconPath, bool held)
{
    const QString theme = folders_.dataHome + QStringLiteral("/icons/hicolor/");
    const QString file = QStringLiteral("/mimetypes/") + iconName(ext) + QStringLiteral(".png");
    const int sizes[] = {kLargeIconSize, kSmallIconSizes[0], kSmallIconSizes[1], kSmallIconSizes[2]};
    const QFileInfo icon(iconPath);
    const QStringList pictures = held ? iconSetFiles(icon.absolutePath(), icon.completeBaseName()) : QStringList();
    for (int i = 0; i < 4; ++i) {
        const QString target = theme + QStringLiteral("%1x%1").arg(sizes[i]) + file;
        QFile picture(pictures.value(i));
        if (held && picture.open(QIODevice::ReadOnly))
            writeFile(target, picture.readAll());
        else
            removeFile(target);
    }
}

const ProfileDocument& FreedesktopProjection::list(const QString& path)
{
    auto it = lists_.find(path);
    if (it != lists_.end() && listsChecked_)
        return it->doc;
    if (it == lists_.end())
        it = lists_.insert(path, {});
    const FileIdentity identity = FileIdentity::of(path);
    if (!(identity == it->identity)) {
        it->doc = identity.exists ? ProfileDocument::fromFile(path) : ProfileDocument();
        it->identity = identity;
    }
    return it->doc;
}

bool FreedesktopProjection::installed(const QString& desktopId) const
{
    if (desktopId.isEmpty() || desktopId.contains(QLatin1Char('/')))
        return false;
    if (existsAfterWrites(applicationsFolder() + QLatin1Char('/') + desktopId))
        return true;
    for (const QString& dir : folders_.dataDirs) {
        if (QFileInfo::exists(dir + QStringLiteral("/applications/") + desktopId))
            return true;
    }
    return false;
}

// The handlers the lists name for the type, installed ones only (and
// coming, an entry about to be written), in the order freedesktop's
// mimeapps.list rules read them: the first is the default.
QStringList FreedesktopProjection::defaultsFor(const QString& mimeType, const QString& coming)
{
    QStringList dirs{folders_.configHome};
    dirs += folders_.configDirs;
    dirs << applicationsFolder();
    for (const QString& dir : folders_.dataDirs)
        dirs << dir + QStringLiteral("/applications");
    QStringList prefixes;
    for (const QString& desktop : folders_.desktops)
        prefixes << desktop + QLatin1Char('-');
    prefixes << QString();
    QStringList found;
    for (const QString& dir : dirs) {
        for (const QString& prefix : prefixes) {
            const ProfileDocument& doc = list(dir + QLatin1Char('/') + prefix + QStringLiteral("mimeapps.list"));
            const QString ids = doc.readKey(kDefaultsSection, mimeType);
            for (const QString& id : ids.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
                if (!found.contains(id.trimmed()) && (installed(id.trimmed()) || id.trimmed() == coming))
                    found << id.trimmed();
            }
        }
    }
    listsChecked_ = true;
    return found;
}

// Extensions share MIME types (mpg, mpeg and mp2 all claim video/mpeg), so
// ext is held while one of the program's entries is the default of its
// first type and ext's own entry is among the named ones. Otherwise the
// answer is the handler apart from the program: one of the program's own
// entries is never an earlier handler.
QString FreedesktopProjection::defaultHandler(const QString& ext)
{
    return handlerOf(ext, false);
}

// entryComing: ext's entry is about to be written (a start that brings a
// lost entry back finds the type still held).
QString FreedesktopProjection::handlerOf(const QString& ext, bool entryComing)
{
    if (!safeExtension(ext))
        return {};
    const QStringList named = defaultsFor(mimeTypes(ext).value(0), entryComing ? ownHandler(ext) : QString());
    if (!named.isEmpty() && isOwnHandler(named.first()) && named.contains(ownHandler(ext)))
        return ownHandler(ext);
    for (const QString& id : named) {
        if (!isOwnHandler(id))
            return id;
    }
    return {};
}

// The user's own lists, the desktop's first: XDG_CURRENT_DESKTOP names
// the "<desktop>-mimeapps.list" that is read before mimeapps.list.
QStringList FreedesktopProjection::userLists() const
{
    QStringList lists;
    for (const QString& desktop : folders_.desktops)
        lists << folders_.configHome + QLatin1Char('/') + desktop + QStringLiteral("-mimeapps.list");
    lists << folders_.configHome + QStringLiteral("/mimeapps.list");
    return lists;
}

// A new default goes where it takes effect: into the first list that
// already names a default for the type, else into mimeapps.list. Our name
// goes from every list.
bool FreedesktopProjection::editUserDefaults(const QString& mimeType, const QString& remove, const QString& putFirst)
{
    const QStringList lists = userLists();
    if (putFirst.isEmpty()) {
        bool ok = true;
        for (const QString& path : lists)
            ok = editList(path, mimeType, remove, {}) && ok;
        return ok;
    }
    QString target = lists.last();
    for (const QString& path : lists) {
        if (!list(path).readKey(kDefaultsSection, mimeType).isEmpty()) {
            target = path;
            break;
        }
    }
    return editList(target, mimeType, remove, putFirst);
}

// The user's list is theirs: one that cannot be read is not taken for an
// empty one, a read-only one is not replaced (a rename would), a link is
// written through and stays, even when our last key goes.
bool FreedesktopProjection::editList(const QString& path, const QString& mimeType, const QString& remove,
                                     const QString& putFirst)
{
    const QFileInfo info(path);
    const bool exists = info.exists();
    if (info.isSymLink() && !exists) {
        qCWarning(lcShell) << "not writing through the broken link" << path;
        return false;
    }
    const QFileDevice::Permissions mode = info.permissions();
    const bool readable = (mode & QFileDevice::ReadOwner) && QFile(path).open(QIODevice::ReadOnly);
    if (exists && (!readable || !(mode & QFileDevice::WriteOwner))) {
        qCWarning(lcShell) << "leaving" << path << "alone: it cannot be read or is read-only";
        return false;
    }
    ProfileDocument doc = exists ? ProfileDocument::fromFile(path) : ProfileDocument();
    const QString old = doc.readKey(kDefaultsSection, mimeType);
    QStringList ids = old.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    if (!remove.isEmpty())
        ids.removeAll(remove);
    if (!putFirst.isEmpty()) {
        ids.removeAll(putFirst);
        ids.prepend(putFirst);
    }
    const QString value = ids.isEmpty() ? QString() : ids.join(QLatin1Char(';')) + QLatin1Char(';');
    if (value == old || (ids.isEmpty() && old.isEmpty()))
        return true;
    if (ids.isEmpty())
        doc.removeKey(kDefaultsSection, mimeType);
    else
        doc.writeKey(kDefaultsSection, mimeType, value);
    lists_.remove(path);
    listsChecked_ = false;
    bool anyKey = false;
    for (const QString& section : doc.sectionNames())
        anyKey = anyKey || !doc.keyNames(section).isEmpty();
    if (!anyKey && !info.isSymLink())
        return QFile::remove(path);  // nothing left but what we added
    QDir().mkpath(folders_.configHome);
    if (doc.saveTo(path))
        return true;
    qCWarning(lcShell) << "cannot write" << path;
    return false;
}

void FreedesktopProjection::setDefaultHandler(const QString& ext, const QString& handler, const QString& iconPath)
{
    if (!safeExtension(ext))
        return;
    const QString own = ownHandler(ext);
    const bool ours = handler == own;
    const QStringList types = mimeTypes(ext);
    for (qsizetype i = 0; i < types.size(); ++i) {
        const QString& type = types[i];
        if (ours) {
            editUserDefaults(type, {}, own);
            continue;
        }
        // Only our own name goes: the list is again what it was before,
        // earlier handler included, unless a type the program still holds
        // needs this MIME type (its entry stays named first).
        editUserDefaults(type, own, {});
        const QStringList named = defaultsFor(type);
        if (!named.isEmpty() && isOwnHandler(named.first()))
            continue;
        // The earlier handler was read from the first type; it is named
        // only when the lists no longer make it the default.
        if (i == 0 && !handler.isEmpty() && !isOwnHandler(handler) && named.value(0) != handler && installed(handler))
            editUserDefaults(type, {}, handler);
    }
    if (existsAfterWrites(applicationsFolder() + QLatin1Char('/') + own))
        writeEntry(ext, iconPath, ours);
    writeHeldIcon(ext, iconPath, ours);
    writeMimePackage(ext, ours);
}

QStringList FreedesktopProjection::folderActionFiles() const
{
    const QString& data = folders_.dataHome;
    return {data + QStringLiteral("/kio/servicemenus/velmora4-play-clips.desktop"),
            data + QStringLiteral("/nautilus/scripts/") + kVerbLabel,
            data + QStringLiteral("/nemo/actions/velmora4-play-clips.nemo_action"),
            data + QStringLiteral("/file-manager/actions/velmora4-play-clips.desktop")};
}

// Each file manager hands the selected folders over as separate arguments,
// so a folder with blanks in its name arrives whole.
void FreedesktopProjection::writeFolderAction()
{
    const QStringList files = folderActionFiles();
    const QString exec = escapeDesktopValue(quoteExecArgument(program_) + QStringLiteral(" %F"));
    const QString dolphin = QStringLiteral(
                                "[Desktop Entry]\n"
                                "Type=Service\n"
                                "Name=%1\n"
                                "MimeType=inode/directory;\n"
                                "Actions=playClips;\n"
                                "X-KDE-ServiceTypes=KonqPopupMenu/Plugin\n"
                                "\n"
                                "[Desktop Action playClips]\n"
                                "Name=%1\n"
                                "Exec=%2\n")
                                .arg(kVerbLabel, exec);
    const QString nautilus = QStringLiteral("#!/bin/sh\n"
                                            "# Plays the clips of the selected folders with Velmora 4.\n"
                                            "exec %1 \"$@\"\n")
                                 .arg(quoteShellWord(program_));
    const QString nemo = QStringLiteral(
                             "[Nemo Action]\n"
                             "Name=%1\n"
                             "Comment=%1\n"
                             "Exec=%2\n"
                             "Selection=notnone\n"
                             "Extensions=dir;\n"
                             "Quote=double\n")
                             .arg(kVerbLabel, exec);
    const QString actions = QStringLiteral(
                                "[Desktop Entry]\n"
                                "Type=Action\n"
                                "Name=%1\n"
                                "Profiles=folders;\n"
                                "\n"
                                "[X-Action-Profile folders]\n"
                                "MimeTypes=inode/directory;\n"
                                "Exec=%2\n")
                                .arg(kVerbLabel, exec);
    writeFile(files[0], dolphin.toUtf8(), true);
    writeFile(files[1], nautilus.toUtf8(), true);
    writeFile(files[2], nemo.toUtf8());
    writeFile(files[3], actions.toUtf8());
}

void FreedesktopProjection::removeFolderAction()
{
    for (const QString& file : folderActionFiles())
        removeFile(file);
}

// A user's mimeinfo.cache outranks the system's, so one that the program
// brought into being must not outlive its claims: the marker beside it
// says the cache is ours, and it goes when none of our entries declares a
// MIME type any more. A
// cache that was there before is only rebuilt.
void FreedesktopProjection::updateDesktopCache(const QString& applications,
                                               const std::function<void(const QString&, const QStringList&)>& runTool)
{
    const QString cache = applications + QStringLiteral("/mimeinfo.cache");
    const QString marker = applications + QStringLiteral("/.velmora4-mimeinfo-cache");
    bool oursLeft = false;  // an entry of ours that declares MIME types
    for (const QString& name : QDir(applications).entryList({QStringLiteral("vlmr4_*.desktop")}, QDir::Files)) {
        QFile entry(applications + QLatin1Char('/') + name);
        oursLeft = oursLeft || (entry.open(QIODevice::ReadOnly) && entry.readAll().contains("\nMimeType="));
    }
    const bool cacheIsOurs = QFileInfo::exists(marker) || !QFileInfo::exists(cache);
    if (!oursLeft && cacheIsOurs) {
        QFile::remove(cache);
        QFile::remove(marker);
        QDir().rmdir(applications);  // only when nothing else is in it
        return;
    }
    if (!QFileInfo::exists(cache)) {
        QFile note(marker);
        if (!note.open(QIODevice::WriteOnly))
            qCDebug(lcShell) << "cannot mark" << cache << "as ours";
    }
    runTool(QStringLiteral("update-desktop-database"), {QStringLiteral("-q"), applications});
}

// The worker: the files in path order, then the tools, or where the last
// entry or package was ours, the caches that now describe nothing (so that
// removing everything leaves the folders as they were before the program).
void FreedesktopProjection::runJob(Job& job)
{
    for (const auto& [path, op] : job.files) {
        if (op.remove) {
            QFile::remove(path);
            continue;
        }
        QDir().mkpath(QFileInfo(path).absolutePath());
        // The class root holds the truth; these files are its picture.
        AtomicSaveOptions options;
        options.mode = op.executable ? 0755 : 0644;
        options.sync = false;
        if (!saveFileAtomically(path, op.bytes, options))
            qCDebug(lcShell) << "cannot write" << path;
    }
    auto runTool = [&job](const QString& tool, const QStringList& arguments) {
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.setStandardOutputFile(QProcess::nullDevice());
        process.start(tool, arguments);
        if (!process.waitForStarted(5000)) {
            qCDebug(lcShell) << "cannot run" << tool;
            return;
        }
        if (!process.waitForFinished(job.toolTimeout)) {
            job.allFinished = false;
            process.kill();
            process.waitForFinished(1000);
        }
    };
    if (!job.applications.isEmpty() && QFileInfo::exists(job.applications))
        updateDesktopCache(job.applications, runTool);
    if (!job.mime.isEmpty() && QFileInfo::exists(job.mime + QStringLiteral("/packages"))) {
        if (QDir(job.mime + QStringLiteral("/packages")).isEmpty())
            QDir(job.mime).removeRecursively();
        else
            runTool(QStringLiteral("update-mime-database"), {job.mime});
    }
    job.done = true;
}

void FreedesktopProjection::commit()
{
    listsChecked_ = false;  // another program may change them before the next batch
    desktopToolPending_ = desktopToolPending_ || applicationsChanged_;
    mimeToolPending_ = mimeToolPending_ || mimeChanged_;
    applicationsChanged_ = mimeChanged_ = false;
    if (!pending_.empty() || desktopToolPending_ || mimeToolPending_)
        toolDelay_.start();
}

void FreedesktopProjection::joinWorker()
{
    if (worker_.joinable())
        worker_.join();
    inflight_.reset();
}

// On the delay's timeout: one job at a time; a job still running makes the
// next one wait for another turn instead of blocking the UI thread.
void FreedesktopProjection::startWriting(int toolTimeout)
{
    if (inflight_ && !inflight_->done) {
        toolDelay_.start();
        return;
    }
    joinWorker();
    if (pending_.empty() && !desktopToolPending_ && !mimeToolPending_)
        return;
    auto job = std::make_shared<Job>();
    job->toolTimeout = toolTimeout;
    job->files = std::move(pending_);
    pending_.clear();
    if (desktopToolPending_)
        job->applications = applicationsFolder();
    if (mimeToolPending_)
        job->mime = folders_.dataHome + QStringLiteral("/mime");
    desktopToolPending_ = mimeToolPending_ = false;
    inflight_ = job;
    worker_ = std::thread([job] { runJob(*job); });
}

bool FreedesktopProjection::waitForTools(int msecs)
{
    toolDelay_.stop();
    joinWorker();
    if (pending_.empty() && !desktopToolPending_ && !mimeToolPending_)
        return true;
    startWriting(msecs);
    const std::shared_ptr<Job> job = inflight_;
    joinWorker();
    return job->allFinished;
}

}  // namespace velmora
