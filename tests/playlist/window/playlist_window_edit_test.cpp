// The playlist window's edit buttons with the list focus flag, Plus, and
// scrolling by the buttons, the thumb, the arrow keys and the wheel.

#include "playlist_window_fixture.h"

#include <QWheelEvent>

using namespace velmora;
using velmora::test::PlaylistWindowTest;

namespace {

class PlaylistEditTest : public PlaylistWindowTest {};
class PlaylistScrollTest : public PlaylistWindowTest {};

QStringList texts(const PlaylistModel& m)
{
    QStringList out;
    for (int i = 1; i <= m.playlistCount(); ++i)
        out << m.entry(i).text;
    return out;
}

}  // namespace

TEST_F(PlaylistEditTest, DownMovesTheSameEntryUntilItHasNoSiblingThenNeedsTheFocusAnew)
{
    // Root, groups A (with a file), B, C, D.
    model.appendGroup(QStringLiteral("A"), 2, true, 0);
    model.addPath(QStringLiteral("/clips/a.mp3"), AddOptions::at(3));
    for (const char* n : {"B", "C", "D"})
        model.appendGroup(QString::fromLatin1(n), 2, true, 0);
    focusList();
    ASSERT_TRUE(window->listFocus());
    selectRow(2);  // A

    for (int i = 0; i < 3; ++i)
        press(element("Down"));
    EXPECT_EQ(texts(model), (QStringList{QStringLiteral("Все клипы"), QStringLiteral("B"), QStringLiteral("C"),
                                         QStringLiteral("D"), QStringLiteral("A"), QStringLiteral("a.mp3")}));
    EXPECT_TRUE(window->listFocus());
    EXPECT_EQ(window->selectedEntry(), 5);

    press(element("Down"));  // no sibling below: nothing moves, the flag goes
    EXPECT_FALSE(window->listFocus());
    EXPECT_EQ(text(5), QStringLiteral("A"));
    press(element("Up"));  // nothing while the flag is clear
    EXPECT_EQ(text(5), QStringLiteral("A"));

    focusList();  // lose and regain the focus
    ASSERT_TRUE(window->listFocus());
    press(element("Up"));
    EXPECT_EQ(text(4), QStringLiteral("A"));
    EXPECT_EQ(window->selectedEntry(), 4);
}

TEST_F(PlaylistEditTest, MovingBelowTheShownRowsScrollsSoThatTheEntryStaysOnTheLastRow)
{
    addFiles(7);  // entries 2 ... 8
    focusList();
    selectRow(kRows);  // entry 5 (f4)
    press(element("Down"));
    press(element("Down"));
    press(element("Down"));  // f4 now at index 8
    EXPECT_EQ(text(8), QStringLiteral("f4.mp3"));
    EXPECT_EQ(model.scrollOffset(), 3);
    EXPECT_EQ(window->selectedEntry(), 8);
    EXPECT_EQ(list().row(kRows).text, QStringLiteral(" f4.mp3"));

    // And up again past the top of the view.
    for (int i = 0; i < 7; ++i)
        press(element("Up"));
    EXPECT_EQ(text(2), QStringLiteral("f4.mp3"));
    EXPECT_EQ(model.scrollOffset(), 1);
    EXPECT_EQ(window->selectedEntry(), 2);
    EXPECT_FALSE(window->listFocus()) << "the seventh press had no sibling above";
}

TEST_F(PlaylistEditTest, MinusRemovesTheSelectedSubtreeOnceAndNeedsTheFocusAgain)
{
    model.appendGroup(QStringLiteral("G"), 2, true, 0);
    model.addPath(QStringLiteral("/clips/g1.mp3"), AddOptions::at(3));
    model.addPath(QStringLiteral("/clips/a.mp3"));
    focusList();
    selectRow(2);
    press(element("Minus"));
    EXPECT_EQ(texts(model), (QStringList{QStringLiteral("Все клипы"), QStringLiteral("a.mp3")}));
    EXPECT_FALSE(window->listFocus());

    selectRow(2);
    press(element("Minus"));  // pressing a skin button does not give the focus back
    EXPECT_EQ(model.playlistCount(), 2);
    // A click on the row points at the list again, though the keyboard
    // focus never left it: the next entry goes without a window switch.
    model.addPath(QStringLiteral("/clips/b.mp3"));
    QTest::mouseClick(list().viewport(), Qt::LeftButton, {}, rowPoint(2));
    EXPECT_TRUE(window->listFocus());
    press(element("Minus"));
    EXPECT_EQ(texts(model), (QStringList{QStringLiteral("Все клипы"), QStringLiteral("b.mp3")}));
}

