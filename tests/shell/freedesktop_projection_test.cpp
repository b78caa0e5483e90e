// The file types projected onto a real freedesktop layout in temporary
// XDG folders, checked with the desktop's own tools (desktop-file-validate,
// xdg-mime, the file managers' ways of running an action).

#include "shell/freedesktop_files.h"
#include "shell/freedesktop_projection.h"
#include "shell_fixture.h"

#include <QDirIterator>
#include <QProcess>

#include <gtest/gtest.h>

using namespace velmora;

namespace {

class FreedesktopTest : public ::testing::Test {
protected:
    FreedesktopTest()
    {
        // What file managers start: a stand-in that notes its arguments.
        program_ = test::writeFile(home_.file(QStringLiteral("bin/velmora4")),
                                   "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$ARGS_OUT\"\n");
        QFile::setPermissions(program_, QFile::permissions(program_) | QFile::ExeOwner);
        desktop_ = std::make_unique<FreedesktopProjection>(program_, FreedesktopProjection::Folders::fromEnvironment());
        t_.build(desktop_.get(), program_);
        // The user's earlier handler of MP3 files.
        writeEntry(QStringLiteral("other-player.desktop"));
        test::writeFile(mimeapps(), "[Default Applications]\naudio/mpeg=other-player.desktop;\ntext/plain=vim.desktop;\n"
                                    "\n[Added Associations]\naudio/mpeg=other-player.desktop;\n");
        before_ = readAll(mimeapps());
    }

    QString data(const QString& rel) const { return home_.file(QStringLiteral("data/") + rel); }
    QString mimeapps() const { return home_.file(QStringLiteral("xdg-config/mimeapps.list")); }
    static QByteArray readAll(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    void writeEntry(const QString& id)
    {
        test::writeFile(data(QStringLiteral("applications/") + id),
                        "[Desktop Entry]\nType=Application\nName=Other\nExec=/bin/true %F\nMimeType=audio/mpeg;\n");
    }
    QProcessEnvironment toolEnvironment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"XDG_CURRENT_DESKTOP", "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID", "DESKTOP_SESSION"})
            env.remove(QString::fromLatin1(name));
        if (!currentDesktop_.isEmpty())
            env.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), currentDesktop_);
        env.insert(QStringLiteral("ARGS_OUT"), home_.file(QStringLiteral("args")));
        return env;
    }
    // Runs a tool; its standard output, trimmed (error output too when it fails).
    QString run(const QString& tool, const QStringList& args)
    {
        QProcess p;
        p.setProcessEnvironment(toolEnvironment());
        p.start(tool, args);
        EXPECT_TRUE(p.waitForFinished(30000)) << tool.toStdString();
        const QString out = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError()).trimmed();
        return p.exitCode() == 0 ? out : QStringLiteral("failed: ") + out;
    }
    QString defaultFor(const QString& mimeType)
    {
        desktop_->waitForTools(30000);
        return run(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"), mimeType});
    }
    // What GLib's file managers open the type with.
    QString gioDefault(const QString& mimeType)
    {
        desktop_->waitForTools(30000);
        const QString out = run(QStringLiteral("gio"), {QStringLiteral("mime"), mimeType});
        const qsizetype at = out.indexOf(QLatin1String(": "));
        return out.startsWith(QLatin1String("Default application")) ? out.mid(at + 2).section(QLatin1Char('\n'), 0, 0) : out;
    }
    // The desktop's default of each MIME type that the table's types claim.
    QMap<QString, QString> allDefaults()
    {
        QMap<QString, QString> found;
        for (int n = 1; n <= t_.types->count(); ++n) {
            for (const QString& type : mimeTypesForExtension(t_.types->entry(n).name)) {
                if (!found.contains(type))
                    found[type] = defaultFor(type);
            }
        }
        return found;
    }
    int entryNumber(const QString& name) const
    {
        for (int n = 1; n <= t_.types->count(); ++n) {
            if (t_.types->entry(n).name == name)
                return n;
        }
        return 0;
    }
    // The arguments the program received when the line ran with the folder.
    QStringList runExec(QString exec, const QString& folder)
    {
        exec.replace(QLatin1String("\\\\"), QLatin1String("\\"));  // the entry's string escapes
        exec.replace(QLatin1String("%F"), QLatin1String("\"$@\""));
        QFile::remove(home_.file(QStringLiteral("args")));
        run(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), exec, QStringLiteral("sh"), folder});
        return QString::fromUtf8(readAll(home_.file(QStringLiteral("args")))).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    QStringList ours() const
    {
        QStringList found;
        QDirIterator it(home_.file(QStringLiteral("data")), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString f = it.next();
            if (f.contains(QLatin1String("vlmr4_")) || f.contains(QLatin1String("velmora4-"))
                || f.contains(QLatin1String("Play clips")))
                found << f;
        }
        return found;
    }

    test::ShellFixture t_{nullptr};
    const test::TempHome& home_ = t_.home;
    QString program_;
    std::unique_ptr<FreedesktopProjection> desktop_;
    QByteArray before_;
    QString currentDesktop_;
};

