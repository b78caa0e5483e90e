// The ".pml" file: the saved text, relative paths, round trips of random
// trees, the older layout, playlists that include themselves, failed saves
// and malformed or random input.

#include "base/file_name.h"
#include "playlist/playlist_file.h"
#include "playlist/playlist_model.h"
#include "settings/profile_document.h"
#include "playlist_test_util.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <csignal>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace velmora;
using velmora::test::table;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct FileFixture : ::testing::Test {
    test::TempHome home;
    QString dir = home.path();
    QString at(const QString& name) const { return dir + QLatin1Char('/') + name; }
};

}  // namespace

TEST_F(FileFixture, SavedTextOfFilesAndAGroup)
{
    PlaylistModel m;
    m.addPath(at("a.mp3"));
    m.appendGroup(QStringLiteral("G"), 2, true, 0);
    m.addPath(at("sub/b.mp3"), AddOptions::at(3).withChecked(false));
    m.addPath(at("c.mp3"));
    ASSERT_TRUE(savePlaylistFile(m, at("list.pml")));
    EXPECT_EQ(readAll(at("list.pml")),
              "[main]\nfiles=3\nversion=4\n\n"
              "[file1]\npath=a.mp3\ntext=a.mp3\nchecked=True\ndeep=1\nnextmeta=True\n\n"
              "[file1meta1]\ntext=G\nchecked=True\ndeep=2\n\n"
              "[file2]\npath=sub/b.mp3\ntext=b.mp3\nchecked=False\ndeep=3\n\n"
              "[file3]\npath=c.mp3\ntext=c.mp3\nchecked=True\ndeep=1\n");
}

TEST_F(FileFixture, GroupsFirstAndGroupsInARow)
{
    PlaylistModel m;
    m.appendGroup(QStringLiteral("First"), 2, true, 0);
    m.addPath(at("1.mp3"), AddOptions::at(3));
    m.addPath(at("2.mp3"), AddOptions::at(3));
    m.appendGroup(QStringLiteral("X"), 4, false, 0);
    m.appendGroup(QStringLiteral("Y"), 4, true, 0);
    ASSERT_TRUE(savePlaylistFile(m, at("list.pml")));
    const ProfileDocument doc = ProfileDocument::fromFile(at("list.pml"));
    EXPECT_EQ(doc.readKey(u"main", u"nextmeta"), "True");
    EXPECT_EQ(doc.readKey(u"main", u"files"), "2");
    EXPECT_EQ(doc.readKey(u"file0meta1", u"text"), "First");
    EXPECT_EQ(doc.readKey(u"file0meta1", u"nextmeta"), "");
    EXPECT_EQ(doc.readKey(u"file1", u"nextmeta"), "");
    EXPECT_EQ(doc.readKey(u"file2", u"nextmeta"), "True");
    EXPECT_EQ(doc.readKey(u"file2meta1", u"text"), "X");
    EXPECT_EQ(doc.readKey(u"file2meta1", u"checked"), "False");
    EXPECT_EQ(doc.readKey(u"file2meta1", u"nextmeta"), "True");
    EXPECT_EQ(doc.readKey(u"file2meta2", u"text"), "Y");
    EXPECT_EQ(doc.readKey(u"file2meta2", u"nextmeta"), "");
}

TEST_F(FileFixture, EmptyPlaylistAndRootOnly)
{
    PlaylistModel m;
    ASSERT_TRUE(savePlaylistFile(m, at("empty.pml")));
    EXPECT_EQ(readAll(at("empty.pml")), "[main]\nfiles=0\nversion=4\n");
    m.addPath(at("x.mp3"));
    m.removeEntryWithSubtree(2);
    ASSERT_TRUE(savePlaylistFile(m, at("root.pml")));
    EXPECT_EQ(readAll(at("root.pml")), "[main]\nfiles=0\nversion=4\n");
}

