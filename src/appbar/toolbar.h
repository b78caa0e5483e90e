#pragma once
// Toolbar: the docked toolbar as the program uses it. ShowToolbar(true)
// makes the ToolbarForm, shows it above the screen and docks it at the top
// edge as an auto-hiding application bar (TAppBar); ShowToolbar(false)
// detaches the bar and unloads the window, so the next show makes it anew.
// The bar object is made on first use and kept; each show starts it from
// its created state, so a second show docks exactly as the first.
//
// It is the controller's toolbar panel: the calls reach the window while it
// is shown and are dropped while it is not. Button clicks and keys go to the
// hooks. With another auto-hide bar on the top edge the bar says so in a
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

class QtBarDesktop;
class QtBarWindow;

class Toolbar : public QObject, public ToolbarPanel {
    Q_OBJECT
public:
    // What the main window shows, read when the toolbar is shown.
    struct MainState {
        bool playEnabled = false;   // a clip is open
        bool pauseEnabled = false;  // ... and playing
        QString clipText;           // the current entry's text
    };
    struct Hooks {
        std::function<void(ToolbarForm::Button)> press;  // an active button was clicked
        std::function<void(QKeyEvent&)> key;
        std::function<MainState()> mainState;
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

    // ToolbarPanel
    void setButtonsFramed(bool framed) override;
    void setPauseFramed(bool framed) override;
    void setClipText(const QString& text) override;

private:
    void show();
    void remove();

    Hooks hooks_;
    bool shown_ = false;
    std::unique_ptr<QtBarDesktop> desktop_;
    std::unique_ptr<TAppBar> bar_;
    QPointer<ToolbarForm> form_;
    QList<QPointer<ToolbarForm>> unloading_;  // removed, deleted once events run
    QPointer<QtBarWindow> window_;
};

}  // namespace velmora
