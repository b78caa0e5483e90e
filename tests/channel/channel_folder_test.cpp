// What the channel finds on disk: the runtime folder, the instance lock, the
// channel name in settings.ini, and the long form of a command's path.

#include "channel/channel_name.h"
#include "channel/command_tokens.h"
#include "channel/instance_lock.h"
#include "channel/runtime_folder.h"
#include "settings/settings_store.h"
#include "support/test_support.h"

#include <QFile>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace velmora;
using namespace velmora::channel;

namespace {

std::string str(const QString& s)
{
    return QFile::encodeName(s).toStdString();
}

mode_t modeOf(const std::string& path)
{
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st.st_mode & 07777;
}

// Sets an environment variable for the scope of a test.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = old;
        if (value != nullptr)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

}  // namespace

TEST(ChannelRuntimeFolder, IsMadePrivateUnderTheRuntimeOrTempFolder)
{
    test::TempHome home;
    EXPECT_EQ(RuntimeFolder::defaultPath(), str(home.file("runtime")) + "/Velmora 4");
    auto folder = RuntimeFolder::open();
    ASSERT_TRUE(folder);
    EXPECT_EQ(modeOf(folder->path()), 0700u);

    // Without XDG_RUNTIME_DIR: a per-user folder under the temp folder.
    ScopedEnv noRuntime("XDG_RUNTIME_DIR", nullptr);
    ScopedEnv tmp("TMPDIR", str(home.path()).c_str());
    EXPECT_EQ(RuntimeFolder::defaultPath(), str(home.path()) + "/Velmora 4-" + std::to_string(::geteuid()));
    ScopedEnv relativeRuntime("XDG_RUNTIME_DIR", "relative/dir");
    EXPECT_EQ(RuntimeFolder::defaultPath(), str(home.path()) + "/Velmora 4-" + std::to_string(::geteuid()));
    ScopedEnv missingRuntime("XDG_RUNTIME_DIR", str(home.file("no such folder")).c_str());
    EXPECT_EQ(RuntimeFolder::defaultPath(), str(home.path()) + "/Velmora 4-" + std::to_string(::geteuid()));
    const std::string fallback = RuntimeFolder::defaultPath();
    ASSERT_EQ(::mkdir(fallback.c_str(), 0777), 0);
    ::chmod(fallback.c_str(), 0755);
    ASSERT_TRUE(RuntimeFolder::open());
    EXPECT_EQ(modeOf(fallback), 0700u) << "an existing folder is narrowed";
}

TEST(ChannelRuntimeFolder, RefusesASymbolicLinkOrAFile)
{
    test::TempHome home;
    const std::string target = str(home.file("elsewhere"));
    ASSERT_EQ(::mkdir(target.c_str(), 0700), 0);
    const std::string link = str(home.file("link"));
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
    std::string error;
    EXPECT_FALSE(RuntimeFolder::openAt(link, &error));
    EXPECT_FALSE(error.empty());
    test::writeFile(home.file("file"), "x");
    EXPECT_FALSE(RuntimeFolder::openAt(str(home.file("file"))));
}

TEST(ChannelInstanceLock, OneHolderAtATimeAndReleasedByDeath)
{
    test::TempHome home;
    auto folder = RuntimeFolder::open();
    ASSERT_TRUE(folder);
    InstanceLock::Outcome outcome {};
    {
        auto first = InstanceLock::tryAcquire(*folder, &outcome);
        ASSERT_TRUE(first);
        EXPECT_EQ(outcome, InstanceLock::Outcome::Acquired);
        EXPECT_FALSE(InstanceLock::tryAcquire(*folder, &outcome));
        EXPECT_EQ(outcome, InstanceLock::Outcome::HeldByAnother);
    }
    EXPECT_TRUE(InstanceLock::tryAcquire(*folder)) << "released with its object";

    // A holder killed without any chance to clean up leaves the lock free.
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        auto held = InstanceLock::tryAcquire(*folder);
        const char c = held ? '1' : '0';
        [[maybe_unused]] auto n = ::write(ready[1], &c, 1);
        ::pause();
        ::_exit(0);
    }
    char c = 0;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    ASSERT_EQ(c, '1');
    EXPECT_FALSE(InstanceLock::tryAcquire(*folder));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_TRUE(InstanceLock::tryAcquire(*folder));
    ::close(ready[0]);
    ::close(ready[1]);
}

TEST(ChannelName, ReadsWhatTheSettingsStoreWrote)
{
    test::TempHome home;
    const QString file = home.file("config/settings.ini");
    EXPECT_EQ(readMailslotName(str(file)), "") << "no file";
    EXPECT_EQ(configuredChannelName(), "Velmora 4");
    const QStringList names = {
        QStringLiteral("Другой канал"), QStringLiteral("  blanks at the ends  "), QStringLiteral("a=b;c[d]%41"),
        QStringLiteral("quote\"s and 'ticks'"), QStringLiteral("🎵")};
    for (const QString& name : names) {
        SettingsStore store(file);
        store.save(QStringLiteral("Settings"), QStringLiteral("Volume"), QStringLiteral("50"));
        store.save(QStringLiteral("settings"), QStringLiteral("MailslotName"), name);
        store.flush();
        EXPECT_EQ(readMailslotName(str(file)), name.toStdString());
        EXPECT_EQ(configuredChannelName(), name.toStdString());
    }
    {
        SettingsStore store(file);
        store.deleteKey(QStringLiteral("SETTINGS"), QStringLiteral("mailslotname"));
    }
    EXPECT_EQ(configuredChannelName(), "Velmora 4") << "unset again";
}

TEST(ChannelName, ReadsOnlyItsKeyInItsSectionInAnyCase)
{
    test::TempHome home;
    const std::string file = str(test::writeFile(home.file("config/settings.ini"),
        "[Position]\nMailslotName=wrong\n"
        "  [SETTINGS]  \n; MailslotName=comment\nmailslotname  =  right one \r\nMailslotName=second\n"));
    EXPECT_EQ(readMailslotName(file), "right one");
    test::writeFile(QString::fromStdString(file), "[settings]\nMailslotName=\n");
    EXPECT_EQ(configuredChannelName(), "Velmora 4") << "empty is the default";
}

TEST(ChannelName, StaysInsideTheRuntimeFolder)
{
    EXPECT_EQ(channelFileName(""), "Velmora 4");
    EXPECT_EQ(channelFileName("Velmora 4"), "Velmora 4");
    EXPECT_EQ(channelFileName("../up/and/away"), ".._up_and_away");
    EXPECT_EQ(channelFileName(".."), ".._");
    EXPECT_EQ(channelFileName("instance.lock"), "instance.lock_");
}

TEST(ChannelLongForm, KeepsSymbolicLinksAsNamed)
{
    test::TempHome home;
    const std::string alias = str(home.file("alias"));
    ASSERT_EQ(::symlink(str(home.file("real/deep")).c_str(), alias.c_str()), 0);
    // ".." after the link removes the link's name; it does not climb from the target.
    EXPECT_EQ(longPathForm(alias + "/../alias/x.mp3"), alias + "/x.mp3");
    EXPECT_EQ(longPathForm(alias + "/./x.mp3//"), alias + "/x.mp3");
}