TEST(PlaylistPaths, RelativeWhereTheyShareAFolder)
{
    const QString list = QStringLiteral("/home/u/music/list.pml");
    EXPECT_EQ(relativePlaylistPath("/home/u/music/x.mp3", list), "x.mp3");
    EXPECT_EQ(relativePlaylistPath("/home/u/music/a/x.mp3", list), "a/x.mp3");
    EXPECT_EQ(relativePlaylistPath("/home/u/other/y.mp3", list), "../other/y.mp3");
    EXPECT_EQ(relativePlaylistPath("/home/v/z.mp3", list), "../../v/z.mp3");
    EXPECT_EQ(relativePlaylistPath("/srv/y.mp3", list), "/srv/y.mp3");  // only "/" in common
    EXPECT_EQ(relativePlaylistPath("/y.mp3", QStringLiteral("/list.pml")), "/y.mp3");
    EXPECT_EQ(relativePlaylistPath("C:\\music\\y.mp3", list), "C:\\music\\y.mp3");
    EXPECT_EQ(relativePlaylistPath("/home/u/music", QStringLiteral("/home/u/music/deeper/list.pml")), "../../music");

    EXPECT_EQ(resolvePlaylistPath("a/x.mp3", list), "/home/u/music/a/x.mp3");
    EXPECT_EQ(resolvePlaylistPath("..\\other\\.\\y.mp3", list), "/home/u/other/y.mp3");
    EXPECT_EQ(resolvePlaylistPath("/srv//y.mp3", list), "/srv/y.mp3");
    EXPECT_EQ(resolvePlaylistPath("D:\\y.mp3", list), "D:\\y.mp3");
}

// On Linux "\" is a character of a file name: a saved path keeps it, and
// only the older platform's paths (no "/" at all) are split at it.
TEST_F(FileFixture, BackslashesAndNamesThatAreNotUtf8SurviveARoundTrip)
{
    PlaylistModel m;
    m.addPath(at("AC\\DC.mp3"));
    m.addPath(at("Rock\\Pop/Live\\1.mp3"));
    const QString bytes = fileNameFromBytes(QByteArray("/tmp/x/caf\xe9 \xcf.mp3"));
    m.addPath(bytes);
    EXPECT_EQ(m.entry(2).text, "AC\\DC.mp3");
    ASSERT_TRUE(savePlaylistFile(m, at("list.pml")));
    PlaylistModel loaded;
    loadPlaylistFile(loaded, at("list.pml"));
    ASSERT_EQ(loaded.playlistCount(), 5);
    EXPECT_EQ(loaded.entry(3).path, at("AC\\DC.mp3"));
    EXPECT_EQ(loaded.entry(4).path, at("Rock\\Pop/Live\\1.mp3"));
    EXPECT_EQ(fileNameBytes(loaded.entry(5).path), QByteArray("/tmp/x/caf\xe9 \xcf.mp3"));

    const QString list = QStringLiteral("/home/u/music/list.pml");
    EXPECT_EQ(resolvePlaylistPath("sub/AC\\DC.mp3", list), "/home/u/music/sub/AC\\DC.mp3");
    EXPECT_EQ(resolvePlaylistPath("sub\\x.mp3", list), "/home/u/music/sub/x.mp3");
    EXPECT_EQ(entryTextForPath("C:\\music\\y.mp3"), "y.mp3");
}

// Saving replaces the content, not the file's standing: its permissions,
// a link that points at it; a new file gets what the umask allows.
TEST_F(FileFixture, SavingKeepsPermissionsAndLinks)
{
    PlaylistModel m;
    m.addPath(at("a.mp3"));
    auto mode = [](const QString& path) {
        struct stat st {};
        return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0u;
    };

    test::writeFile(at("shared.pml"), "old");
    ASSERT_TRUE(QFile::setPermissions(at("shared.pml"), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup
                                                            | QFile::WriteGroup));
    ASSERT_TRUE(savePlaylistFile(m, at("shared.pml")));
    EXPECT_EQ(mode(at("shared.pml")), 0660u);

    ASSERT_TRUE(QDir(dir).mkpath(QStringLiteral("real")));
    test::writeFile(at("real/list.pml"), "old");
    ASSERT_TRUE(QFile::link(at("real/list.pml"), at("link.pml")));
    ASSERT_TRUE(savePlaylistFile(m, at("link.pml")));
    EXPECT_TRUE(QFileInfo(at("link.pml")).isSymLink());
    EXPECT_TRUE(readAll(at("real/list.pml")).startsWith("[main]"));

    const mode_t before = ::umask(027);
    const bool saved = savePlaylistFile(m, at("new.pml"));
    ::umask(before);
    ASSERT_TRUE(saved);
    EXPECT_EQ(mode(at("new.pml")), 0640u);
    EXPECT_TRUE(QDir(dir).entryList(QDir::Hidden | QDir::Files).filter(QStringLiteral(".new.pml")).isEmpty());
}

