#pragma once
// DesktopWiring: the program as the desktop sees it, built after the
// playing and the list's halves: the tray icon, the docked toolbar, the
// options window and the desktop's media controls (MPRIS), all outputs of
// the playback state and inputs to the one transport. It also holds the
// hiding that Close does when "NotClose" is 1 and a tray icon is there to
// bring the program back. UI thread only.

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace velmora {

class FileTypes;
class MediaModule;
class MprisBridge;
class OptionsWindow;
class PlaylistModel;
class PlaybackWiring;
class PlaylistWiring;
class Settings;
class Toolbar;
class TrayIcon;

class DesktopWiring : public QObject {
    Q_OBJECT
public:
    struct Parts {
        Settings& settings;
        MediaModule& media;
        PlaylistModel& playlist;
        FileTypes& fileTypes;
        PlaybackWiring& playback;
        PlaylistWiring& lists;
        QString defaultSkinFolder;
        // Whether the desktop shows a notification area; null: Qt's answer.
        std::function<bool()> notificationArea;
        std::function<void()> exitProgram;  // the tray's exit: ends even with "NotClose"
    };

    explicit DesktopWiring(Parts parts);
    ~DesktopWiring() override;

    TrayIcon& tray() { return *tray_; }
    Toolbar& toolbar() { return *toolbar_; }
    OptionsWindow& options() { return *options_; }
    // Null without a bus, or before publish().
    MprisBridge* mpris() { return mpris_.get(); }
    // The desktop's media controls on the bus (empty: the session bus).
    void publish(const QString& busAddress);

    // The tray icon is on the screen: the way back after Close only hid.
    bool trayIconOnScreen() const;
    // Close with "NotClose": every window hides, what it showed is kept.
    void hideToTray();
    // The tray icon's click or double-click, or an empty second start:
    // the windows come back as they were.
    void restoreFromTray();
    bool hiddenToTray() const { return hiddenToTray_; }

private:
    void releaseMemory();
    void stateChanged();

    Parts parts_;
    std::unique_ptr<TrayIcon> tray_;
    std::unique_ptr<Toolbar> toolbar_;
    std::unique_ptr<OptionsWindow> options_;
    std::unique_ptr<MprisBridge> mpris_;
    bool hiddenToTray_ = false;
};

}  // namespace velmora
