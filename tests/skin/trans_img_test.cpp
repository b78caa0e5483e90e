// The skin image element: transparency for painting and the mouse, places,
// the enabled state, the grab while a button is held.
#define QTEST_QPA_MOUSE_HANDLING  // route test clicks through the window, as real ones are
#include "skin/trans_img.h"

#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace velmora;

namespace {

// A window background that records the presses it receives.
class Background : public QWidget {
public:
    Background() { resize(200, 100); }
    int presses = 0;
    QPoint last;

protected:
    void mousePressEvent(QMouseEvent* e) override
    {
        ++presses;
        last = e->position().toPoint();
    }
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), Qt::black); }
};

// 20 x 10: left half white (transparent), right half red.
QImage halfWhite()
{
    QImage image(20, 10, QImage::Format_RGB32);
    image.fill(QColor(220, 30, 30));
    QPainter p(&image);
    p.fillRect(0, 0, 10, 10, Qt::white);
    return image;
}

class TransImgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        element = new TransImg(&window);
        ASSERT_TRUE(element->setPicture(halfWhite()));
        element->setPlace(40, 30);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    QWindow* handle() { return window.windowHandle(); }

    Background window;
    TransImg* element = nullptr;
};

}  // namespace

TEST_F(TransImgTest, SizeComesFromThePicture)
{
    EXPECT_EQ(element->pictureWidth(), 20);
    EXPECT_EQ(element->pictureHeight(), 10);
    EXPECT_EQ(element->size(), QSize(20, 10));
    EXPECT_FALSE(element->setPicture(QImage()));  // refused: the old picture stays
    EXPECT_EQ(element->size(), QSize(20, 10));
    EXPECT_FALSE(element->loadPicture(QStringLiteral("/no/such/picture.bmp")));
    EXPECT_TRUE(element->hasPicture());
}

TEST_F(TransImgTest, PicturesAreReadByTheirNameAndElseByTheirContent)
{
    QTemporaryDir dir;
    const QString bmp = dir.filePath(QStringLiteral("button.bmp"));
    const QString pngNamedBmp = dir.filePath(QStringLiteral("knob.bmp"));
    const QString garbage = dir.filePath(QStringLiteral("broken.bmp"));
    ASSERT_TRUE(halfWhite().save(bmp, "BMP"));
    ASSERT_TRUE(halfWhite().scaled(8, 4).save(pngNamedBmp, "PNG"));
    QFile broken(garbage);
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("BM not really a picture");
    broken.close();

    ASSERT_TRUE(element->loadPicture(bmp));
    EXPECT_EQ(element->pictureWidth(), 20);
    EXPECT_EQ(element->picture().pixelColor(15, 5), QColor(220, 30, 30));
    ASSERT_TRUE(element->loadPicture(pngNamedBmp));
    EXPECT_EQ(element->pictureWidth(), 8);
    EXPECT_FALSE(element->loadPicture(garbage));
    EXPECT_FALSE(element->loadPicture(dir.filePath(QStringLiteral("missing.bmp"))));
    EXPECT_EQ(element->pictureWidth(), 8) << "a failed load keeps the picture";
}

TEST_F(TransImgTest, PlacesKeepFractionsAndShowRounded)
{
    element->setLeft(12.5);
    element->setTop(13.5);
    EXPECT_DOUBLE_EQ(element->left(), 12.5);
    EXPECT_DOUBLE_EQ(element->top(), 13.5);
    EXPECT_EQ(element->pos(), QPoint(12, 14));  // halves to even
}

TEST_F(TransImgTest, WhitePixelsLetPressesThroughToTheBackground)
{
    QSignalSpy down(element, &TransImg::mouseDown);
    EXPECT_FALSE(element->opaqueAt({5, 5}));
    EXPECT_TRUE(element->opaqueAt({15, 5}));

    QTest::mousePress(handle(), Qt::LeftButton, {}, QPoint(45, 35));  // white half
    QTest::mouseRelease(handle(), Qt::LeftButton, {}, QPoint(45, 35));
    EXPECT_EQ(window.presses, 1);
    EXPECT_EQ(window.last, QPoint(45, 35));
    EXPECT_EQ(down.count(), 0);

    QTest::mousePress(handle(), Qt::LeftButton, Qt::ShiftModifier, QPoint(55, 36));  // red half
    QTest::mouseRelease(handle(), Qt::LeftButton, {}, QPoint(55, 36));
    EXPECT_EQ(window.presses, 1);  // the element took it
    ASSERT_EQ(down.count(), 1);
    EXPECT_EQ(down[0][0].toInt(), 1);  // left button
    EXPECT_EQ(down[0][1].toInt(), 1);  // shift
    EXPECT_DOUBLE_EQ(down[0][2].toDouble(), 15);
    EXPECT_DOUBLE_EQ(down[0][3].toDouble(), 6);
}