TEST_F(FreedesktopTest, ClassesAndFolderActionsAreValidAndHandOverWholePaths)
{
    t_.types->LoadFileTypes();
    desktop_->waitForTools(30000);
    QStringList entries = QDir(data(QStringLiteral("applications"))).entryList({QStringLiteral("vlmr4_*.desktop")});
    ASSERT_EQ(entries.size(), 33);
    for (QString& e : entries)
        e = data(QStringLiteral("applications/") + e);
    EXPECT_EQ(run(QStringLiteral("desktop-file-validate"), entries), QString());
    const QString entry = QString::fromUtf8(readAll(data(QStringLiteral("applications/vlmr4_pmlfile.desktop"))));
    EXPECT_FALSE(entry.contains(QStringLiteral("MimeType="))) << "no type is declared until it is held";
    EXPECT_TRUE(entry.contains(QStringLiteral("NoDisplay=true")));
    EXPECT_TRUE(QFile::exists(data(QStringLiteral("mime/packages/velmora4-pml.xml"))));
    EXPECT_FALSE(QString::fromUtf8(readAll(data(QStringLiteral("applications/mimeinfo.cache")))).contains(QStringLiteral("inode/directory")))
        << "never the folder opener";
    EXPECT_EQ(readAll(mimeapps()), before_) << "registering takes nothing over";

    const QString folder = home_.file(QStringLiteral("My Clips $HOME"));
    QDir().mkpath(folder);
    const QStringList actions = desktop_->folderActionFiles();
    for (const QString& file : {actions[0], actions[2], actions[3], data(QStringLiteral("applications/vlmr4_mp3file.desktop"))}) {
        const QString text = QString::fromUtf8(readAll(file));
        const qsizetype at = text.indexOf(QLatin1String("\nExec="));
        ASSERT_GE(at, 0) << file.toStdString();
        const QString exec = text.mid(at + 6, text.indexOf(QLatin1Char('\n'), at + 1) - at - 6);
        EXPECT_EQ(runExec(exec, folder), QStringList{folder}) << file.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("Play clips")) || file.endsWith(QLatin1String(".desktop")));
    }
    // A program in a folder with blanks and a "$" in its name.
    const QString odd = home_.file(QStringLiteral("bin $dir/velmora 4"));
    QDir().mkpath(QFileInfo(odd).absolutePath());
    ASSERT_TRUE(QFile::copy(program_, odd));
    EXPECT_EQ(runExec(escapeDesktopValue(quoteExecArgument(odd) + QStringLiteral(" %F")), folder), QStringList{folder});

    QFile::remove(home_.file(QStringLiteral("args")));
    run(actions[1], {folder});  // the Nautilus script, as Nautilus runs it
    EXPECT_EQ(QString::fromUtf8(readAll(home_.file(QStringLiteral("args")))).trimmed(), folder);
}

