// The table's shape after additions, and currentIndex, totals and
// notifications through removals, moves and flattening.

#include "playlist/folder_listing.h"
#include "playlist/playlist_model.h"
#include "playlist_fakes.h"
#include "playlist_test_util.h"

#include <gtest/gtest.h>

#include <random>

using namespace velmora;
using velmora::test::table;
using velmora::test::times;

namespace {

QString clip(const QString& name) { return QStringLiteral("/music/") + name; }

// Root, a(1), G(2) { b(3), H(4) { c(5) }, d(3) }, e(1), K(2) { f(3) }
//   1    2     3      4     5        6     7     8     9       10
void buildSample(PlaylistModel& m)
{
    m.addPath(clip("a"));
    m.appendGroup(QStringLiteral("G"), 2, true, 0);
    m.addPath(clip("b"), AddOptions::at(3));
    m.appendGroup(QStringLiteral("H"), 4, true, 0);
    m.addPath(clip("c"), AddOptions::at(5));
    m.addPath(clip("d"), AddOptions::at(3));
    m.addPath(clip("e"));
    m.appendGroup(QStringLiteral("K"), 2, true, 0);
    m.addPath(clip("f"), AddOptions::at(3));
}

const QStringList kSample = {"0:Все клипы", "1:a", "2:G", "3:b", "4:H", "5:c", "3:d", "1:e", "2:K", "3:f"};

// Gives the entries times through the measuring path, as in the program.
void measure(PlaylistModel& m, const QHash<QString, double>& lengths)
{
    test::FakeLengthProbe probe;
    for (auto it = lengths.begin(); it != lengths.end(); ++it)
        probe.lengths.insert(clip(it.key()), it.value());
    m.setLengthProbe(&probe);
    m.measurePendingDurations();
    probe.deliverAll();
    m.setLengthProbe(nullptr);
}

}  // namespace

TEST(PlaylistAdd, FirstFileCreatesTheRoot)
{
    PlaylistModel m;
    EXPECT_EQ(m.addPath(QStringLiteral("/music/song.mp3")), 2);
    ASSERT_EQ(m.playlistCount(), 2);
    EXPECT_EQ(m.entry(1).text, "Все клипы");
    EXPECT_EQ(m.entry(1).time, 0);
    EXPECT_TRUE(m.entry(1).checked);
    EXPECT_EQ(m.entry(1).deep, 0);
    EXPECT_EQ(m.entry(2).text, "song.mp3");
    EXPECT_EQ(m.entry(2).path, "/music/song.mp3");
    EXPECT_EQ(m.entry(2).time, kTimeUnmeasured);
    EXPECT_EQ(m.entry(2).deep, 1);
    EXPECT_EQ(m.addPath(QStringLiteral("/music/next.mp3")), 1);
    EXPECT_EQ(m.playlistCount(), 3);
}

TEST(PlaylistAdd, DefaultTextAndGivenArguments)
{
    PlaylistModel m;
    m.addPath(QStringLiteral("C:\\old\\clip.avi"));
    m.addPath(QStringLiteral("bare.mp3"));
    m.addPath(QStringLiteral("/x/y.mp3"), AddOptions::at(1).withText(QStringLiteral("Named")).withChecked(false));
    EXPECT_EQ(m.entry(2).text, "clip.avi");
    EXPECT_EQ(m.entry(3).text, "");  // no separator: no default text
    EXPECT_EQ(m.entry(4).text, "Named");
    EXPECT_FALSE(m.entry(4).checked);
}

TEST(PlaylistAdd, NestingIsMadeToFitTheTree)
{
    PlaylistModel m;
    m.addPath(clip("deep"), AddOptions::at(7));  // nothing open but the root
    m.appendGroup(QStringLiteral("odd"), 3, true, 0);
    m.addPath(clip("even"), AddOptions::at(4));
    m.appendGroup(QStringLiteral("jump"), 40, true, 0);
    m.addPath(clip("neg"), AddOptions::at(-5));
    m.appendGroup(QStringLiteral("huge"), 1 << 30, true, 0);
    EXPECT_EQ(table(m), QStringList({"0:Все клипы", "1:deep", "2:odd", "3:even", "4:jump", "1:neg", "2:huge"}));
    EXPECT_TRUE(test::isWellFormedTree(m));
}