TEST_F(FileFixture, RandomTreesComeBackOneLevelDeeper)
{
    const QStringList texts = {QStringLiteral("plain"), QStringLiteral("  lead"), QStringLiteral("trail  "),
                               QStringLiteral("\"quoted\""), QStringLiteral("'single"), QStringLiteral("Кириллица"),
                               QStringLiteral("a=b;c[d]"), QString()};
    const QString list = at("music/lists/round.pml");
    QDir().mkpath(at("music/lists"));
    for (unsigned seed = 1; seed <= 300; ++seed) {
        std::mt19937 rng(seed);
        PlaylistModel saved;
        const int n = static_cast<int>(rng() % 40);
        for (int i = 0; i < n; ++i) {
            QString text = texts[static_cast<qsizetype>(rng() % texts.size())];
            if (rng() % 2)
                text = rng() % 2 ? text + QString::number(i) : QString::number(i) + text;
            const int nesting = 1 + static_cast<int>(rng() % 8);
            const bool checked = rng() % 4 != 0;
            if (rng() % 3 == 0) {
                saved.appendGroup(text, nesting, checked, 0);
            } else {
                static const char* const folders[] = {"music/lists/", "music/", "music/a b/", "other/", ""};
                const QString path = at(QString::fromLatin1(folders[rng() % 5]) + QStringLiteral("f%1.mp3").arg(i));
                saved.addPath(rng() % 7 ? path : QStringLiteral("/srv/f%1.ogg").arg(i),
                              AddOptions::at(nesting).withText(text).withChecked(checked));
            }
        }
        ASSERT_TRUE(savePlaylistFile(saved, list));
        PlaylistModel loaded;
        loaded.addPath(at("before.mp3"));
        EXPECT_EQ(loaded.addPath(list), std::max(1, saved.playlistCount()));
        ASSERT_EQ(loaded.playlistCount(), 3 + std::max(0, saved.playlistCount() - 1)) << "seed " << seed;
        EXPECT_EQ(loaded.entry(3).text, "round.pml");
        EXPECT_EQ(loaded.entry(3).deep, 2);
        EXPECT_TRUE(loaded.entry(3).checked);
        for (int i = 2; i <= saved.playlistCount(); ++i) {
            const PlaylistEntry& a = saved.entry(i);
            const PlaylistEntry& b = loaded.entry(i + 2);
            ASSERT_EQ(b.deep, a.deep + 2) << "seed " << seed << " entry " << i;
            ASSERT_EQ(b.text, a.text) << "seed " << seed << " entry " << i;
            ASSERT_EQ(b.path, a.path) << "seed " << seed << " entry " << i;
            ASSERT_EQ(b.checked, a.checked) << "seed " << seed << " entry " << i;
            ASSERT_EQ(b.time, a.isGroup() ? 0 : kTimeUnmeasured);
        }
    }
}