TEST_F(FreedesktopTest, TakingOverNamesThePlayerAndGivingBackRestoresTheEarlierHandler)
{
    t_.types->LoadFileTypes();
    const int mp3 = entryNumber(QStringLiteral("mp3"));
    EXPECT_EQ(defaultFor(QStringLiteral("audio/mpeg")), "other-player.desktop");
    t_.types->AssociateType(mp3);
    EXPECT_EQ(defaultFor(QStringLiteral("audio/mpeg")), "vlmr4_mp3file.desktop");
    EXPECT_EQ(t_.stored(fileTypeKey(mp3, "type")), "other-player.desktop");
    EXPECT_TRUE(QFile::exists(data(QStringLiteral("icons/hicolor/48x48/mimetypes/velmora4-mp3.png"))));
    EXPECT_TRUE(readAll(data(QStringLiteral("mime/packages/velmora4-mp3.xml"))).contains("velmora4-mp3"));
    t_.types->LoadFileTypes();
    EXPECT_TRUE(t_.types->entry(mp3).checked) << "the mark is read back from the desktop";

    t_.types->DissociateType(mp3);
    EXPECT_EQ(defaultFor(QStringLiteral("audio/mpeg")), "other-player.desktop");
    EXPECT_EQ(readAll(mimeapps()), before_);
    EXPECT_FALSE(QFile::exists(data(QStringLiteral("icons/hicolor/48x48/mimetypes/velmora4-mp3.png"))));

    // Another program takes MP3 files while we hold them: it keeps them.
    t_.types->AssociateType(mp3);
    writeEntry(QStringLiteral("third.desktop"));
    run(QStringLiteral("xdg-mime"), {QStringLiteral("default"), QStringLiteral("third.desktop"), QStringLiteral("audio/mpeg")});
    t_.types->LoadFileTypes();
    EXPECT_FALSE(t_.types->entry(mp3).checked);
    t_.types->DissociateType(mp3);
    EXPECT_EQ(defaultFor(QStringLiteral("audio/mpeg")), "third.desktop");

    // Uninstalling leaves no name of ours behind another program's.
    test::writeFile(mimeapps(), "[Default Applications]\naudio/mpeg=third.desktop;vlmr4_mp3file.desktop;\n");
    UndoShellRegistration(t_.store, *t_.shell);
    EXPECT_EQ(readAll(mimeapps()), "[Default Applications]\naudio/mpeg=third.desktop;\n");
}

TEST_F(FreedesktopTest, UndoLeavesTheDesktopAsItWasBeforeThePlayer)
{
    // A user without a list of defaults of their own, whose folder holds an
    // entry but no cache: the system's player opens MP3 files.
    QFile::remove(mimeapps());
    const QString cache = data(QStringLiteral("applications/mimeinfo.cache"));
    ASSERT_EQ(defaultFor(QStringLiteral("audio/mpeg")), test::kSystemPlayer);
    t_.types->LoadFileTypes();
    t_.types->AssociateType(entryNumber(QStringLiteral("mp3")));
    t_.types->AssociateType(entryNumber(QStringLiteral("pml")));
    t_.types->AddFileType(QStringLiteral("nsv"));
    EXPECT_EQ(defaultFor(QStringLiteral("application/x-velmora4-pml")), "vlmr4_pmlfile.desktop");
    UndoShellRegistration(t_.store, *t_.shell);
    desktop_->waitForTools(30000);
    EXPECT_EQ(ours(), QStringList());
    EXPECT_FALSE(QFile::exists(mimeapps()));
    EXPECT_FALSE(QFile::exists(cache)) << "the cache the player made goes with it";
    EXPECT_TRUE(QFile::exists(data(QStringLiteral("applications/other-player.desktop"))));
    EXPECT_EQ(defaultFor(QStringLiteral("audio/mpeg")), test::kSystemPlayer);
}