TEST(PlaylistAdd, FolderTreeGoesSubfoldersFirst)
{
    PlaylistModel m;
    FolderListing x{QStringLiteral("/media/Rock/X"), {}, {QStringLiteral("c.mp3")}};
    FolderListing empty{QStringLiteral("/media/Rock/Empty/"), {}, {}};
    FolderListing rock{QStringLiteral("/media/Rock/"), {x, empty}, {QStringLiteral("a.mp3"), QStringLiteral("b.mp3")}};
    EXPECT_EQ(m.appendFolderTree(rock), 7);
    EXPECT_EQ(table(m), QStringList({"0:Все клипы", "2:Rock", "4:X", "5:c.mp3", "4:Empty", "3:a.mp3", "3:b.mp3"}));
    EXPECT_EQ(m.entry(4).path, "/media/Rock/X/c.mp3");
    EXPECT_EQ(m.entry(6).path, "/media/Rock/a.mp3");
    EXPECT_EQ(m.entry(2).time, kTimeUnmeasurable);
    EXPECT_EQ(m.entry(5).time, kTimeUnmeasurable);

    FolderListing root{QStringLiteral("/"), {}, {QStringLiteral("vmlinuz.mp3")}};
    m.appendFolderTree(root, 7);  // deeper than anything open: inside Rock
    EXPECT_EQ(m.entry(8).text, "/");
    EXPECT_EQ(m.entry(8).deep, 4);
    EXPECT_EQ(m.entry(9).path, "/vmlinuz.mp3");
    EXPECT_TRUE(test::isWellFormedTree(m));
}

TEST(PlaylistRemove, CurrentIndexFollowsAndThePlayingEntryEndsPlayback)
{
    PlaylistModel m;
    std::vector<int> advances;
    m.setEndOfListHandler([&](int position) { advances.push_back(position); });
    buildSample(m);

    m.setCurrentIndex(8);  // e
    m.removeEntryWithSubtree(2);  // a, above it
    EXPECT_EQ(m.currentIndex(), 7);
    m.removeEntryWithSubtree(8);  // K and f, below it
    EXPECT_EQ(m.currentIndex(), 7);
    m.removeEntryWithSubtree(3);  // b, inside G above it
    EXPECT_EQ(m.currentIndex(), 6);
    EXPECT_EQ(m.entry(6).text, "e");
    EXPECT_TRUE(advances.empty());

    m.removeEntryWithSubtree(6);  // the playing entry
    EXPECT_EQ(m.currentIndex(), -1);
    EXPECT_EQ(advances, std::vector<int>({5}));
    EXPECT_EQ(table(m), QStringList({"0:Все клипы", "2:G", "4:H", "5:c", "3:d"}));
}

TEST(PlaylistRemove, GroupWithThePlayingEntryInsideGoesWhole)
{
    PlaylistModel m;
    std::vector<int> advances;
    m.setEndOfListHandler([&](int position) {
        // The table is already consistent when the controller is called.
        EXPECT_EQ(m.currentIndex(), -1);
        EXPECT_EQ(position, m.playlistCount());
        advances.push_back(position);
    });
    buildSample(m);
    m.setCurrentIndex(6);  // c, inside H inside G
    m.removeEntryWithSubtree(3);
    EXPECT_EQ(table(m), QStringList({"0:Все клипы", "1:a", "1:e", "2:K", "3:f"}));
    EXPECT_EQ(m.currentIndex(), -1);
    EXPECT_EQ(advances.size(), 1u);
}

