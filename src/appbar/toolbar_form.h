#pragma once
// ToolbarForm: the docked toolbar's window. Seven transport buttons and the
// current clip's name on a strip whose client area is designed at 632 x 32
// pixels. A button is active (drawn plain) or inactive (drawn with a thin
// frame); a click on an active one is reported, a click on an inactive one
// is not. The pictures are drawn as shapes, crisp at any device pixel
// ratio. Keys go to the key handler. The window takes no focus when shown.
// UI thread only.

#include <QAbstractButton>
#include <QWidget>

#include <array>
#include <functional>

class QLabel;

namespace velmora {

class KeySink;

class ToolbarButton : public QAbstractButton {
    Q_OBJECT
public:
    enum class Glyph { Play, Pause, Stop, Back, Forward, Previous, Next };

    ToolbarButton(Glyph glyph, QWidget* parent);
    Glyph glyph() const { return glyph_; }
    // Inactive buttons carry the frame.
    void setFramed(bool framed);
    bool framed() const { return framed_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Glyph glyph_;
    bool framed_ = false;
};

class ToolbarForm : public QWidget {
    Q_OBJECT
public:
    using Button = ToolbarButton::Glyph;
    static constexpr int kButtonCount = 7;
    static constexpr QSize kClientSize{632, 32};

    explicit ToolbarForm(QWidget* parent = nullptr);

    ToolbarButton& button(Button which) { return *buttons_[static_cast<std::size_t>(which)]; }
    QLabel& clip() { return *clip_; }
    void setAllFramed(bool framed);

    // Where the window's key presses go.
    void setKeySink(KeySink* sink) { keySink_ = sink; }

signals:
    // An active button was clicked.
    void buttonClicked(velmora::ToolbarButton::Glyph button);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    std::array<ToolbarButton*, kButtonCount> buttons_{};
    QLabel* clip_ = nullptr;
    KeySink* keySink_ = nullptr;
};

}  // namespace velmora
