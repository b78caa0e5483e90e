#include "app/last_list.h"

#include "media/media_engine.h"
#include "playback/playback_controller.h"
#include "playback/seek_bar.h"
#include "playlist/playlist_file.h"

#include <QFile>
#include <QLoggingCategory>

#include <cmath>
#include <memory>

Q_DECLARE_LOGGING_CATEGORY(lcApp)

namespace velmora {

void LastList::save(bool on) const
{
    if (!on) {
        QFile::remove(file_);
        return;
    }
    ListPlace place;
    place.current = parts_.playlist.currentIndex();
    if (place.current >= 1 && !parts_.engine.fileName().isEmpty())
        place.position = parts_.engine.position();
    if (cuedEntry_ != 0 && place.current >= 1 && parts_.playlist.entryId(place.current) == cuedEntry_
        && parts_.engine.state() != MediaEngine::kPlaying && std::abs(place.position - cuedPosition_) < 0.5)
        place.position = cuedPosition_;
    if (!saveListToRestore(parts_.playlist, file_, place))
        qCDebug(lcApp) << "the list to restore cannot be written:" << file_;
}

bool LastList::restore(bool cueCurrent)
{
    const ListPlace place = restoreList(parts_.playlist, file_);
    if (parts_.playlist.isEmpty())
        return false;
    if (cueCurrent && place.current >= 1)
        cue(place.current, place.position);
    return true;
}

// The controller opens and plays; the first clip that starts (the entry, or
// the next one when it cannot be opened) is paused at once, and the entry's
// own clip goes to its position.
void LastList::cue(int index, double position)
{
    PlaybackController& controller = parts_.controller;
    const std::uint64_t entry = parts_.playlist.entryId(index);
    auto started = std::make_shared<QMetaObject::Connection>();
    auto idle = std::make_shared<QMetaObject::Connection>();
    auto done = [started, idle] {
        QObject::disconnect(*started);
        QObject::disconnect(*idle);
    };
    *started = QObject::connect(&controller, &PlaybackController::clipStarted, &controller,
                                [this, entry, position, done](int playing) {
                                    done();
                                    parts_.controller.press(TransportButton::Pause);
                                    if (parts_.playlist.entryId(playing) == entry && position > 0) {
                                        parts_.engine.setPosition(position);
                                        cuedEntry_ = entry;
                                        cuedPosition_ = position;
                                    }
                                    parts_.seekBar.showPosition();
                                    qCDebug(lcApp) << "cued entry" << playing << "at" << position;
                                });
    *idle = QObject::connect(&controller, &PlaybackController::wentIdle, &controller, done);
    controller.OpenClip(index);
}

}  // namespace velmora
