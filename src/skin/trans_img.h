#pragma once
// TransImg: the skin image element, one picture on a skinned window. Every
// button, knob and track of the three skinned windows is one.
//
// Pixels of pure white (255, 255, 255) are transparent, for painting and for
// the mouse alike: the element's mask leaves them out, so a press there goes
// to whatever lies beneath (the window background, which then drags the
// windows). The element's size is its picture's size; its place keeps
// fractions and is shown rounded to whole pixels. A disabled element raises
// no mouse events and is drawn dimmed. Between a press and the release the
// element keeps receiving moves, relative to its current place, also when
// the pointer leaves it (Qt's implicit grab). UI thread only.
//
// Mouse arguments follow the classic control: button 1 left, 2 right,
// 4 middle (for moves: the buttons held, or-ed); shift 1 Shift, 2 Ctrl,
// 4 Alt; x, y in pixels from the element's top-left corner.

#include <QImage>
#include <QPixmap>
#include <QWidget>

namespace velmora {

class TransImg : public QWidget {
    Q_OBJECT
public:
    explicit TransImg(QWidget* parent = nullptr);

    // Shows the picture with its white pixels transparent; the element takes
    // the picture's size. A null image is refused (false) and the previous
    // picture stays.
    bool setPicture(const QImage& picture);
    // Loads and shows a picture file; false (nothing changed) when it cannot
    // be read.
    bool loadPicture(const QString& path);
    bool hasPicture() const { return !picture_.isNull(); }
    const QImage& picture() const { return picture_; }

    double left() const { return left_; }
    double top() const { return top_; }
    void setLeft(double left);
    void setTop(double top);
    void setPlace(double left, double top);
    // The picture's size (0 before the first picture).
    int pictureWidth() const { return picture_.width(); }
    int pictureHeight() const { return picture_.height(); }

    // Whether a point (element pixels) is on an opaque pixel.
    bool opaqueAt(QPoint p) const;

    static int buttonCode(Qt::MouseButton button);
    static int buttonsCode(Qt::MouseButtons buttons);
    static int shiftCode(Qt::KeyboardModifiers modifiers);

signals:
    void mouseDown(int button, int shift, double x, double y);
    void mouseMove(int button, int shift, double x, double y);
    void mouseUp(int button, int shift, double x, double y);
    // Left button pressed and released over an opaque pixel.
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void applyPlace();

    QImage picture_;  // as loaded, ARGB32 with white made transparent
    QPixmap shown_;
    double left_ = 0;
    double top_ = 0;
    int heldButton_ = 0;  // the button pressed on the element, until released
};

}  // namespace velmora