TEST(PlaylistRemove, FileTakesOnlyItselfAndLastGroupGoesAlone)
{
    PlaylistModel m;
    m.addPath(clip("a"));
    m.appendGroup(QStringLiteral("G"), 2, true, 0);  // after a file, deeper: a sibling of a
    m.addPath(clip("b"), AddOptions::at(3));
    m.removeEntryWithSubtree(2);
    EXPECT_EQ(table(m), QStringList({"0:Все клипы", "2:G", "3:b"}));
    m.appendGroup(QStringLiteral("Last"), 2, true, 0);
    m.removeEntryWithSubtree(4);
    EXPECT_EQ(table(m), QStringList({"0:Все клипы", "2:G", "3:b"}));
    m.removeEntryWithSubtree(0);
    m.removeEntryWithSubtree(99);
    EXPECT_EQ(m.playlistCount(), 3);
}

TEST(PlaylistRemove, RootEmptiesThePlaylistAndTheNextAddCreatesANewOne)
{
    PlaylistModel m;
    buildSample(m);
    m.setCurrentIndex(4);
    m.setVisibleRows(3);
    m.setScrollOffset(5);
    m.removeEntryWithSubtree(1);
    EXPECT_EQ(m.playlistCount(), 0);
    EXPECT_EQ(m.currentIndex(), -1);
    EXPECT_EQ(m.scrollOffset(), 0);
    m.addPath(clip("new"));
    EXPECT_EQ(table(m), QStringList({"0:Все клипы", "1:new"}));
}

TEST(PlaylistRemove, ScrollOffsetIsClampedAfterRemoval)
{
    PlaylistModel m;
    for (int i = 0; i < 20; ++i)
        m.addPath(clip(QString::number(i)));
    m.setVisibleRows(5);
    m.setScrollOffset(100);
    EXPECT_EQ(m.scrollOffset(), 16);  // 21 entries - 5 rows
    m.removeEntryWithSubtree(21);
    m.removeEntryWithSubtree(20);
    EXPECT_EQ(m.scrollOffset(), 14);
    m.setScrollOffset(-3);
    EXPECT_EQ(m.scrollOffset(), 0);
}

TEST(PlaylistTotals, RemovingSubtractsFromEveryEnclosingGroup)
{
    PlaylistModel m;
    buildSample(m);
    measure(m, {{"a", 10}, {"b", 20}, {"c", 30.5}, {"d", 40}, {"e", 50}});  // f cannot be measured
    // 30.5 rounds to 30 (half to even).
    EXPECT_EQ(times(m), QStringList({"150", "10", "90", "20", "30", "30", "40", "50", "0", "-2"}));
    m.removeEntryWithSubtree(5);  // H holding c
    EXPECT_EQ(times(m), QStringList({"120", "10", "60", "20", "40", "50", "0", "-2"}));
    m.removeEntryWithSubtree(8);  // f: unmeasured, no totals change
    m.removeEntryWithSubtree(3);  // G
    EXPECT_EQ(times(m), QStringList({"60", "10", "50", "0"}));
}

