#pragma once
// The playlist model seen as the clip table the playback controller walks.

#include "playback/playback_panels.h"
#include "playlist/playlist_model.h"

namespace velmora {

class PlaylistClips : public ClipList {
public:
    explicit PlaylistClips(PlaylistModel& model) : model_(model) {}

    int count() const override { return model_.playlistCount(); }
    QString path(int index) const override { return model_.entry(index).path; }
    QString text(int index) const override { return model_.entry(index).text; }
    bool checked(int index) const override { return model_.entry(index).checked; }
    int deep(int index) const override { return model_.entry(index).deep; }
    int currentIndex() const override { return model_.currentIndex(); }
    void setCurrentIndex(int index) override { model_.setCurrentIndex(index); }
    void markCurrentRow() override { model_.markCurrentRow(); }
    std::uint64_t entryId(int index) const override { return model_.entryId(index); }
    int indexOf(std::uint64_t id) const override { return model_.indexOf(id); }

private:
    PlaylistModel& model_;
};

}  // namespace velmora