TEST_F(FreedesktopTest, UndoRebuildsACacheTheUserHadBefore)
{
    const QString cache = data(QStringLiteral("applications/mimeinfo.cache"));
    run(QStringLiteral("update-desktop-database"), {data(QStringLiteral("applications"))});
    ASSERT_TRUE(readAll(cache).contains("other-player.desktop"));
    t_.types->LoadFileTypes();
    desktop_->waitForTools(30000);
    EXPECT_FALSE(readAll(cache).contains("vlmr4_")) << "no type is declared until it is held";
    t_.types->AssociateType(entryNumber(QStringLiteral("mp3")));
    desktop_->waitForTools(30000);
    EXPECT_TRUE(readAll(cache).contains("vlmr4_mp3file.desktop"));
    UndoShellRegistration(t_.store, *t_.shell);
    desktop_->waitForTools(30000);
    EXPECT_TRUE(readAll(cache).contains("other-player.desktop"));
    EXPECT_FALSE(readAll(cache).contains("vlmr4_"));
    EXPECT_EQ(QDir(data(QStringLiteral("applications"))).entryList(QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral("mimeinfo.cache"), QStringLiteral("other-player.desktop")}));
}

TEST_F(FreedesktopTest, RegisteringTakesNothingOverForAUserWithoutDefaults)
{
    QFile::remove(mimeapps());
    const QStringList watched{QStringLiteral("audio/mpeg"), QStringLiteral("video/mpeg"), QStringLiteral("audio/midi")};
    for (const QString& type : watched)
        ASSERT_EQ(defaultFor(type), test::kSystemPlayer) << type.toStdString();
    t_.types->LoadFileTypes();
    for (const QString& type : watched) {
        EXPECT_EQ(defaultFor(type), test::kSystemPlayer) << type.toStdString();
        EXPECT_EQ(gioDefault(type), test::kSystemPlayer) << type.toStdString();
    }
    EXPECT_FALSE(QFile::exists(data(QStringLiteral("applications/mimeinfo.cache"))));
    EXPECT_FALSE(run(QStringLiteral("gio"), {QStringLiteral("mime"), QStringLiteral("audio/ogg")}).contains(QStringLiteral("vlmr4_")))
        << "only the program's visible entry is offered to open with";
    EXPECT_FALSE(t_.types->entry(entryNumber(QStringLiteral("mp3"))).checked);

    const int mp3 = entryNumber(QStringLiteral("mp3"));
    t_.types->AssociateType(mp3);
    EXPECT_EQ(defaultFor(QStringLiteral("audio/mpeg")), "vlmr4_mp3file.desktop");
    EXPECT_EQ(gioDefault(QStringLiteral("audio/mpeg")), "vlmr4_mp3file.desktop");
    EXPECT_EQ(defaultFor(QStringLiteral("video/mpeg")), test::kSystemPlayer);
    t_.types->DissociateType(mp3);
    EXPECT_EQ(defaultFor(QStringLiteral("audio/mpeg")), test::kSystemPlayer);
    EXPECT_EQ(gioDefault(QStringLiteral("audio/mpeg")), test::kSystemPlayer);
    EXPECT_FALSE(QFile::exists(data(QStringLiteral("applications/mimeinfo.cache"))));
}

