// A folder tree walked into the real playlist model: the table it makes and
// one refresh per chunk.

#include "adding_fakes.h"

#include "playlist/adding/folder_walker.h"
#include "playlist/adding/playlist_model_sink.h"
#include "support/test_support.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

namespace {

TEST(PlaylistModelSinkTest, WorkedExampleBecomesTheTable)
{
    QTemporaryDir dir;
    for (const char* rel : {"F/a.mp3", "F/b.mp3", "F/X/c.mp3"})
        touch(dir.path() + QLatin1Char('/') + QString::fromUtf8(rel));
    PlaylistModel model;
    int changes = 0;
    model.addChangeHandler([&](const PlaylistChange&) { ++changes; });
    PlaylistModelSink sink(model);
    FolderWalker walker;
    int added = -1;
    walker.add({{AddSource::Kind::FolderTree, dir.path() + QStringLiteral("/F"), 1}}, FileFilter{}, sink,
               {{}, [&](int n) { added = n; }});
    ASSERT_TRUE(waitFor([&] { return added >= 0; }));

    struct Row {
        QString text, path;
        int time, deep;
        bool operator==(const Row&) const = default;
    };
    std::vector<Row> rows;
    for (int i = 1; i <= model.playlistCount(); ++i) {
        const PlaylistEntry& e = model.entry(i);
        rows.push_back({e.text, e.path.mid(dir.path().size()), e.time, e.deep});
    }
    const std::vector<Row> expected{{"Все клипы", "", 0, 0},   {"F", "", -2, 2},           {"X", "", -2, 4},
                                    {"c.mp3", "/F/X/c.mp3", -1, 5}, {"a.mp3", "/F/a.mp3", -1, 3},
                                    {"b.mp3", "/F/b.mp3", -1, 3}};
    EXPECT_TRUE(rows == expected);
    EXPECT_EQ(added, 6);   // the root included
    // One notification per chunk (the worker hands over after each folder),
    // not one per entry.
    EXPECT_GE(changes, 1);
    EXPECT_LT(changes, 5);
}

}  // namespace