TEST(PlaylistMove, SubtreesSwapWithSiblingsAndCurrentFollows)
{
    PlaylistModel m;
    m.appendGroup(QStringLiteral("G"), 2, true, 0);
    m.addPath(clip("b"), AddOptions::at(3));
    m.appendGroup(QStringLiteral("H"), 4, true, 0);
    m.addPath(clip("c"), AddOptions::at(5));
    m.addPath(clip("d"), AddOptions::at(3));
    m.appendGroup(QStringLiteral("K"), 2, true, 0);
    m.addPath(clip("f"), AddOptions::at(3));
    m.addPath(clip("e"));
    m.setCurrentIndex(5);  // c inside H inside G
    // G (2..6) past its next sibling K (7..8).
    EXPECT_EQ(m.moveDown(2), 4);
    EXPECT_EQ(table(m), QStringList({"0:Все клипы", "2:K", "3:f", "2:G", "3:b", "4:H", "5:c", "3:d", "1:e"}));
    EXPECT_EQ(m.currentIndex(), 7);
    // And back up: now the playing entry is in the block that moves down.
    m.setCurrentIndex(3);  // f
    EXPECT_EQ(m.moveUp(4), 2);
    EXPECT_EQ(table(m), QStringList({"0:Все клипы", "2:G", "3:b", "4:H", "5:c", "3:d", "2:K", "3:f", "1:e"}));
    EXPECT_EQ(m.currentIndex(), 8);
    // Files swap too; d's previous sibling of equal deep is b, with H behind it.
    EXPECT_EQ(m.moveUp(6), 3);
    EXPECT_EQ(table(m), QStringList({"0:Все клипы", "2:G", "3:d", "3:b", "4:H", "5:c", "2:K", "3:f", "1:e"}));
    EXPECT_EQ(m.currentIndex(), 8);
}

// A file's block is the file alone, as for removal: the deeper group that
// follows it is not its own and never travels with it.
TEST(PlaylistMove, AFileMovesAloneNotWithTheGroupsAfterIt)
{
    PlaylistModel m;
    m.addPath(clip("a"));
    m.appendGroup(QStringLiteral("G"), 2, true, 0);
    m.addPath(clip("g"), AddOptions::at(3));
    m.addPath(clip("b"));
    EXPECT_EQ(m.moveDown(2), std::nullopt);  // the next entry of a's deep is not right after it
    EXPECT_EQ(table(m), QStringList({"0:Все клипы", "1:a", "2:G", "3:g", "1:b"}));
    EXPECT_EQ(m.moveUp(5), 2);
    EXPECT_EQ(table(m), QStringList({"0:Все клипы", "1:b", "1:a", "2:G", "3:g"}));
    EXPECT_EQ(m.moveDown(2), 5);  // and back down past a with what follows it
    EXPECT_EQ(table(m), QStringList({"0:Все клипы", "1:a", "2:G", "3:g", "1:b"}));
}

TEST(PlaylistMove, NoSiblingOnThatSideChangesNothing)
{
    PlaylistModel m;
    buildSample(m);
    m.setCurrentIndex(4);
    int notifications = 0;
    m.addChangeHandler([&](const PlaylistChange&) { ++notifications; });
    EXPECT_EQ(m.moveUp(4), std::nullopt);    // b: first child of G
    EXPECT_EQ(m.moveDown(7), std::nullopt);  // d: last child of G
    EXPECT_EQ(m.moveDown(6), std::nullopt);  // c: only child
    EXPECT_EQ(m.moveDown(9), std::nullopt);  // K: its subtree reaches the end
    EXPECT_EQ(m.moveDown(3), std::nullopt);  // G: next at deep 1 is not a sibling of equal deep
    EXPECT_EQ(m.moveUp(1), std::nullopt);
    EXPECT_EQ(m.moveDown(1), std::nullopt);
    EXPECT_EQ(m.moveUp(11), std::nullopt);
    EXPECT_EQ(table(m), kSample);
    EXPECT_EQ(m.currentIndex(), 4);
    EXPECT_EQ(notifications, 0);
}

TEST(PlaylistFlatten, FilesComeUpAndSubgroupsGo)
{
    PlaylistModel m;
    buildSample(m);
    measure(m, {{"b", 1}, {"c", 2}, {"d", 4}});
    m.setCurrentIndex(8);  // e, after the group
    m.flattenGroup(3);
    EXPECT_EQ(table(m), QStringList({"0:Все клипы", "1:a", "2:G", "3:b", "3:c", "3:d", "1:e", "2:K", "3:f"}));
    EXPECT_EQ(m.entry(3).time, 7);
    EXPECT_EQ(m.currentIndex(), 7);
    // Playing inside the dropped subgroup: the file stays and so does its mark.
    PlaylistModel n;
    buildSample(n);
    n.setCurrentIndex(6);
    n.flattenGroup(1);
    EXPECT_EQ(table(n), QStringList({"0:Все клипы", "1:a", "1:b", "1:c", "1:d", "1:e", "1:f"}));
    EXPECT_EQ(n.currentIndex(), 4);
    n.flattenGroup(2);  // a file: left alone
    EXPECT_EQ(n.playlistCount(), 7);
}