// The list kept for the next start comes back as it was: same nesting,
// texts, paths and marks, with its current entry and position; a missing,
// broken or foreign file restores nothing or a valid tree.
TEST_F(FileFixture, TheListToRestoreComesBackAsItWas)
{
    PlaylistModel saved;
    saved.appendGroup(QStringLiteral("G"), 2, false, 0);
    saved.addPath(at("music/a.mp3"), AddOptions::at(3).withText(QStringLiteral("Первый")));
    saved.addPath(QStringLiteral("/srv/b.ogg"), AddOptions::at(1).withChecked(false));
    saved.addPath(at("c.mp3"));
    const QString last = at("config/last.pml");
    QDir().mkpath(at("config"));
    ASSERT_TRUE(saveListToRestore(saved, last, {3, 41.25}));
    PlaylistModel restored;
    const ListPlace place = restoreList(restored, last);
    EXPECT_EQ(table(restored), table(saved));
    for (int i = 2; i <= saved.playlistCount(); ++i) {
        EXPECT_EQ(restored.entry(i).path, saved.entry(i).path) << i;
        EXPECT_EQ(restored.entry(i).checked, saved.entry(i).checked) << i;
    }
    EXPECT_EQ(place.current, 3);
    EXPECT_DOUBLE_EQ(place.position, 41.25);
    EXPECT_EQ(restored.currentIndex(), -1) << "selecting it is the caller's";

    PlaylistModel notEmpty;  // only an empty list takes it
    notEmpty.addPath(at("x.mp3"));
    EXPECT_EQ(restoreList(notEmpty, last).current, -1);
    EXPECT_EQ(notEmpty.playlistCount(), 2);

    PlaylistModel longList;  // a current entry far down is brought into view
    for (int i = 0; i < 40; ++i)
        longList.addPath(at(QStringLiteral("f%1.mp3").arg(i)));
    ASSERT_TRUE(saveListToRestore(longList, last, {30, 0}));
    PlaylistModel view;
    view.setVisibleRows(10);
    EXPECT_EQ(restoreList(view, last).current, 30);
    EXPECT_EQ(view.scrollOffset(), 25);  // rows 26 ... 35

    ASSERT_TRUE(saveListToRestore(saved, last, {2, 5}));  // a group is no current entry
    PlaylistModel noCurrent;
    EXPECT_EQ(restoreList(noCurrent, last).current, -1);

    for (const QByteArray& broken : {QByteArray("\xff\xfe garbage [x"), QByteArray("[main]\nfiles=9\nversion=4\ncurrent=7\n"),
                                     QByteArray("[main]\nfiles=1\n[file1]\npath=a.mp3\n")}) {
        test::writeFile(last, broken);
        PlaylistModel m;
        EXPECT_EQ(restoreList(m, last).current, -1);
        EXPECT_TRUE(m.isEmpty()) << broken.toStdString();
    }
    PlaylistModel none;
    EXPECT_EQ(restoreList(none, at("config/missing.pml")).current, -1);
    EXPECT_TRUE(none.isEmpty());
}

TEST_F(FileFixture, LoadingTwiceAddsTwoEqualGroups)
{
    PlaylistModel m;
    m.addPath(at("a.mp3"));
    m.addPath(at("b.mp3"));
    ASSERT_TRUE(savePlaylistFile(m, at("party.PML")));
    PlaylistModel n;
    n.addPath(at("party.PML"));
    n.addPath(at("party.PML"), AddOptions::at(1).withText(QStringLiteral("again")));
    EXPECT_EQ(table(n), QStringList({"0:Все клипы", "2:party.PML", "3:a.mp3", "3:b.mp3", "2:again", "3:a.mp3", "3:b.mp3"}));
}

TEST_F(FileFixture, OlderLayoutAddsCheckedFilesOneLevelDown)
{
    test::writeFile(at("old/list.pml"), "[main]\nfiles=2\nversion=3\n[file1]\npath=x.mp3\ntext=Икс\n"
                                        "[file2]\npath=sub\\y.mp3\ntext=y\nchecked=False\ndeep=7\n");
    PlaylistModel m;
    m.addPath(at("old/list.pml"), AddOptions::at(1).withChecked(false));
    EXPECT_EQ(table(m), QStringList({"0:Все клипы", "2:list.pml", "3:Икс", "3:y"}));
    EXPECT_EQ(m.entry(3).path, at("old/x.mp3"));
    EXPECT_EQ(m.entry(4).path, at("old/sub/y.mp3"));
    EXPECT_TRUE(m.entry(2).checked);
    EXPECT_TRUE(m.entry(4).checked);
    // No version at all is the older layout too; no "files" adds the group alone.
    test::writeFile(at("nofiles.pml"), "[main]\nversion=4\n[file1]\npath=x.mp3\n");
    m.addPath(at("nofiles.pml"));
    m.addPath(at("missing.pml"));
    EXPECT_EQ(table(m).mid(4), QStringList({"2:nofiles.pml", "2:missing.pml"}));
}

TEST_F(FileFixture, CodePageFileIsRead)
{
    test::writeFile(at("cp.pml"), "[main]\nfiles=1\nversion=4\n[file1]\npath=\xEF\xE5\xF1\xED\xFF.mp3\n"
                                  "text=\xEF\xE5\xF1\xED\xFF\nchecked=1\ndeep=1\n");
    PlaylistModel m;
    m.addPath(at("cp.pml"));
    EXPECT_EQ(m.entry(3).text, "песня");
    EXPECT_EQ(m.entry(3).path, at("песня.mp3"));
}