TEST_F(PlaylistEditTest, EditButtonsNeedASelectedRow)
{
    addFiles(3);
    focusList();
    list().clearSelection();
    for (const char* name : {"Minus", "Up", "Down", "Untree"})
        press(element(name));
    EXPECT_EQ(model.playlistCount(), 4);
    EXPECT_TRUE(window->listFocus());
}

TEST_F(PlaylistEditTest, UntreeFlattensTheSelectedGroupAndLeavesAFileAlone)
{
    model.appendGroup(QStringLiteral("G"), 2, true, 0);
    model.appendGroup(QStringLiteral("Sub"), 4, true, 0);
    model.addPath(QStringLiteral("/clips/s.mp3"), AddOptions::at(5));
    model.addPath(QStringLiteral("/clips/a.mp3"));
    focusList();
    selectRow(5);  // a.mp3
    press(element("Untree"));
    EXPECT_EQ(model.playlistCount(), 5);
    EXPECT_FALSE(window->listFocus());

    focusList();
    selectRow(2);
    press(element("Untree"));
    EXPECT_EQ(texts(model), (QStringList{QStringLiteral("Все клипы"), QStringLiteral("G"), QStringLiteral("s.mp3"),
                                         QStringLiteral("a.mp3")}));
    EXPECT_EQ(model.entry(3).deep, 3);
    EXPECT_FALSE(window->listFocus());
}

TEST_F(PlaylistEditTest, PlusOpensTheAddFormOnceUntilItIsEnabledAgain)
{
    TransImg& plus = element("Plus");
    press(plus);
    EXPECT_EQ(addFormsShown, 1);
    EXPECT_FALSE(plus.isEnabled());
    press(plus);  // disabled: no presses
    EXPECT_EQ(addFormsShown, 1);
    window->enablePlus();
    press(plus);
    EXPECT_EQ(addFormsShown, 2);
}

TEST_F(PlaylistScrollTest, ButtonsScrollByOneRowAndStopAtBothEnds)
{
    addFiles(6);  // 7 entries on 5 rows: offsets 0 ... 2
    EXPECT_FALSE(element("ScrollUp").isEnabled());
    EXPECT_TRUE(element("ScrollDown").isEnabled());
    EXPECT_TRUE(element("Scroll").isEnabled());

    press(element("ScrollDown"));
    EXPECT_EQ(model.scrollOffset(), 1);
    EXPECT_TRUE(element("ScrollUp").isEnabled());
    EXPECT_EQ(list().row(1).text, QStringLiteral(" f1.mp3"));
    press(element("ScrollDown"));
    EXPECT_EQ(model.scrollOffset(), 2);
    EXPECT_FALSE(element("ScrollDown").isEnabled());
    press(element("ScrollDown"));  // disabled
    EXPECT_EQ(model.scrollOffset(), 2);
    EXPECT_EQ(list().row(kRows).text, QStringLiteral(" f6.mp3"));

    press(element("ScrollUp"));
    press(element("ScrollUp"));
    press(element("ScrollUp"));
    EXPECT_EQ(model.scrollOffset(), 0);
    EXPECT_FALSE(element("ScrollUp").isEnabled());
    EXPECT_EQ(list().row(1).text, QStringLiteral("Все клипы"));
}

TEST_F(PlaylistScrollTest, FewerEntriesThanRowsDisableScrolling)
{
    addFiles(3);
    EXPECT_FALSE(element("ScrollUp").isEnabled());
    EXPECT_FALSE(element("ScrollDown").isEnabled());
    EXPECT_FALSE(element("Scroll").isEnabled());
    EXPECT_FALSE(window->scrollBy(1));
    EXPECT_EQ(list().rowCount(), 4);
}