TEST(PlaylistChecks, EffectiveCheckedAndsEveryEnclosingGroup)
{
    PlaylistModel m;
    buildSample(m);
    m.setChecked(3, false);  // G
    EXPECT_FALSE(m.effectiveChecked(6));  // c, inside H inside G
    EXPECT_FALSE(m.effectiveChecked(7));
    EXPECT_TRUE(m.effectiveChecked(8));
    EXPECT_TRUE(m.entry(6).checked);
    m.setChecked(3, true);
    m.setChecked(6, false);
    EXPECT_FALSE(m.effectiveChecked(6));
    EXPECT_TRUE(m.effectiveChecked(7));
    EXPECT_FALSE(m.effectiveChecked(0));
    EXPECT_EQ(m.parentOf(6), 5);
    EXPECT_EQ(m.parentOf(7), 3);
    EXPECT_EQ(m.parentOf(1), 0);
}

TEST(PlaylistNotifications, OncePerOperationAndOncePerBatch)
{
    PlaylistModel m;
    std::vector<PlaylistChange> seen;
    const int handle = m.addChangeHandler([&](const PlaylistChange& c) { seen.push_back(c); });
    m.addPath(clip("a"));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_TRUE(seen[0].structure);
    m.setText(2, QStringLiteral("A"));
    m.setText(2, QStringLiteral("A"));  // no change, no notice
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_TRUE(seen[1].content);
    EXPECT_FALSE(seen[1].structure);
    m.setCurrentIndex(2);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_TRUE(seen[2].current);
    {
        PlaylistModel::Batch batch(m);
        for (int i = 0; i < 10; ++i)
            m.addPath(clip(QString::number(i)));
        EXPECT_EQ(seen.size(), 3u);
    }
    EXPECT_EQ(seen.size(), 4u);
    m.removeChangeHandler(handle);
    m.addPath(clip("b"));
    EXPECT_EQ(seen.size(), 4u);
}

TEST(PlaylistIdentity, IdsSurviveMovesAndAreNeverReused)
{
    PlaylistModel m;
    buildSample(m);
    const EntryId c = m.entryId(6);
    const EntryId f = m.entryId(10);
    // e moves up past a's sibling block, which holds G and everything in it.
    EXPECT_EQ(m.moveUp(8), 2);
    EXPECT_EQ(m.indexOf(c), 7);
    EXPECT_EQ(m.indexOf(f), 10);
    m.removeEntryWithSubtree(1);
    EXPECT_EQ(m.indexOf(c), 0);
    buildSample(m);
    for (int i = 1; i <= m.playlistCount(); ++i)
        EXPECT_GT(m.entryId(i), f);
}

// The one-pass operations against the design's entry-at-a-time steps, on
// random trees: same table, same currentIndex.
namespace {

struct Ref {
    std::vector<std::pair<int, QString>> e{{0, QString()}};  // (deep, text); slot 0 unused
    int current = -1;
    int count() const { return static_cast<int>(e.size()) - 1; }
    void removeOne(int i)
    {
        e.erase(e.begin() + i);
        if (i == current)
            current = -1;
        else if (i < current)
            --current;
    }
    void removeWithSubtree(int i)
    {
        const int d = e[i].first;
        const bool group = d % 2 == 0;
        removeOne(i);
        if (group)
            while (i <= count() && e[i].first > d)
                removeOne(i);
    }
    void flatten(int i)
    {
        const int g = e[i].first;
        if (g % 2 != 0)
            return;
        int l = i + 1;
        while (l <= count() && e[l].first > g) {
            if (e[l].first % 2 != 0) {
                e[l].first = g + 1;
                ++l;
            } else {
                removeOne(l);
            }
        }
    }
};

QStringList refTable(const Ref& r)
{
    QStringList out;
    for (int i = 1; i <= r.count(); ++i)
        out << QStringLiteral("%1:%2").arg(r.e[i].first).arg(r.e[i].second);
    return out;
}

}  // namespace

