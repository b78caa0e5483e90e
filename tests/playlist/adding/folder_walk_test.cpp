// The folder walk on temporary trees: order and nesting, empty folders,
// links that lead back up, unreadable folders, the file filter, and the
// plain listing of one folder.

#include "adding_fakes.h"

#include "playlist/adding/file_filter.h"
#include "playlist/adding/folder_walk.h"
#include "playlist/adding/natural_order.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace velmora;
using namespace velmora::test;

namespace {

class FolderWalkTest : public ::testing::Test {
protected:
    QString path(const QString& rel) const { return dir_.path() + QLatin1Char('/') + rel; }
    void touchAll(const QStringList& rels)
    {
        for (const QString& rel : rels)
            touch(path(rel));
    }
    void mkdir(const QString& rel) { QDir().mkpath(path(rel)); }
    void link(const QString& target, const QString& rel)
    {
        ASSERT_EQ(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(path(rel)).constData()), 0);
    }

    std::vector<Recorded> walkTree(const QString& rel, int nesting = 1, FileFilter filter = {})
    {
        return run({AddSource::Kind::FolderTree, path(rel), nesting}, std::move(filter));
    }
    std::vector<Recorded> run(const AddSource& source, FileFilter filter = {})
    {
        std::vector<Recorded> out;
        FolderWalk walk(reader_, std::move(filter), [&out](WalkItem&& item) {
            out.push_back({item.kind == WalkItem::Kind::Group, item.text, item.deep,
                           item.kind == WalkItem::Kind::Group ? kFolderGroupTime : 0});
        });
        walk.run(source);
        return out;
    }

    QTemporaryDir dir_;
    FaultyReader reader_;
};

TEST_F(FolderWalkTest, SubfolderGroupsComeBeforeTheFoldersOwnFiles)
{
    touchAll({"F/a.mp3", "F/b.mp3", "F/X/c.mp3"});
    const std::vector<Recorded> expected{
        group("F", 2), group("X", 4), file(path("F/X/c.mp3"), 5), file(path("F/a.mp3"), 3), file(path("F/b.mp3"), 3)};
    EXPECT_EQ(walkTree("F"), expected);
}

TEST_F(FolderWalkTest, DeeperTreesNestByTwoPerLevelInNaturalOrder)
{
    touchAll({"F/z.mp3", "F/Disc 10/t.mp3", "F/disc 2/Y/deep.mp3", "F/disc 2/track10.mp3", "F/disc 2/Track2.mp3",
              "F/disc 2/track1.mp3"});
    const std::vector<Recorded> expected{
        group("F", 4),
        group("disc 2", 6),
        group("Y", 8),
        file(path("F/disc 2/Y/deep.mp3"), 9),
        file(path("F/disc 2/track1.mp3"), 7),
        file(path("F/disc 2/Track2.mp3"), 7),
        file(path("F/disc 2/track10.mp3"), 7),
        group("Disc 10", 6),
        file(path("F/Disc 10/t.mp3"), 7),
        file(path("F/z.mp3"), 5),
    };
    EXPECT_EQ(walkTree("F", 3), expected);
}

TEST_F(FolderWalkTest, EmptySubfolderGivesAnEmptyGroup)
{
    touchAll({"F/a.mp3"});
    mkdir("F/Empty");
    const std::vector<Recorded> expected{group("F", 2), group("Empty", 4), file(path("F/a.mp3"), 3)};
    EXPECT_EQ(walkTree("F"), expected);
}

TEST_F(FolderWalkTest, TrailingSlashAndRootNames)
{
    touchAll({"Rock/a.mp3"});
    const auto items = walkTree("Rock/");
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0], group("Rock", 2));
    EXPECT_EQ(items[1], file(path("Rock/a.mp3"), 3));  // no doubled "/"

    EXPECT_EQ(folderGroupText(QStringLiteral("/")), QStringLiteral("/"));
    EXPECT_EQ(folderGroupText(QStringLiteral("/home/u/Music/Rock")), QStringLiteral("Rock"));
    EXPECT_EQ(childPath(QStringLiteral("/"), QStringLiteral("x.mp3")), QStringLiteral("/x.mp3"));
}

