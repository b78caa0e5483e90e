#pragma once
// SkinnedForm: what the three skinned windows share. A borderless top-level
// window whose whole look is a background picture from the skin, with the
// skin image elements of its kind (created here, hidden until they get a
// picture), a rounded outline as the window's mask (the X11 SHAPE extension
// on X11), and a background that drags the group of windows.
//
// The window's size is kept with fractions as the skin gives it and applied
// rounded. Presses on an element, a label or the list never reach the
// background. Keys go to the handler the application sets (the keyboard
// commands). UI thread only; owned by SkinnedWindows.

#include "skin/skin_keys.h"
#include "skin/trans_img.h"

#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <functional>
#include <string_view>
#include <vector>

namespace velmora {

class KeySink;

class SkinnedForm : public QWidget {
    Q_OBJECT
public:
    SkinnedForm(SkinWindow kind, Qt::WindowFlags flags);

    SkinWindow kind() const { return kind_; }

    // Background picture; a null image is refused (false).
    bool setBackground(const QImage& picture);
    const QImage& background() const { return background_; }

    // Window size in pixels, fractions kept; shown rounded.
    void setSkinWidth(double width);
    void setSkinHeight(double height);

    // The rounded outline from the current size (radius 0: rectangle).
    void applyOutline(int radius);

    // The element of this window by its name ("Play", "SliderVolume"), or
    // nullptr when the window has no such element.
    TransImg* element(std::string_view name) const;
    const std::vector<TransImg*>& elements() const { return elements_; }

    // Where the window's key presses go (none: the window's own handling).
    void setKeySink(KeySink* sink) { keySink_ = sink; }

    // Background drag: press (left button) and move (left button alone
    // held), with the pointer's place on the screen (global pixels).
    using DragHandler = std::function<void(SkinnedForm&, QPoint)>;
    void setDragHandlers(DragHandler press, DragHandler move);
    // The left button released over the window (a drag, if any, is over).
    void setDragEndHandler(std::function<void()> end) { dragEnd_ = std::move(end); }

    // The window system asked to close the window (Alt+F4, the taskbar):
    // the window stays; the handler decides. Closes from the program pass.
    void setCloseRequestHandler(std::function<void()> handler) { closeRequest_ = std::move(handler); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void applySize();

    SkinWindow kind_;
    QImage background_;
    QPixmap backgroundPixmap_;
    double width_ = 0;
    double height_ = 0;
    std::vector<TransImg*> elements_;
    KeySink* keySink_ = nullptr;
    DragHandler dragPress_, dragMove_;
    std::function<void()> dragEnd_;
    std::function<void()> closeRequest_;
};

}  // namespace velmora