TEST_F(PlaylistScrollTest, TheThumbDraggedPastEitherEndStopsThereAndSetsTheOffset)
{
    addFiles(24);  // 25 entries: offsets 0 ... 20
    TransImg& thumb = element("Scroll");
    const TransImg& track = element("ScrollBack");
    ASSERT_EQ(thumb.top(), track.top());

    drag(thumb, {6, 5}, {6, 5 + 500});
    EXPECT_EQ(model.scrollOffset(), 20);
    EXPECT_EQ(thumb.top(), track.top() + track.pictureHeight() - thumb.pictureHeight());
    EXPECT_EQ(list().row(kRows).text, QStringLiteral(" f24.mp3"));

    drag(thumb, {6, 5}, {6, 5 - 500});
    EXPECT_EQ(model.scrollOffset(), 0);
    EXPECT_EQ(thumb.top(), track.top());

    // Halfway down the 80-pixel travel: offset 10.
    drag(thumb, {6, 5}, {6, 5 + 40});
    EXPECT_EQ(model.scrollOffset(), 10);
    EXPECT_EQ(thumb.top(), track.top() + 40);

    // The right button does not drag.
    QMouseEvent down(QEvent::MouseButtonPress, QPointF(6, 5), thumb.mapToGlobal(QPointF(6, 5)), Qt::RightButton,
                     Qt::RightButton, {});
    QApplication::sendEvent(&thumb, &down);
    QMouseEvent move(QEvent::MouseMove, QPointF(6, 60), thumb.mapToGlobal(QPointF(6, 60)), Qt::NoButton,
                     Qt::RightButton, {});
    QApplication::sendEvent(&thumb, &move);
    EXPECT_EQ(model.scrollOffset(), 10);
}

TEST_F(PlaylistScrollTest, ArrowKeysScrollOnlyAtTheEdgesOfTheList)
{
    addFiles(8);  // offsets 0 ... 4
    focusList();
    selectRow(kRows);
    QTest::keyClick(&list(), Qt::Key_Down);
    EXPECT_EQ(model.scrollOffset(), 1);
    EXPECT_EQ(window->selectedEntry(), 6) << "the selection stays on the last row";

    selectRow(3);
    QTest::keyClick(&list(), Qt::Key_Down);  // inside the list: the selection moves
    EXPECT_EQ(model.scrollOffset(), 1);
    EXPECT_EQ(window->selectedEntry(), 5);

    selectRow(1);
    QTest::keyClick(&list(), Qt::Key_Up);
    EXPECT_EQ(model.scrollOffset(), 0);
    QTest::keyClick(&list(), Qt::Key_Up);  // ScrollUp disabled: nothing to scroll
    EXPECT_EQ(model.scrollOffset(), 0);
    EXPECT_TRUE(keys.empty()) << "arrows are not commands";

    model.setScrollOffset(4);
    model.refresh();
    selectRow(kRows);
    QTest::keyClick(&list(), Qt::Key_Down);  // at the end already
    EXPECT_EQ(model.scrollOffset(), 4);
}

TEST_F(PlaylistScrollTest, HomeEndAndPageKeysMoveThroughTheWholeList)
{
    addFiles(20);  // 21 entries on 5 rows: offsets 0 ... 16
    focusList();
    auto key = [this](Qt::Key k) { QTest::keyClick(&list(), k); };
    key(Qt::Key_End);
    EXPECT_EQ(model.scrollOffset(), 16);
    EXPECT_EQ(window->selectedEntry(), 21);
    key(Qt::Key_PageUp);  // from the bottom row to the top one
    EXPECT_EQ(model.scrollOffset(), 16);
    EXPECT_EQ(window->selectedEntry(), 17);
    key(Qt::Key_PageUp);  // then a page up
    EXPECT_EQ(window->selectedEntry(), 13);
    EXPECT_EQ(model.scrollOffset(), 12);
    key(Qt::Key_Home);
    EXPECT_EQ(model.scrollOffset(), 0);
    EXPECT_EQ(window->selectedEntry(), 1);
    key(Qt::Key_PageDown);
    EXPECT_EQ(window->selectedEntry(), 5);
    key(Qt::Key_PageDown);
    EXPECT_EQ(window->selectedEntry(), 9);
    EXPECT_EQ(model.scrollOffset(), 4);
    for (int i = 0; i < 5; ++i)
        key(Qt::Key_PageDown);
    EXPECT_EQ(window->selectedEntry(), 21);
    EXPECT_TRUE(keys.empty()) << "none of them is a command";
}

