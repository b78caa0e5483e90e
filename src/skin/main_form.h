#pragma once
// MainForm: the main (transport) window. Its elements are the transport
// buttons, Close, Minimize, Menu and the seek knob on its track; its two
// labels show the position (`CurrentTime`) and the clip's length (`Time`).
//
// It shows the playback state (the transport's enabled elements and the
// clip's length) and is the seek view the seek bar moves. The element signals (TransImg) are wired by the
// application; Minimize and the activation rule are handled by
// SkinnedWindows. UI thread only.

#include "playback/playback_panels.h"
#include "playback/seek_view.h"
#include "skin/skinned_form.h"

#include <QLabel>

#include <functional>

namespace velmora {

// A label of a skinned window: sized to its text, transparent, and a press
// on it does not drag the window.
class SkinLabel : public QLabel {
    Q_OBJECT
public:
    explicit SkinLabel(QWidget* parent);
    void setSkinText(const QString& text);
    void setPointSize(double points);
    void setTextColour(std::uint32_t rgb);
    std::uint32_t textColour() const;
    double left() const { return left_; }
    double top() const { return top_; }
    void setLeft(double left);
    void setTop(double top);

protected:
    // Presses, moves and releases on a label never drag the windows.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    double left_ = 0, top_ = 0;
};

// The time labels' font face: a monospace face the bootstrap installs.
QString timeFontFamily();

class MainForm : public SkinnedForm, public PlaybackView, public SeekView {
    Q_OBJECT
public:
    MainForm();

    SkinLabel& currentTime() { return *currentTime_; }
    SkinLabel& time() { return *time_; }

    // Window-state changes (minimised, restored) and activation, for
    // SkinnedWindows.
    std::function<void(Qt::WindowStates)> onStateChanged;
    std::function<void()> onActivated;

    // PlaybackView: Play, Stop, Back, Forward, the steps and the seek knob
    // are enabled while a clip is open, Pause while it plays; with nothing
    // open both labels read zero and the knob is at the track's left.
    void showPlayback(const PlaybackState& state) override;

    // SeekView and the seek bar's label.
    void setCurrentTimeText(const QString& text) override;

    double trackLeft() const override;
    double trackWidth() const override;
    double knobLeft() const override;
    double knobWidth() const override;
    void setKnobLeft(double left) override;

protected:
    void changeEvent(QEvent* event) override;

private:
    TransImg& knob() const { return *knob_; }
    TransImg* knob_;
    TransImg* track_;
    SkinLabel* currentTime_;
    SkinLabel* time_;
};

}  // namespace velmora
