// Skin pictures on a screen of fractional density (run with
// QT_SCALE_FACTOR=1.5): drawn filtered, so that picture pixels do not come
// out one and two screen pixels wide by turns.
#include "skin/skinned_form.h"
#include "skin/trans_img.h"

#include <QGuiApplication>
#include <QSet>
#include <QTest>

#include <gtest/gtest.h>

using namespace velmora;

namespace {

// Alternating columns of two colours, neither white (white is see-through).
QImage stripes(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, x % 2 ? qRgb(200, 0, 0) : qRgb(0, 0, 200));
    return image;
}

// The colours of a grabbed area, as the screen would show it.
QSet<QRgb> coloursOf(const QPixmap& grabbed)
{
    const QImage image = grabbed.toImage().convertToFormat(QImage::Format_RGB32);
    QSet<QRgb> seen;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            seen.insert(image.pixel(x, y) | 0xFF000000u);
    return seen;
}

}  // namespace

TEST(FractionalScale, SkinPicturesAreFilteredNotUneven)
{
    ASSERT_DOUBLE_EQ(qApp->devicePixelRatio(), 1.5) << "run with QT_SCALE_FACTOR=1.5";
    SkinnedForm form(SkinWindow::Main, Qt::Window);
    ASSERT_TRUE(form.setBackground(stripes({40, 20})));
    form.setSkinWidth(40);
    form.setSkinHeight(20);
    auto* element = new TransImg(&form);
    ASSERT_TRUE(element->setPicture(stripes({10, 10})));
    element->setPlace(25, 5);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));

    // Copied pixel for pixel, the stripes would stay two pure colours.
    EXPECT_GT(coloursOf(form.grab(QRect(2, 2, 16, 16))).size(), 2);
    EXPECT_GT(coloursOf(element->grab(QRect(2, 2, 6, 6))).size(), 2);
}
