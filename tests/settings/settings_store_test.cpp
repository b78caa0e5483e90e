#include "settings/settings_store.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QThread>

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

using namespace velmora;

namespace {

class SettingsStoreTest : public ::testing::Test {
protected:
    QString path() const { return home.file(QStringLiteral("config/settings.ini")); }
    test::TempHome home;
};

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

TEST_F(SettingsStoreTest, AwkwardKeysAndValuesRoundTrip)
{
    const QStringList awkward = {
        QStringLiteral("a=b"), QStringLiteral("[section]"), QStringLiteral("; not a comment"),
        QStringLiteral("\"quoted\""), QStringLiteral("'single'"), QStringLiteral("  leading blanks"),
        QStringLiteral("trailing blanks  "), QStringLiteral("line\nbreak\r\nand more"),
        QStringLiteral("100% sure %41"), QStringLiteral("back\\slash"), QStringLiteral("Песня@185"),
        QStringLiteral("夜 🎵"), QStringLiteral(" "), QString(),
    };
    {
        SettingsStore store(path());
        for (int i = 0; i < awkward.size(); ++i) {
            store.save(QStringLiteral("Save"), awkward[i].isEmpty() ? QStringLiteral("empty") : awkward[i],
                       awkward[(i + 3) % awkward.size()]);
        }
    }
    SettingsStore fresh(path());
    for (int i = 0; i < awkward.size(); ++i) {
        const QString key = awkward[i].isEmpty() ? QStringLiteral("empty") : awkward[i];
        EXPECT_EQ(fresh.get(QStringLiteral("Save"), key, QStringLiteral("<missing>")),
                  awkward[(i + 3) % awkward.size()])
            << key.toStdString();
    }
    // A line break never reaches the file as one: each key stays one line.
    const QByteArray text = readAll(path());
    EXPECT_EQ(text.count('\n'), awkward.size() + 2);  // header, keys, blank line
}

TEST_F(SettingsStoreTest, NamesCompareWithoutCase)
{
    SettingsStore store(path());
    store.save(QStringLiteral("Settings"), QStringLiteral("MailslotName"), QStringLiteral("Velmora 4"));
    store.save(QStringLiteral("settings"), QStringLiteral("volumeTransparanted"), QStringLiteral("60"));
    store.save(QStringLiteral("SETTINGS"), QStringLiteral("VolumeTransparanted"), QStringLiteral("70"));
    SettingsStore fresh(path());
    EXPECT_EQ(fresh.get(QStringLiteral("settings"), QStringLiteral("mailslotname")), "Velmora 4");
    EXPECT_EQ(fresh.get(QStringLiteral("Settings"), QStringLiteral("VOLUMETRANSPARANTED")), "70");
    EXPECT_EQ(readAll(path()).count(QByteArrayView("[")), 1);  // one section in the file
}

TEST_F(SettingsStoreTest, MissingKeysGiveTheDefaultAndDeleteKeyIsHarmless)
{
    SettingsStore store(path());
    EXPECT_EQ(store.get(QStringLiteral("Settings"), QStringLiteral("AutoNext"), QStringLiteral("1")), "1");
    EXPECT_TRUE(store.get(QStringLiteral("Settings"), QStringLiteral("AutoNext")).isNull());
    store.deleteKey(QStringLiteral("Settings"), QStringLiteral("nothing"));
    store.save(QStringLiteral("Settings"), QStringLiteral("AutoNext"), QStringLiteral("0"));
    store.deleteKey(QStringLiteral("settings"), QStringLiteral("autonext"));
    EXPECT_EQ(store.get(QStringLiteral("Settings"), QStringLiteral("AutoNext"), QStringLiteral("1")), "1");
    SettingsStore fresh(path());
    EXPECT_EQ(fresh.get(QStringLiteral("Settings"), QStringLiteral("AutoNext"), QStringLiteral("1")), "1");
}

TEST_F(SettingsStoreTest, DeleteApplicationLeavesEveryGetAtItsDefault)
{
    SettingsStore store(path());
    store.save(QStringLiteral("Settings"), QStringLiteral("Volume"), QStringLiteral("40"));
    store.save(QStringLiteral("Position"), QStringLiteral("Left"), QStringLiteral("12.5"));
    store.deleteApplication();
    EXPECT_FALSE(QFile::exists(path()));
    EXPECT_EQ(store.get(QStringLiteral("Settings"), QStringLiteral("Volume"), QStringLiteral("100")), "100");
    EXPECT_EQ(store.get(QStringLiteral("Position"), QStringLiteral("Left"), QStringLiteral("d")), "d");
    SettingsStore fresh(path());
    EXPECT_EQ(fresh.get(QStringLiteral("Settings"), QStringLiteral("Volume"), QStringLiteral("100")), "100");
}

TEST_F(SettingsStoreTest, ChangesByAnotherCopyAreSeen)
{
    SettingsStore mine(path());
    SettingsStore other(path());
    mine.save(QStringLiteral("Settings"), QStringLiteral("Tray"), QStringLiteral("0"));
    other.save(QStringLiteral("Settings"), QStringLiteral("Toolbar"), QStringLiteral("1"));
    // Our save re-reads the file first, so the other copy's key survives it.
    mine.save(QStringLiteral("Settings"), QStringLiteral("Tray"), QStringLiteral("1"));
    // A get looks at the file again once its recheck interval has passed.
    EXPECT_TRUE(test::waitFor([&] { return mine.get(QStringLiteral("Settings"), QStringLiteral("Toolbar")) == "1"; },
                              std::chrono::seconds(2)));
    EXPECT_TRUE(test::waitFor([&] { return other.get(QStringLiteral("Settings"), QStringLiteral("Tray")) == "1"; },
                              std::chrono::seconds(2)));
}

TEST_F(SettingsStoreTest, TwoProcessesSavingAtOnceLoseNothing)
{
    constexpr int kKeys = 500;
    SettingsStore(path()).save(QStringLiteral("Start"), QStringLiteral("x"), QStringLiteral("1"));
    pid_t children[2];
    for (int c = 0; c < 2; ++c) {
        children[c] = fork();
        ASSERT_GE(children[c], 0);
        if (children[c] == 0) {
            SettingsStore store(path());
            for (int i = 0; i < kKeys; ++i)
                store.save(QStringLiteral("P%1").arg(c), QStringLiteral("key%1").arg(i), QString::number(i * 7 + c));
            _exit(0);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    SettingsStore fresh(path());
    int found = 0;
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < kKeys; ++i)
            found += fresh.get(QStringLiteral("P%1").arg(c), QStringLiteral("key%1").arg(i)) == QString::number(i * 7 + c);
    EXPECT_EQ(found, 2 * kKeys);
    EXPECT_EQ(fresh.get(QStringLiteral("Start"), QStringLiteral("x")), "1");
}

TEST_F(SettingsStoreTest, SaveInterruptedBeforeTheRenameLeavesTheOldFileWhole)
{
    SettingsStore(path()).save(QStringLiteral("Settings"), QStringLiteral("Volume"), QStringLiteral("30"));
    const QByteArray before = readAll(path());
    QString leftover;
    SettingsStore::Options options;
    options.beforeRename = [&](const QString& temp) {
        leftover = temp;
        return false;  // the copy dies here
    };
    SettingsStore crashing(path(), options);
    crashing.save(QStringLiteral("Settings"), QStringLiteral("Volume"), QStringLiteral("90"));
    EXPECT_TRUE(QFile::exists(leftover));
    EXPECT_EQ(readAll(path()), before);
    EXPECT_EQ(SettingsStore(path()).get(QStringLiteral("Settings"), QStringLiteral("Volume")), "30");
}

TEST_F(SettingsStoreTest, UnwritableStoreKeepsValuesInMemoryAndReportsNothing)
{
    // A plain file where the folder should be: no save can reach the disk
    // (permission bits alone do not stop root, who runs CI).
    test::writeFile(home.file(QStringLiteral("blocked")), "x");
    SettingsStore store(home.file(QStringLiteral("blocked/settings.ini")));
    store.save(QStringLiteral("Settings"), QStringLiteral("Volume"), QStringLiteral("55"));
    store.deleteKey(QStringLiteral("Settings"), QStringLiteral("none"));
    EXPECT_EQ(store.get(QStringLiteral("Settings"), QStringLiteral("Volume")), "55");
}

TEST_F(SettingsStoreTest, ALinkedSettingsFileStaysALink)
{
    const QString target = test::writeFile(home.file(QStringLiteral("dotfiles/settings.ini")), "[Settings]\nA=1\n");
    QDir().mkpath(home.file(QStringLiteral("config")));
    ASSERT_TRUE(QFile::link(target, path()));
    SettingsStore store(path());
    store.save(QStringLiteral("Settings"), QStringLiteral("B"), QStringLiteral("2"));
    EXPECT_TRUE(QFileInfo(path()).isSymLink());
    EXPECT_TRUE(readAll(target).contains("B=2"));
}

TEST_F(SettingsStoreTest, CoalescedSavesWriteTheLastValue)
{
    SettingsStore::Options options;
    options.coalesceInterval = std::chrono::milliseconds(50);
    SettingsStore store(path(), options);
    for (int i = 0; i <= 100; ++i)
        store.saveSoon(QStringLiteral("Settings"), QStringLiteral("Volume"), QString::number(i));
    EXPECT_EQ(store.get(QStringLiteral("Settings"), QStringLiteral("Volume")), "100");
    EXPECT_FALSE(QFile::exists(path()));  // nothing written yet
    ASSERT_TRUE(test::waitFor([&] { return QFile::exists(path()); }, std::chrono::seconds(5)));
    EXPECT_EQ(SettingsStore(path()).get(QStringLiteral("Settings"), QStringLiteral("Volume")), "100");
}

TEST_F(SettingsStoreTest, FlushWritesPendingValuesAtShutdown)
{
    {
        SettingsStore store(path());
        store.saveSoon(QStringLiteral("Settings"), QStringLiteral("Balance"), QStringLiteral("42"));
    }
    EXPECT_EQ(SettingsStore(path()).get(QStringLiteral("Settings"), QStringLiteral("Balance")), "42");
}