// mpg, mpeg, mpe and mp2 share video/mpeg; mid and midi share audio/midi.
TEST_F(FreedesktopTest, SharedMimeTypesAreGivenBackOnlyWhenNoHeldTypeNeedsThem)
{
    writeEntry(QStringLiteral("midi-player.desktop"));
    test::writeFile(mimeapps(), "[Default Applications]\naudio/mpeg=other-player.desktop;\naudio/midi=midi-player.desktop;\n");
    before_ = readAll(mimeapps());
    t_.types->LoadFileTypes();
    const QMap<QString, QString> before = allDefaults();
    EXPECT_EQ(before.value(QStringLiteral("video/mpeg")), test::kSystemPlayer);

    const int mpg = entryNumber(QStringLiteral("mpg")), mpeg = entryNumber(QStringLiteral("mpeg"));
    t_.types->AssociateType(mpg);
    t_.types->AssociateType(mpeg);
    EXPECT_EQ(t_.stored(fileTypeKey(mpeg, "type")), QString()) << "never one of the player's own entries";
    t_.types->DissociateType(mpg);
    EXPECT_TRUE(defaultFor(QStringLiteral("video/mpeg")).startsWith(QLatin1String("vlmr4_"))) << "mpeg still needs it";
    t_.types->LoadFileTypes();
    EXPECT_TRUE(t_.types->entry(mpeg).checked);
    EXPECT_FALSE(t_.types->entry(mpg).checked);
    t_.types->DissociateType(mpeg);
    EXPECT_EQ(defaultFor(QStringLiteral("video/mpeg")), test::kSystemPlayer);

    // "Выбрать все", then "Снять все".
    for (int n = 1; n <= t_.types->count(); ++n)
        t_.types->AssociateType(n);
    EXPECT_TRUE(defaultFor(QStringLiteral("audio/midi")).startsWith(QLatin1String("vlmr4_mid")));
    for (int n = 1; n <= t_.types->count(); ++n) {
        EXPECT_FALSE(t_.stored(fileTypeKey(n, "type")).startsWith(QLatin1String("vlmr4_"))) << n;
        EXPECT_TRUE(t_.types->entry(n).checked) << n;
    }
    for (int n = 1; n <= t_.types->count(); ++n)
        t_.types->DissociateType(n);
    EXPECT_EQ(allDefaults(), before);
    EXPECT_EQ(readAll(mimeapps()), before_);
}

// classes.ini is the record: a start brings back what was lost since.
TEST_F(FreedesktopTest, AStartBringsBackDesktopFilesLostSince)
{
    t_.types->LoadFileTypes();
    const int mp3 = entryNumber(QStringLiteral("mp3"));
    t_.types->AssociateType(mp3);
    desktop_->waitForTools(30000);
    const QStringList lost{data(QStringLiteral("applications/vlmr4_mp3file.desktop")),
                           data(QStringLiteral("applications/vlmr4_wavfile.desktop")),
                           data(QStringLiteral("icons/hicolor/48x48/mimetypes/velmora4-mp3.png")),
                           desktop_->folderActionFiles().value(2)};
    QMap<QString, QByteArray> before;
    for (const QString& file : lost) {
        before[file] = readAll(file);
        ASSERT_TRUE(QFile::remove(file)) << file.toStdString();
    }
    // The next start, with a projection of its own.
    auto fresh = std::make_unique<FreedesktopProjection>(program_, FreedesktopProjection::Folders::fromEnvironment());
    t_.build(fresh.get(), program_);
    desktop_ = std::move(fresh);
    t_.types->LoadFileTypes();
    desktop_->waitForTools(30000);
    for (const QString& file : lost)
        EXPECT_EQ(readAll(file), before[file]) << file.toStdString();
    EXPECT_TRUE(t_.types->entry(mp3).checked);
    EXPECT_EQ(defaultFor(QStringLiteral("audio/mpeg")), "vlmr4_mp3file.desktop");
}

