// The measuring sweep: its order, its outcomes, totals of every enclosing
// group, and answers that arrive after the table changed.

#include "playlist/folder_listing.h"
#include "playlist/playlist_model.h"
#include "playlist_fakes.h"
#include "playlist_test_util.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace velmora;
using velmora::test::times;

namespace {

QString clip(int i) { return QStringLiteral("/m/%1.mp3").arg(i); }

struct MeasuringFixture : ::testing::Test {
    test::FakeLengthProbe probe;
    test::RecordingRowView view;
    std::unique_ptr<PlaylistModel> model;

    void make(int inFlight)
    {
        model = std::make_unique<PlaylistModel>(PlaylistModel::Options{.maxMeasurementsInFlight = inFlight});
        model->setVisibleRows(4);
        model->setRowView(&view);
        model->setLengthProbe(&probe);
    }
    void SetUp() override { make(100); }
    void addFiles(int from, int to)
    {
        for (int i = from; i <= to; ++i) {
            model->addPath(clip(i));
            probe.lengths.insert(clip(i), i);
        }
    }
};

}  // namespace

TEST_F(MeasuringFixture, ShownRowsFirstThenWrappingRound)
{
    addFiles(2, 10);  // entry i is clip i
    model->setScrollOffset(3);
    model->measurePendingDurations();
    EXPECT_EQ(probe.askedPaths(), QStringList({clip(4), clip(5), clip(6), clip(7), clip(8), clip(9), clip(10),
                                               clip(2), clip(3)}));
    // A tick while they are out asks only for what was not asked yet.
    addFiles(11, 11);
    model->measurePendingDurations();
    EXPECT_EQ(probe.asked.size(), 10u);
    EXPECT_EQ(probe.asked.back().path, clip(11));
    probe.deliverAll();
    model->measurePendingDurations();
    EXPECT_EQ(probe.asked.size(), 10u);  // nothing pending: nothing asked
}

TEST_F(MeasuringFixture, FewInFlightAndEachAnswerAsksForTheNext)
{
    make(2);
    addFiles(2, 9);
    model->measurePendingDurations();
    EXPECT_EQ(probe.askedPaths(), QStringList({clip(2), clip(3)}));
    probe.deliverNext();
    EXPECT_EQ(probe.askedPaths(), QStringList({clip(2), clip(3), clip(4)}));
    // Scrolled meanwhile: the next tick starts from the rows now shown.
    model->setScrollOffset(5);
    probe.deliverAll();
    EXPECT_EQ(probe.asked.size(), 8u);
    EXPECT_EQ(model->measurementsInFlight(), 0);
    for (int i = 2; i <= 9; ++i)
        EXPECT_EQ(model->entry(i).time, i);
    addFiles(10, 12);
    model->setScrollOffset(8);
    model->measurePendingDurations();
    EXPECT_EQ(probe.asked[8].path, clip(10));
}

TEST_F(MeasuringFixture, RoundedHalfToEvenOrUnmeasurableForGood)
{
    model->addPath(QStringLiteral("/m/half.mp3"));
    model->addPath(QStringLiteral("/m/threehalves.mp3"));
    model->addPath(QStringLiteral("/m/broken.mp3"));
    model->addPath(QStringLiteral("/m/nan.mp3"));
    probe.lengths = {{QStringLiteral("/m/half.mp3"), 2.5},
                     {QStringLiteral("/m/threehalves.mp3"), 3.5},
                     {QStringLiteral("/m/nan.mp3"), std::nan("")}};
    model->measurePendingDurations();
    probe.deliverAll();
    EXPECT_EQ(times(*model), QStringList({"6", "2", "4", "-2", "-2"}));
    EXPECT_EQ(view.rows[1].timeText, "00:00:02");
    EXPECT_EQ(view.rows[0].timeText, "00:00:06");
    EXPECT_EQ(view.rows[3].timeText, "");
    model->measurePendingDurations();
    EXPECT_EQ(probe.asked.size(), 4u);  // -2 is never asked again
}