TEST_F(FileFixture, APlaylistThatIncludesItselfAddsItOnce)
{
    test::writeFile(at("self.pml"), "[main]\nfiles=2\nversion=4\n[file1]\npath=self.pml\ntext=again\ndeep=1\n"
                                    "[file2]\npath=x.mp3\ntext=x\ndeep=1\n");
    test::writeFile(at("a.pml"), "[main]\nfiles=2\nversion=4\n[file1]\npath=b.pml\ntext=b\ndeep=1\n"
                                 "[file2]\npath=a.mp3\ntext=a\ndeep=1\n");
    test::writeFile(at("b.pml"), "[main]\nfiles=2\nversion=4\n[file1]\npath=./a.pml\ntext=a again\ndeep=1\n"
                                 "[file2]\npath=b.mp3\ntext=b\ndeep=1\n");
    PlaylistModel m;
    m.addPath(at("self.pml"));
    m.addPath(at("a.pml"));
    EXPECT_EQ(table(m), QStringList({"0:Все клипы", "2:self.pml", "3:x", "2:a.pml", "4:b", "5:b", "3:a"}));
}

TEST_F(FileFixture, NestingStopsAtTheBound)
{
    for (int i = 0; i < 20; ++i)
        test::writeFile(at(QStringLiteral("n%1.pml").arg(i)),
                        QStringLiteral("[main]\nfiles=1\nversion=4\n[file1]\npath=n%1.pml\ntext=n%1\ndeep=1\n")
                            .arg(i + 1)
                            .toUtf8());
    PlaylistModel m;
    m.addPath(at("n0.pml"));
    EXPECT_EQ(m.playlistCount(), 1 + kMaxPlaylistNesting);
    EXPECT_EQ(m.entry(m.playlistCount()).deep, 2 * kMaxPlaylistNesting);
    EXPECT_TRUE(test::isWellFormedTree(m));
}