TEST_F(FreedesktopTest, AListThatCannotBeReadOrWrittenIsLeftAloneAndTheTypeStaysUnmarked)
{
    t_.types->LoadFileTypes();
    const int mp3 = entryNumber(QStringLiteral("mp3"));
    for (const QFileDevice::Permissions mode : {QFileDevice::ReadOwner | QFileDevice::ReadGroup, QFileDevice::Permissions()}) {
        QFile::setPermissions(mimeapps(), mode);
        t_.types->AssociateType(mp3);
        EXPECT_FALSE(t_.types->entry(mp3).checked) << "the take-over did not happen";
        EXPECT_EQ(t_.stored(fileTypeKey(mp3, "checked")), "0");
        EXPECT_EQ(QFile::permissions(mimeapps()).toInt() & 0x7077, mode.toInt()) << "not replaced";
        QFile::setPermissions(mimeapps(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        EXPECT_EQ(readAll(mimeapps()), before_);
    }
}

TEST_F(FreedesktopTest, ALinkedListIsWrittenThroughAndStays)
{
    const QString target = home_.file(QStringLiteral("dotfiles/mimeapps.list"));
    QDir().mkpath(QFileInfo(target).absolutePath());
    ASSERT_TRUE(QFile::rename(mimeapps(), target));
    ASSERT_TRUE(QFile::link(target, mimeapps()));
    t_.types->LoadFileTypes();
    const int mid = entryNumber(QStringLiteral("mid"));
    t_.types->AssociateType(mid);
    EXPECT_TRUE(QFileInfo(mimeapps()).isSymLink());
    EXPECT_TRUE(readAll(target).contains("audio/midi=vlmr4_midfile.desktop;"));
    t_.types->DissociateType(mid);
    EXPECT_EQ(readAll(target), before_);

    // The player's key was the only one: the key goes, the link stays.
    test::writeFile(target, "");
    t_.types->AssociateType(mid);
    t_.types->DissociateType(mid);
    EXPECT_TRUE(QFileInfo(mimeapps()).isSymLink());
    EXPECT_FALSE(readAll(target).contains("vlmr4_"));
}

// KDE reads kde-mimeapps.list before mimeapps.list.
TEST_F(FreedesktopTest, TheDesktopsOwnListIsWhereATakeOverTakesEffect)
{
    currentDesktop_ = QStringLiteral("KDE");
    FreedesktopProjection::Folders folders = FreedesktopProjection::Folders::fromEnvironment();
    folders.desktops = {QStringLiteral("kde")};
    auto kde = std::make_unique<FreedesktopProjection>(program_, folders);
    t_.build(kde.get(), program_);
    desktop_ = std::move(kde);
    const QString kdeList = home_.file(QStringLiteral("xdg-config/kde-mimeapps.list"));
    writeEntry(QStringLiteral("kde-player.desktop"));
    test::writeFile(kdeList, "[Default Applications]\naudio/mpeg=kde-player.desktop;\n");
    const QByteArray kdeBefore = readAll(kdeList);
    ASSERT_EQ(gioDefault(QStringLiteral("audio/mpeg")), "kde-player.desktop");
    t_.types->LoadFileTypes();
    const int mp3 = entryNumber(QStringLiteral("mp3"));
    t_.types->AssociateType(mp3);
    EXPECT_EQ(t_.stored(fileTypeKey(mp3, "type")), "kde-player.desktop");
    EXPECT_EQ(gioDefault(QStringLiteral("audio/mpeg")), "vlmr4_mp3file.desktop");
    t_.types->DissociateType(mp3);
    EXPECT_EQ(gioDefault(QStringLiteral("audio/mpeg")), "kde-player.desktop");
    EXPECT_EQ(readAll(kdeList), kdeBefore);
    EXPECT_EQ(readAll(mimeapps()), before_);
}

TEST(FreedesktopFolders, RelativeValuesAreIgnored)
{
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME"), oldDirs = qgetenv("XDG_DATA_DIRS");
    qputenv("XDG_CONFIG_HOME", "relative/config");
    qputenv("XDG_DATA_DIRS", "relative/share:/abs/share");
    const FreedesktopProjection::Folders folders = FreedesktopProjection::Folders::fromEnvironment();
    qputenv("XDG_CONFIG_HOME", oldConfig);
    qputenv("XDG_DATA_DIRS", oldDirs);
    EXPECT_EQ(folders.configHome, QDir::homePath() + QStringLiteral("/.config"));
    EXPECT_EQ(folders.dataDirs, QStringList{QStringLiteral("/abs/share")});
}

}  // namespace
