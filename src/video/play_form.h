#pragma once
// PlayForm: the video window, captioned "Velmora 4". It hosts the engine's
// picture in a native child window (its id goes to the engine as the window
// to draw into) and owns the program's pop-up menu.
//
// It is never closed while the program runs; without a picture it is parked
// out of sight (left -333, top 0, width 7). When a clip with a picture has
// opened it moves to its remembered place and its client area takes the
// picture's size. While the main window is minimised it is dropped below
// the screen. On deactivation it goes to the bottom of the stacking order.
// Full screen is the window's own; leaving it restores place and size.
// Places are Qt's device-independent pixels; the picture is measured in
// screen pixels and shown one to one. UI thread only.

#include "video/video_place.h"
#include "skin/video_window_place.h"

#include <QAction>
#include <QMenu>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <functional>

namespace velmora {

class KeySink;

class MediaEngine;
class SkinnedWindows;

class PlayForm : public QWidget, public VideoWindowPlace {
    Q_OBJECT
public:
    PlayForm();
    ~PlayForm() override;

    // The native child the picture is drawn into, and its window id (made
    // native on first use).
    QWidget& display() { return *display_; }
    std::uintptr_t displayWindowId();
    // Hands the display's window to the engine.
    void attachEngine(MediaEngine& engine);

    // The remembered place, where the window goes when a picture opens.
    QPoint rememberedPosition() const { return remembered_; }
    // Start-up: the stored place; moved onto the nearest screen when it
    // would be wholly off every screen (for a window of `size`).
    void setRememberedPosition(QPoint topLeft);

    VideoPlace place() const;
    bool isShownPlace() const { return place() == VideoPlace::Shown; }

    // Park: when shown, remember the place; then left -333, top 0, width 7,
    // and off the screen (unmapped) until a picture opens.
    void park();
    // The place Close stores: where the window is when a picture shows it,
    // otherwise the remembered place.
    QPoint placeToStore() const;
    // Open complete with the engine's display size (screen pixels): no
    // picture (2 x 23) parks; otherwise the window goes to its remembered
    // place with its client area the picture's size in screen pixels.
    void openComplete(QSize display);

    // VideoWindowPlace (the main window's minimise rule).
    void dropBelowScreen() override;
    void returnFromBelowScreen() override;
    int belowScreenTop() const;

    void setFullScreen(bool on);
    // Above every other window (the key T), keeping its place and whether
    // it is shown. The window system does it through the handler below;
    // Qt's own flag is never changed, since Qt would make the window anew
    // at its next show and take the engine's display window with it.
    void setStaysOnTop(bool onTop);
    bool staysOnTop() const { return onTop_; }
    // Asks the window system to keep the window above the others or not;
    // `mapped` false: the window is about to be mapped.
    using AboveHandler = std::function<void(bool above, bool mapped)>;
    void setAboveHandler(AboveHandler handler) { aboveHandler_ = std::move(handler); }

    // The pop-up menu and its three items.
    QMenu& menuPopup() { return *menu_; }
    QAction& volumeItem() { return *volumeItem_; }
    QAction& playlistItem() { return *playlistItem_; }
    QAction& optionsItem() { return *optionsItem_; }
    void popupMenu(QPoint globalPos);

    // Where the window's key presses go (none: the window's own handling).
    void setKeySink(KeySink* sink) { keySink_ = sink; }
    // A close from the window manager (its frame's close button): the
    // program parks the window through the engine, which leaves full screen
    // and shows the pointer again. Unset: the window parks itself.
    void setCloseHandler(std::function<void()> handler) { closeHandler_ = std::move(handler); }

signals:
    void volumeItemToggled(bool checked);
    void playlistItemToggled(bool checked);
    void optionsItemTriggered();
    void menuClosed();  // the pop-up menu has gone

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* display_;
    QMenu* menu_;
    QAction* volumeItem_;
    QAction* playlistItem_;
    QAction* optionsItem_;
    QPoint remembered_;
    QRect normalGeometry_;
    bool fullScreen_ = false;
    KeySink* keySink_ = nullptr;
    std::function<void()> closeHandler_;
    AboveHandler aboveHandler_;
    bool onTop_ = false;
    bool parked_ = true;
};

}  // namespace velmora