TEST_F(FolderWalkTest, LinksBackUpTheWalkAreNotFollowed)
{
    touchAll({"F/a.mp3", "F/X/c.mp3", "F/Z/z.mp3"});
    link(path("F"), "F/X/up");         // to an ancestor: a cycle
    link(path("F/X"), "F/X/self");     // to the folder itself
    link(QStringLiteral("../.."), "F/Z/rel");  // relative, above the walk's start: no cycle, walked
    link(path("F/Z"), "F/X/toZ");      // to a sibling: no cycle, walked
    const auto items = walkTree("F");
    ASSERT_FALSE(items.empty());
    QStringList groups;
    for (const Recorded& r : items) {
        if (r.group)
            groups << r.text + QLatin1Char(':') + QString::number(r.deep);
    }
    // "self" and "up" are skipped. "rel" leads to the folder that holds F:
    // the walk goes down into it (it is not on the way down), then stops at
    // F, which is.
    EXPECT_EQ(groups, (QStringList{"F:2", "X:4", "toZ:6", "rel:8", "Z:4", "rel:6"}));
    EXPECT_EQ(items.back(), file(path("F/a.mp3"), 3));
}

TEST_F(FolderWalkTest, UnreadableFolderIsSkippedAndTheWalkGoesOn)
{
    touchAll({"F/a.mp3", "F/A1/x.mp3", "F/B2/y.mp3", "F/C3/z.mp3"});
    reader_.failOn(path("F/B2"));
    const std::vector<Recorded> expected{group("F", 2),        group("A1", 4), file(path("F/A1/x.mp3"), 5),
                                         group("C3", 4),       file(path("F/C3/z.mp3"), 5),
                                         file(path("F/a.mp3"), 3)};
    EXPECT_EQ(walkTree("F"), expected);

    reader_.failOn(path("F"));
    EXPECT_TRUE(walkTree("F").empty());
}

TEST_F(FolderWalkTest, FolderWithoutPermissionIsSkippedOnDisk)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not stop root; the injected failure above covers the walk";
    touchAll({"F/a.mp3", "F/Locked/x.mp3"});
    ASSERT_EQ(::chmod(QFile::encodeName(path("F/Locked")).constData(), 0), 0);
    const std::vector<Recorded> expected{group("F", 2), file(path("F/a.mp3"), 3)};
    EXPECT_EQ(walkTree("F"), expected);
    ::chmod(QFile::encodeName(path("F/Locked")).constData(), 0755);
}

TEST_F(FolderWalkTest, OnlyAcceptedRegularVisibleFilesAreTaken)
{
    touchAll({"F/a.MP3", "F/b.avi", "F/c.txt", "F/.hidden.mp3", "F/.Hidden/x.mp3", "F/real.mp3"});
    link(path("F/real.mp3"), "F/link.mp3");
    link(path("F/missing.mp3"), "F/broken.mp3");
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("F/pipe.mp3")).constData(), 0644), 0);

    const std::vector<Recorded> filtered{group("F", 2), file(path("F/a.MP3"), 3), file(path("F/b.avi"), 3),
                                         file(path("F/link.mp3"), 3), file(path("F/real.mp3"), 3)};
    EXPECT_EQ(walkTree("F", 1, FileFilter::fromPattern(QStringLiteral("*.mp3; *.AVI;"))), filtered);

    const auto all = walkTree("F");
    EXPECT_EQ(all.size(), 6u);  // the group and five files: c.txt joins, pipe and hidden stay out
}

TEST_F(FolderWalkTest, FolderFilesListsOnlyTheFoldersOwnFiles)
{
    touchAll({"F/track10.mp3", "F/track9.mp3", "F/Sub/x.mp3"});
    const std::vector<Recorded> expected{file(path("F/track9.mp3"), 1), file(path("F/track10.mp3"), 1)};
    EXPECT_EQ(run({AddSource::Kind::FolderFiles, path("F"), 1}), expected);
    EXPECT_EQ(listFolderFiles(path("F"), FileFilter{}), (QStringList{path("F/track9.mp3"), path("F/track10.mp3")}));
    EXPECT_TRUE(listFolderFiles(path("nowhere"), FileFilter{}).isEmpty());
}

