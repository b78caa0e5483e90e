#pragma once
// SkinnedWindows: the three skinned windows (MainForm, VolumeForm,
// PlaylistForm) as one piece of furniture.
//
// It owns the three windows and applies skins to them (loadSkin), keeps
// them together when any one is dragged by its background (the group
// move), brings the companions forward when the main window is activated,
// hides and restores them with the main window (the four saved-visibility
// flags), sets window opacities and runs the closing fade. It knows
// playback only through the main window's panel interfaces; the program
// binds the seek knob and the winding buttons to their logic.
//
// What it needs comes in through the constructor: the settings (knob
// places, window places, opacities) and the profile-file cache (skin.ini).
// The windows are created hidden and
// live as long as this object. UI thread only.

#include "skin/closing_fade.h"
#include "skin/main_form.h"
#include "skin/playlist_form.h"
#include "skin/skin_loader.h"
#include "skin/volume_form.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

namespace velmora {

class KeySink;
class ProfileFiles;
class Settings;
class VideoWindowPlace;

// The visibility of the four companion windows recorded when the main
// window is minimised (and by the hide path of Close and the tray).
struct SavedVisibility {
    bool add = false, playlist = false, volume = false, options = false;
};

class SkinnedWindows : public QObject {
    Q_OBJECT
public:
    SkinnedWindows(Settings& settings, ProfileFiles& profiles, QObject* parent = nullptr);
    ~SkinnedWindows() override;

    MainForm& mainForm() { return *main_; }
    VolumeForm& volumeForm() { return *volume_; }
    PlaylistForm& playlistForm() { return *playlist_; }
    SkinnedForm& form(SkinWindow which);

    // LoadSkin: reads the folder's "skin.ini" and dresses the windows; every
    // step on its own, nothing reported; the windows are not moved. Calls
    // the refresh handler last. The folder may end in "/" or not.
    void loadSkin(const QString& folder);
    // The options dialog's choice: loadSkin only when the folder's skin can
    // dress the windows (skinDressesWindows), then the companions go to the
    // new skin's offsets. False: nothing changed.
    bool changeSkin(const QString& folder);
    const SkinState& skin() const { return skin_; }
    // Step 14 of loadSkin: the playlist's refresh.
    void setRefreshHandler(std::function<void()> refresh) { refresh_ = std::move(refresh); }

    // The group move with the pointer at `pointer` in the pressed window's
    // pixels, relative to the grab point of the last background press.
    void moveGroup(SkinWindow pressed, QPoint pointer);
    // The start-up call with 0, 0: companions to their offsets.
    void placeCompanions();

    // Start-up: the main window at the stored "Left"/"Top" (default: the
    // centre of the primary screen), moved onto the nearest screen when it
    // would lie wholly outside every screen (the stored values are kept),
    // then the companions at their offsets.
    void placeFromSettings();
    // Start-up: the stored opacities, clamped to 10..100.
    void applyStartOpacities();
    // Whole-window opacity, percent 0..100 (clamped).
    void setOpacity(SkinWindow which, int percent);
    int opacity(SkinWindow which) const;

    // Minimize: records the four flags, then minimises the main window;
    // the state change hides the companions and drops the video window.
    void minimise();
    SavedVisibility& savedVisibility() { return saved_; }
    void recordVisibility();
    // Shows or hides the four windows as recordVisibility() found them.
    void showRecorded();
    // The add-files window and the options dialog, which follow the main
    // window when it is minimised (either may be null).
    void setAddFilesWindow(QWidget* window) { addForm_ = window; }
    void setOptionsWindow(QWidget* window) { optionsForm_ = window; }
    void setVideoWindow(VideoWindowPlace* video) { video_ = video; }

    // Keys pressed on any of the three windows.
    void setKeySink(KeySink* sink);

    // The closing fade from these levels: each tick sets the three opacities
    // and hands the sound level (0..100) to setSoundLevel; when all are 0 `finished` runs, which unloads the
    // windows (playlist, volume, video, main) and ends the program. The
    // three windows are disabled for the fade.
    void startClosingFade(FadeLevels from, std::function<void(int percent)> setSoundLevel,
                          std::function<void()> finished);
    const ClosingFade& fade() const { return fade_; }
    // The program's menu, opened by Menu, has closed.
    void menuClosed() { menuClosed_.start(); }

signals:
    // The main window's Close and Menu were clicked (Menu: pointer place).
    void closeClicked();
    void menuClicked(QPoint globalPos);
    // The window system closed the volume or playlist window.
    void companionCloseRequested(SkinWindow which);

private:
    void wireForm(SkinnedForm& form);
    void backgroundPressed(SkinnedForm& form, QPoint global);
    void backgroundMoved(SkinnedForm& form, QPoint global);
    void applyPlaces(const GroupPlaces& places);
    void mainStateChanged(Qt::WindowStates state);
    void mainActivated();
    QPoint placeOf(SkinWindow which) const;

    Settings& settings_;
    ProfileFiles& profiles_;
    std::unique_ptr<MainForm> main_;
    std::unique_ptr<VolumeForm> volume_;
    std::unique_ptr<PlaylistForm> playlist_;
    SkinState skin_;
    std::function<void()> refresh_;

    QPoint grab_;       // in the pressed window's pixels
    GroupPlaces places_;  // where we last put the three windows
    bool dragging_ = false;
    int opacity_[3] = {100, 100, 100};

    SavedVisibility saved_;
    QPointer<QWidget> addForm_, optionsForm_;
    bool mainNormal_ = true;  // the main window's last state was normal
    VideoWindowPlace* video_ = nullptr;
    bool activating_ = false;
    QElapsedTimer menuClosed_;

    ClosingFade fade_;
};

}  // namespace velmora