TEST_F(FileFixture, FailedSaveLeavesTheOldFileAndSaysSo)
{
    PlaylistModel m;
    m.addPath(at("a.mp3"));
    // A name so long that no temporary file fits beside it.
    const QString longName = at(QString(250, QLatin1Char('n')) + QStringLiteral(".pml"));
    test::writeFile(longName, "old contents");
    EXPECT_FALSE(savePlaylistFile(m, longName));
    EXPECT_EQ(readAll(longName), "old contents");
    // The disk refuses the bytes halfway.
    test::writeFile(at("full.pml"), "old contents");
    PlaylistModel big;
    for (int i = 0; i < 200; ++i)
        big.addPath(at(QStringLiteral("%1.mp3").arg(i)));
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 1000;
    setrlimit(RLIMIT_FSIZE, &small);
    const bool saved = savePlaylistFile(big, at("full.pml"));
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(saved);
    EXPECT_EQ(readAll(at("full.pml")), "old contents");
    EXPECT_EQ(QDir(dir).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral(".full")).size(), 0);
    // A read-only folder (does not hold back root).
    if (geteuid() != 0) {
        QDir().mkpath(at("ro"));
        test::writeFile(at("ro/list.pml"), "old contents");
        QFile::setPermissions(at("ro"), QFile::ReadOwner | QFile::ExeOwner);
        EXPECT_FALSE(savePlaylistFile(m, at("ro/list.pml")));
        EXPECT_EQ(readAll(at("ro/list.pml")), "old contents");
        QFile::setPermissions(at("ro"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
}

TEST_F(FileFixture, QuotesBlanksAndLineBreaksInTexts)
{
    PlaylistModel m;
    m.addPath(at(" spaced .mp3"), AddOptions::at(1).withText(QStringLiteral("two\nlines")));
    m.appendGroup(QStringLiteral("  \"both\"  "), 2, true, 0);
    ASSERT_TRUE(savePlaylistFile(m, at("q.pml")));
    PlaylistModel n;
    n.addPath(at("q.pml"));
    EXPECT_EQ(n.entry(3).text, "two lines");
    EXPECT_EQ(n.entry(3).path, at(" spaced .mp3"));
    EXPECT_EQ(n.entry(4).text, "  \"both\"  ");
}

TEST_F(FileFixture, MalformedValuesLoadIntoAWellFormedTree)
{
    const QByteArray huge(10 * 1024 * 1024, 'x');
    test::writeFile(at("bad.pml"),
                    "[main]\nfiles=99999999999\nversion=4\nnextmeta=1\n"
                    "[file0meta1]\ntext=G\ndeep=banana\nnextmeta=yes\n"  // missing deep; "yes" is not a flag
                    "[file1]\npath=a.mp3\ntext=even\ndeep=4\n"           // even deep on a file
                    "[file2]\npath=b.mp3\ntext=deeper\ndeep=31\nnextmeta=True\n"  // jumps far down
                    "[file2meta1]\ntext=odd\ndeep=-3\n"                  // negative, odd, on a group
                    "[file3]\ntext=no path\ndeep=1\n"                    // skipped
                    "[file4]\npath=" + huge + "\ntext=" + huge + "\n"       // a 10 MB path: skipped
                    "[file5]\npath=c.mp3\ntext=" + huge + "\ndeep=\n");     // a 10 MB text: cut
    test::writeFile(at("neg.pml"), "[main]\nfiles=-4\nversion=4\n[file1]\npath=a.mp3\n");
    test::writeFile(at("bare.pml"), "[main]\nfiles=2\nversion=4\n[file1]\npath=sub/a.mp3\n[file2]\npath=b.mp3\ntext=\n");
    PlaylistModel m;
    m.addPath(at("bad.pml"));
    m.addPath(at("neg.pml"));
    m.addPath(at("bare.pml"));
    ASSERT_TRUE(test::isWellFormedTree(m));
    const QStringList t = table(m);
    ASSERT_EQ(t.size(), 11);
    EXPECT_EQ(t.mid(8), QStringList({"2:bare.pml", "3:a.mp3", "3:"})) << "no text key: the file's name";
    EXPECT_EQ(t.mid(0, 6), QStringList({"0:Все клипы", "2:bad.pml", "4:G", "5:even", "5:deeper", "4:odd"}));
    EXPECT_EQ(m.entry(7).deep, 5);
    EXPECT_EQ(m.entry(7).path, at("c.mp3"));
    EXPECT_EQ(m.entry(7).text.size(), 4096);
    EXPECT_EQ(t[7], "2:neg.pml");
}

TEST_F(FileFixture, RandomAndTruncatedFilesNeverBreakTheTree)
{
    PlaylistModel source;
    std::mt19937 build(7);
    for (int i = 0; i < 60; ++i) {
        if (build() % 3 == 0)
            source.appendGroup(QStringLiteral("g%1").arg(i), 2 + 2 * static_cast<int>(build() % 4), build() % 2, 0);
        else
            source.addPath(at(QStringLiteral("f%1.mp3").arg(i)), AddOptions::at(1 + 2 * static_cast<int>(build() % 4)));
    }
    ASSERT_TRUE(savePlaylistFile(source, at("good.pml")));
    const QByteArray good = readAll(at("good.pml"));
    for (unsigned seed = 1; seed <= 300; ++seed) {
        std::mt19937 rng(seed);
        QByteArray bytes;
        switch (seed % 3) {
        case 0:  // cut anywhere
            bytes = good.left(static_cast<qsizetype>(rng() % static_cast<unsigned>(good.size())));
            break;
        case 1:  // some bytes changed
            bytes = good;
            for (int k = 0; k < 20; ++k)
                bytes[static_cast<qsizetype>(rng() % static_cast<unsigned>(bytes.size()))] = static_cast<char>(rng());
            break;
        default:  // noise with a plausible head
            bytes = "[main]\nversion=4\nfiles=50\n";
            for (int k = 0; k < 2000; ++k)
                bytes += static_cast<char>(rng() % 4 ? "[]=\nfilemeta0123456789deptxchk"[rng() % 28] : rng());
        }
        test::writeFile(at("fuzz.pml"), bytes);
        PlaylistModel m;
        m.addPath(at("fuzz.pml"));
        ASSERT_TRUE(test::isWellFormedTree(m)) << "seed " << seed;
        ASSERT_EQ(m.entry(2).text, "fuzz.pml");
        // Every entry needs a section of its own.
        ASSERT_LE(m.playlistCount(), 2 + bytes.count('[')) << "seed " << seed;
    }
}
