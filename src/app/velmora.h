#pragma once
// Velmora: the application object. It owns everything program-wide (the
// settings, the profile-file cache, the volume tables, the event pump and,
// as they land, the playlist, the engines and the windows), builds the
// subsystems in dependency order, tears them down in reverse, and hands each
// the references it needs. Any number of instances can live side by side in
// a test. UI thread only.

#include "app/settings.h"
#include "app/settings_store.h"
#include "base/event_pump.h"
#include "skin/profile_files.h"
#include "volume/volume_scale.h"

#include <QString>

namespace velmora {

class Velmora {
public:
    struct Options {
        QString configFolder;   // empty: userConfigFolder()
        QString programFolder;  // empty: the executable's folder
    };

    explicit Velmora(Options options = {});
    ~Velmora();
    Velmora(const Velmora&) = delete;
    Velmora& operator=(const Velmora&) = delete;

    SettingsStore& settingsStore() { return store_; }
    Settings& settings() { return settings_; }
    ProfileFiles& profiles() { return profiles_; }
    const VolumeScale& volumeScale() const { return volumeScale_; }
    EventPump& pump() { return pump_; }

    // The folder of the executable, ending in "/".
    const QString& programFolder() const { return programFolder_; }
    // The skin folder: "Skin" of "Settings", default programFolder + "skin/".
    QString skinFolder() const;

private:
    QString programFolder_;
    SettingsStore store_;
    Settings settings_;
    ProfileFiles profiles_;
    VolumeScale volumeScale_;
    EventPump pump_;
};

}  // namespace velmora
