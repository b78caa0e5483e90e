#pragma once
// Toolbar: the docked toolbar as the program uses it. ShowToolbar(true)
// makes the ToolbarForm, shows it above the screen and docks it at the top
// edge as an auto-hiding application bar (TAppBar); ShowToolbar(false)
// detaches the bar and unloads the window, so the next show makes it anew.
// The bar object is made on first use and kept; each show starts it from
// its created state, so a second show docks exactly as the first.
//
// It shows the playback state: the window follows it while shown and takes
// the last one when shown again. Button clicks (as the main window's
// transport buttons) and keys go to the hooks. With another auto-hide bar on the top edge the bar says so in a
// box and docks without auto-hide.
//
// On xcb the X11 shell service is used (EWMH); elsewhere a local one that
// reserves nothing. UI thread only.

#include "appbar/app_bar.h"
#include "appbar/toolbar_form.h"
#include "playback/playback_panels.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class QKeyEvent;

namespace velmora {

class KeySink;
class QtBarDesktop;
class QtBarWindow;

class Toolbar : public QObject, public PlaybackView {
    Q_OBJECT
public:
    struct Hooks {
        std::function<void(TransportButton)> press;  // a button was clicked
        KeySink* keys = nullptr;                     // the window's keys
    };

    explicit Toolbar(Hooks hooks, QObject* parent = nullptr);
    ~Toolbar() override;

    // Shows (docked, auto-hiding) or removes the toolbar; a repeat of the
    // present state does nothing.
    void ShowToolbar(bool show);
    bool ToolbarShown() const { return shown_; }

    // The window while shown (null otherwise) and the bar once made.
    ToolbarForm* form() const { return form_.data(); }
    TAppBar* bar() const { return bar_.get(); }

    // PlaybackView: framed (inactive) buttons while no clip is open, Pause
    // framed unless it plays; the clip label shows the open clip's text.
    void showPlayback(const PlaybackState& state) override;

private:
    void show();
    void remove();
    void showState();

    Hooks hooks_;
    PlaybackState state_;
    bool shown_ = false;
    std::unique_ptr<QtBarDesktop> desktop_;
    std::unique_ptr<TAppBar> bar_;
    QPointer<ToolbarForm> form_;
    QList<QPointer<ToolbarForm>> unloading_;  // removed, deleted once events run
    QPointer<QtBarWindow> window_;
};

}  // namespace velmora