TEST_F(FolderWalkTest, FileOrFolderTakesReadableFilesAsTheyAre)
{
    touchAll({"F/a.mp3", "F/b.txt"});
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("pipe")).constData(), 0644), 0);
    const FileFilter mp3 = FileFilter::fromPattern(QStringLiteral("*.mp3"));
    // A file is taken whatever its type; a folder gives its accepted files.
    EXPECT_EQ(run({AddSource::Kind::FileOrFolder, path("F/b.txt"), 1}, mp3),
              (std::vector<Recorded>{file(path("F/b.txt"), 1)}));
    EXPECT_EQ(run({AddSource::Kind::FileOrFolder, path("F"), 1}, mp3),
              (std::vector<Recorded>{file(path("F/a.mp3"), 1)}));
    // Neither file nor folder: nothing (a pipe must not block the walk).
    EXPECT_TRUE(run({AddSource::Kind::FileOrFolder, path("pipe"), 1}).empty());
    EXPECT_TRUE(run({AddSource::Kind::FileOrFolder, path("missing"), 1}).empty());
}

// A command line's path: a file as it is, a folder's own accepted files in
// natural order, and a path that names neither is reported, not dropped.
TEST_F(FolderWalkTest, CommandTokensNameAFileAFolderOrNothing)
{
    touchAll({"music/track10.mp3", "music/track9.mp3", "music/.hidden.mp3", "music/sub/inner.mp3", "music/B.ogg"});
    link(path("music/track9.mp3"), "music/link.mp3");
    link(path("nowhere"), "music/dangling.mp3");
    mkdir("empty");
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("fifo")).constData(), 0644), 0);
    auto token = [&](const QString& p, FileFilter filter = {}) {
        QStringList out;
        FolderWalk walk(reader_, std::move(filter), [&out](WalkItem&& item) {
            out << (item.kind == WalkItem::Kind::Unresolved ? QStringLiteral("?") : QString()) + item.text;
        });
        walk.run({AddSource::Kind::CommandToken, p, 1});
        return out;
    };
    EXPECT_EQ(token(path("music/track9.mp3")), QStringList{path("music/track9.mp3")});
    EXPECT_EQ(token(path("music")), (QStringList{path("music/B.ogg"), path("music/link.mp3"), path("music/track9.mp3"),
                                                 path("music/track10.mp3")}));
    EXPECT_EQ(token(path("music"), FileFilter::fromPattern(QStringLiteral("*.mp3"))).size(), 3);
    EXPECT_TRUE(token(path("empty")).isEmpty());  // a folder, with nothing to add
    for (const QString& nothing : {path("missing.mp3"), path("music/dangling.mp3"), path("fifo"), QString()})
        EXPECT_EQ(token(nothing), QStringList{QLatin1Char('?') + nothing});
}

TEST(FileFilterTest, PatternParts)
{
    const FileFilter f = FileFilter::fromPattern(QStringLiteral("*.pml;*.mp3;*.mpeg"));
    EXPECT_TRUE(f.matches(QStringLiteral("Song.MP3")));
    EXPECT_TRUE(f.matches(QStringLiteral("list.pml")));
    EXPECT_FALSE(f.matches(QStringLiteral("song.mp3.part")));
    EXPECT_FALSE(f.matches(QStringLiteral("mp3")));
    EXPECT_EQ(f.pattern(), QStringLiteral("*.pml;*.mp3;*.mpeg"));
    EXPECT_TRUE(FileFilter::fromPattern(QStringLiteral("*.ОГГ")).matches(QStringLiteral("песня.огг")));
    // The empty-folder pattern and an empty table match nothing.
    EXPECT_FALSE(FileFilter::fromPattern(QStringLiteral("fdlkbfwealdflqwaslf;ne;.efda")).matches(QStringLiteral("a.mp3")));
    EXPECT_FALSE(FileFilter::fromPattern(QString()).matches(QStringLiteral("a.mp3")));
    EXPECT_TRUE(FileFilter::everyFile().matches(QStringLiteral("anything")));
}

TEST(NaturalOrderTest, NumbersByValueCaseIgnoredTiesStable)
{
    const NaturalOrder order;
    QStringList names{"track10.mp3", "Track2.mp3", "track1.mp3", "b.mp3", "a.mp3", "A.mp3", "9", "10"};
    order.sort(names);
    EXPECT_EQ(names, (QStringList{"9", "10", "A.mp3", "a.mp3", "b.mp3", "track1.mp3", "Track2.mp3", "track10.mp3"}));
    for (qsizetype i = 1; i < names.size(); ++i)
        EXPECT_LT(order.compare(names[i - 1], names[i]), 0) << names[i - 1].toStdString();
}

}  // namespace