TEST_F(TransImgTest, WhitePixelsAreNotPainted)
{
    const QImage shot = window.grab().toImage();
    EXPECT_EQ(shot.pixelColor(45, 35), QColor(Qt::black));         // background through white
    EXPECT_EQ(shot.pixelColor(55, 35), QColor(220, 30, 30));        // the picture
}

TEST_F(TransImgTest, DisablingTheElementEndsAPressHeldOnIt)
{
    QSignalSpy up(element, &TransImg::mouseUp);
    QSignalSpy clicks(element, &TransImg::clicked);
    QTest::mousePress(handle(), Qt::LeftButton, {}, QPoint(55, 35));
    element->setEnabled(false);  // e.g. the transport goes idle during a knob drag
    ASSERT_EQ(up.count(), 1) << "the drag ends although no release will come";
    EXPECT_EQ(up.at(0).at(0).toInt(), 1);
    QTest::mouseRelease(handle(), Qt::LeftButton, {}, QPoint(55, 35));
    element->setEnabled(true);
    element->setEnabled(false);
    EXPECT_EQ(up.count(), 1) << "nothing is held any more";
    EXPECT_EQ(clicks.count(), 0);
}

TEST_F(TransImgTest, DisabledRaisesNothingAndLooksDimmed)
{
    QSignalSpy down(element, &TransImg::mouseDown);
    QSignalSpy clicks(element, &TransImg::clicked);
    element->setEnabled(false);
    QTest::mouseClick(handle(), Qt::LeftButton, {}, QPoint(55, 35));
    EXPECT_EQ(down.count(), 0);
    EXPECT_EQ(clicks.count(), 0);
    const QColor dimmed = window.grab().toImage().pixelColor(55, 35);
    EXPECT_LT(dimmed.red(), 150);
    EXPECT_GT(dimmed.red(), 20);  // still visible
    element->setEnabled(true);
    QTest::mouseClick(handle(), Qt::LeftButton, {}, QPoint(55, 35));
    EXPECT_EQ(down.count(), 1);
    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(TransImgTest, MovesKeepComingWhileTheButtonIsHeldOutside)
{
    QSignalSpy moves(element, &TransImg::mouseMove);
    QSignalSpy up(element, &TransImg::mouseUp);
    QSignalSpy clicks(element, &TransImg::clicked);
    QTest::mousePress(handle(), Qt::LeftButton, {}, QPoint(55, 35));
    QTest::mouseMove(handle(), QPoint(150, 80));  // far outside the element
    ASSERT_GE(moves.count(), 1);
    EXPECT_EQ(moves.last()[0].toInt(), 1);               // left held
    EXPECT_DOUBLE_EQ(moves.last()[2].toDouble(), 110);   // relative to the element
    EXPECT_DOUBLE_EQ(moves.last()[3].toDouble(), 50);
    element->setLeft(100);  // a dragged knob moves under the pointer
    QTest::mouseMove(handle(), QPoint(160, 80));
    EXPECT_DOUBLE_EQ(moves.last()[2].toDouble(), 60);    // from its new place
    QTest::mouseRelease(handle(), Qt::LeftButton, {}, QPoint(190, 90));
    ASSERT_EQ(up.count(), 1);
    EXPECT_EQ(clicks.count(), 0);  // released away from it
    EXPECT_EQ(window.presses, 0);
}

TEST_F(TransImgTest, AllWhitePictureIsInvisibleToTheMouse)
{
    QImage white(20, 10, QImage::Format_RGB32);
    white.fill(Qt::white);
    ASSERT_TRUE(element->setPicture(white));
    QTest::mouseClick(handle(), Qt::LeftButton, {}, QPoint(55, 35));
    EXPECT_EQ(window.presses, 1);
    // A real picture again makes it pressable.
    ASSERT_TRUE(element->setPicture(halfWhite()));
    QTest::mouseClick(handle(), Qt::LeftButton, {}, QPoint(55, 35));
    EXPECT_EQ(window.presses, 1);
}
