// The measuring sweep with the real libavformat prober on clips made by
// ffmpeg: lengths, unreadable files and totals, with the table edited while
// measurements run.

#include "media/av_length_probe.h"
#include "media/media_clips.h"
#include "playlist/playlist_model.h"
#include "playlist_fakes.h"
#include "playlist_test_util.h"
#include "support/test_support.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmora;

TEST(PlaylistRealProbe, MeasuresClipsAndSumsTheGroups)
{
    QTemporaryDir dir;
    test::MediaClips clips;
    QString error;
    ASSERT_TRUE(test::makeMediaClips(dir.path(), &clips, &error)) << error.toStdString();

    AvLengthProbe probe;
    test::RecordingRowView view;
    PlaylistModel model;
    model.setVisibleRows(12);
    model.setRowView(&view);
    model.setLengthProbe(&probe);

    model.appendGroup(QStringLiteral("Sounds"), 2, true, 0);
    model.addPath(clips.toneMp3, AddOptions::at(3));
    model.addPath(clips.toneOgg, AddOptions::at(3));
    model.addPath(clips.emptyMp3, AddOptions::at(3));
    model.addPath(clips.videoMp4);
    model.addPath(clips.textAvi);
    model.addPath(dir.filePath(QStringLiteral("missing.mp3")));
    model.addPath(clips.toneWav);
    model.measurePendingDurations();
    // While they are measured: the wav moves to the top, the video goes.
    ASSERT_EQ(model.entry(6).path, clips.videoMp4);
    model.removeEntryWithSubtree(6);
    EXPECT_EQ(model.moveUp(8), 7);
    EXPECT_EQ(model.moveUp(7), 6);
    EXPECT_EQ(model.moveUp(6), std::nullopt);  // the group's files are not its siblings

    auto pending = [&] {
        for (int i = 1; i <= model.playlistCount(); ++i) {
            if (model.entry(i).time == kTimeUnmeasured)
                return true;
        }
        return false;
    };
    ASSERT_TRUE(test::waitFor([&] { return !pending(); }, std::chrono::seconds(30)));
    EXPECT_EQ(test::table(model), QStringList({"0:Все клипы", "2:Sounds", "3:" + entryTextForPath(clips.toneMp3),
                                              "3:" + entryTextForPath(clips.toneOgg),
                                              "3:" + entryTextForPath(clips.emptyMp3),
                                              "1:" + entryTextForPath(clips.toneWav),
                                              "1:" + entryTextForPath(clips.textAvi), "1:missing.mp3"}));
    EXPECT_EQ(test::times(model), QStringList({"9", "6", "3", "3", "-2", "3", "-2", "-2"}));
    EXPECT_EQ(view.rows[0].timeText, "00:00:09");
    EXPECT_EQ(view.rows[4].timeText, "");
    EXPECT_EQ(model.measurementsInFlight(), 0);
    model.setLengthProbe(nullptr);
}