TEST_F(MeasuringFixture, FolderGroupShowsNothingUntilItsFirstFileThenTheExactSum)
{
    FolderListing sub{QStringLiteral("/m/A/B"), {}, {QStringLiteral("x.mp3")}};
    FolderListing a{QStringLiteral("/m/A"), {sub}, {QStringLiteral("y.mp3")}};
    model->appendFolderTree(a);
    probe.lengths = {{QStringLiteral("/m/A/B/x.mp3"), 100}, {QStringLiteral("/m/A/y.mp3"), 20}};
    EXPECT_EQ(view.rows[1].timeText, "");  // A
    EXPECT_EQ(view.rows[2].timeText, "");  // B
    model->measurePendingDurations();
    probe.deliverNext();  // x
    EXPECT_EQ(times(*model), QStringList({"100", "100", "100", "100", "-1"}));
    EXPECT_EQ(view.rows[1].timeText, "00:01:40");
    probe.deliverNext();  // y
    EXPECT_EQ(times(*model), QStringList({"120", "120", "100", "100", "20"}));
}

TEST_F(MeasuringFixture, LateAnswersLandOnTheirEntryOrAreDropped)
{
    model->appendGroup(QStringLiteral("G"), 2, true, 0);
    model->addPath(clip(3), AddOptions::at(3));
    model->addPath(clip(4), AddOptions::at(3));
    model->appendGroup(QStringLiteral("H"), 2, true, 0);
    model->addPath(clip(6), AddOptions::at(3));
    for (int i : {3, 4, 6})
        probe.lengths.insert(clip(i), i);
    model->measurePendingDurations();
    ASSERT_EQ(probe.asked.size(), 3u);  // 3, 4 and 6 are out
    // Before any answer: H moves above G, 3 is removed, more are added.
    EXPECT_EQ(model->moveUp(5), 2);
    model->removeEntryWithSubtree(model->indexOf(probe.asked[0].id));
    addFiles(7, 8);
    probe.deliverAll();
    EXPECT_EQ(test::table(*model), QStringList({"0:Все клипы", "2:H", "3:6.mp3", "2:G", "3:4.mp3", "1:7.mp3", "1:8.mp3"}));
    // 7 and 8 came after the sweep had passed the end: the next tick asks.
    EXPECT_EQ(times(*model), QStringList({"10", "6", "6", "4", "4", "-1", "-1"}));
    model->measurePendingDurations();
    probe.deliverAll();
    EXPECT_EQ(times(*model), QStringList({"25", "6", "6", "4", "4", "7", "8"}));
}

TEST_F(MeasuringFixture, EmptyingThePlaylistCancelsAndLeavesNothingInFlight)
{
    addFiles(2, 5);
    model->measurePendingDurations();
    model->removeEntryWithSubtree(1);
    EXPECT_EQ(probe.cancels, 1);
    EXPECT_EQ(model->measurementsInFlight(), 0);
    addFiles(2, 3);
    model->measurePendingDurations();
    probe.deliverAll();
    EXPECT_EQ(times(*model), QStringList({"5", "2", "3"}));
}

TEST_F(MeasuringFixture, AnswersAfterTheModelIsGoneAreHarmless)
{
    addFiles(2, 3);
    model->measurePendingDurations();
    model.reset();
    EXPECT_TRUE(probe.queue.empty());
    probe.queue.push_back({1, clip(2)});
    probe.deliverAll();  // the handler left behind does nothing
}

TEST_F(MeasuringFixture, AnswersArriveLaterOnTheEventLoop)
{
    make(3);
    probe.delayMs = 2;
    addFiles(2, 30);
    int changes = 0;
    model->addChangeHandler([&](const PlaylistChange& c) { changes += c.content ? 1 : 0; });
    model->measurePendingDurations();
    EXPECT_EQ(model->measurementsInFlight(), 3);
    ASSERT_TRUE(test::waitFor([&] { return model->entry(30).time != kTimeUnmeasured; }));
    EXPECT_EQ(model->entry(1).time, (2 + 30) * 29 / 2);
    EXPECT_EQ(changes, 29);
    EXPECT_EQ(view.rows[0].timeText, "00:07:44");
}