TEST(PlaylistOnePass, MatchesTheStepByStepAlgorithmsOnRandomTrees)
{
    for (unsigned seed = 1; seed <= 200; ++seed) {
        std::mt19937 rng(seed);
        PlaylistModel m;
        const int n = 5 + static_cast<int>(rng() % 60);
        for (int i = 0; i < n; ++i) {
            const int nesting = 1 + static_cast<int>(rng() % 9);
            if (rng() % 3 == 0)
                m.appendGroup(QStringLiteral("g%1").arg(i), nesting, true, 0);
            else
                m.addPath(clip(QStringLiteral("f%1").arg(i)), AddOptions::at(nesting));
        }
        ASSERT_TRUE(test::isWellFormedTree(m));
        for (int op = 0; op < 6 && m.playlistCount() > 1; ++op) {
            Ref ref;
            for (int i = 1; i <= m.playlistCount(); ++i)
                ref.e.emplace_back(m.entry(i).deep, m.entry(i).text);
            const int current = 1 + static_cast<int>(rng() % m.playlistCount());
            m.setCurrentIndex(current);
            ref.current = current;
            const int target = 2 + static_cast<int>(rng() % (m.playlistCount() - 1));
            if (rng() % 2) {
                m.removeEntryWithSubtree(target);
                ref.removeWithSubtree(target);
            } else {
                m.flattenGroup(target);
                ref.flatten(target);
            }
            ASSERT_EQ(table(m), refTable(ref)) << "seed " << seed;
            ASSERT_EQ(m.currentIndex(), ref.current) << "seed " << seed;
            ASSERT_TRUE(test::isWellFormedTree(m)) << "seed " << seed;
        }
    }
}

TEST(PlaylistOnePass, MovesKeepTheTreeAndEveryEntry)
{
    for (unsigned seed = 1; seed <= 200; ++seed) {
        std::mt19937 rng(seed);
        PlaylistModel m;
        const int n = 5 + static_cast<int>(rng() % 40);
        for (int i = 0; i < n; ++i) {
            const int nesting = 1 + static_cast<int>(rng() % 7);
            if (rng() % 3 == 0)
                m.appendGroup(QStringLiteral("g%1").arg(i), nesting, true, 0);
            else
                m.addPath(clip(QStringLiteral("f%1").arg(i)), AddOptions::at(nesting));
        }
        for (int op = 0; op < 20; ++op) {
            const int i = 2 + static_cast<int>(rng() % (m.playlistCount() - 1));
            const EntryId moved = m.entryId(i);
            const EntryId playing = m.entryId(1 + static_cast<int>(rng() % m.playlistCount()));
            m.setCurrentIndex(m.indexOf(playing));
            const EntryId parentId = m.entryId(m.parentOf(i));
            const int size = m.blockEnd(i) - i;
            const std::optional<int> h = rng() % 2 ? m.moveUp(i) : m.moveDown(i);
            if (h) {
                ASSERT_EQ(m.entryId(*h), moved) << "seed " << seed;
                ASSERT_EQ(m.blockEnd(*h) - *h, size) << "seed " << seed;
                ASSERT_EQ(m.entryId(m.parentOf(*h)), parentId) << "seed " << seed;
            }
            ASSERT_EQ(m.entryId(m.currentIndex()), playing) << "seed " << seed;
            ASSERT_EQ(m.playlistCount(), n + 1);
            ASSERT_TRUE(test::isWellFormedTree(m)) << "seed " << seed;
        }
    }
}
