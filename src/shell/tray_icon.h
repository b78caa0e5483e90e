#pragma once
// TrayIcon: the program's icon in the panel's notification area and its
// menu.
//
// A left double-click asks to restore the program (after Close only hid
// it); any other click opens the menu: four playback items (play/pause,
// previous, next, stop: what the keys Space, "[", "]" and Escape do), a
// separator and "Закрыть программу". Because a
// double-click begins with a single click, a left click opens the menu only
// once the double-click interval has passed without a second click.
//
// Without a notification area (no panel, a bare X server) the icon simply
// does not appear; the program runs on. UI thread only.

#include "playback/playback_panels.h"

#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>

#include <functional>
#include <memory>

class QAction;
class QMenu;

namespace velmora {

class TrayIcon : public QObject, public PlaybackView {
    Q_OBJECT
public:
    struct Hooks {
        std::function<void()> playPause;                // the first playback item
        std::function<void(TransportButton)> press;  // the other three
        std::function<void()> restore;                  // left double-click
        std::function<void()> exitProgram;              // "Закрыть программу"
    };

    explicit TrayIcon(Hooks hooks, QObject* parent = nullptr);
    ~TrayIcon() override;

    // Adds (true) or removes (false) the icon; either may be repeated.
    void show(bool on);
    bool shown() const;

    // What a click on the icon does (the system tray's activation).
    void activate(QSystemTrayIcon::ActivationReason reason);

    QMenu& menu() { return *menu_; }
    QString toolTip() const;

    // PlaybackView: the four playback items follow whether a clip is open.
    void showPlayback(const PlaybackState& state) override;

signals:
    // The menu is about to open at the pointer (tests watch this).
    void menuOpening();

private:
    void openMenu();
    void setPlaybackItemsEnabled(bool on);

    Hooks hooks_;
    std::unique_ptr<QMenu> menu_;
    QAction* playback_[4] = {};
    std::unique_ptr<QSystemTrayIcon> icon_;  // made on first show
    QTimer singleClick_;
};

}  // namespace velmora