TEST_F(PlaylistScrollTest, EnterPlaysAndDeleteRemovesTheSelectedEntry)
{
    addFiles(8);
    focusList();
    selectRow(kRows);
    QTest::keyClick(&list(), Qt::Key_Return);
    EXPECT_EQ(opened, std::vector<int>{5});
    QTest::keyClick(&list(), Qt::Key_Delete);
    QTest::keyClick(&list(), Qt::Key_Delete);  // the row now shows the next entry
    EXPECT_EQ(texts(model).mid(3, 3), QStringList({"f3.mp3", "f6.mp3", "f7.mp3"}));
    EXPECT_EQ(window->selectedEntry(), 5);
    model.setScrollOffset(2);
    model.refresh();
    selectRow(kRows);
    QTest::keyClick(&list(), Qt::Key_Delete);  // the last entry: the view keeps to what exists
    EXPECT_EQ(model.playlistCount(), 6);
    EXPECT_EQ(window->selectedEntry(), 6);
    EXPECT_TRUE(keys.empty());
}

TEST_F(PlaylistScrollTest, TheWheelScrollsByRowsWithinTheRange)
{
    addFiles(30);  // offsets 0 ... 26
    const int lines = QApplication::wheelScrollLines();
    auto turnOver = [](QWidget& w, QPointF at, int delta) {
        QWheelEvent wheel(at, w.mapToGlobal(at), {}, {0, delta}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&w, &wheel);
    };
    auto turn = [&](int delta) { turnOver(*list().viewport(), rowPoint(2), delta); };
    turn(120);  // up at the top: nothing
    EXPECT_EQ(model.scrollOffset(), 0);
    turn(-120);
    EXPECT_EQ(model.scrollOffset(), lines);
    turn(-60);  // half a notch waits for the other half
    EXPECT_EQ(model.scrollOffset(), lines);
    turn(-60);
    EXPECT_EQ(model.scrollOffset(), 2 * lines);
    for (int i = 0; i < 20; ++i)
        turn(-120);
    EXPECT_EQ(model.scrollOffset(), 26);
    EXPECT_FALSE(element("ScrollDown").isEnabled());
    EXPECT_EQ(list().row(kRows).text, QStringLiteral(" f30.mp3"));
    turn(120);
    EXPECT_EQ(model.scrollOffset(), 26 - lines);
    turnOver(element("ScrollBack"), {4, 50}, 120);  // over the scroll bar too
    EXPECT_EQ(model.scrollOffset(), 26 - 2 * lines);
    turnOver(element("Scroll"), {4, 4}, -120);
    EXPECT_EQ(model.scrollOffset(), 26 - lines);
}

TEST_F(PlaylistScrollTest, WhileTheLoaderMeasuresTheListIgnoresKeysAndWheel)
{
    addFiles(8);
    focusList();
    selectRow(kRows);
    list().setMeasuring(true);
    QTest::keyClick(&list(), Qt::Key_Down);
    QTest::keyClick(&list(), Qt::Key_F);
    const QPointF at = rowPoint(2);
    QWheelEvent wheel(at, list().viewport()->mapToGlobal(at), {}, {0, -120}, Qt::NoButton, {}, Qt::NoScrollPhase,
                      false);
    QApplication::sendEvent(list().viewport(), &wheel);
    list().setMeasuring(false);
    EXPECT_EQ(model.scrollOffset(), 0);
    EXPECT_TRUE(keys.empty());
}
