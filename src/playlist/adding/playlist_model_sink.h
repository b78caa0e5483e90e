#pragma once
// PlaylistModelSink: the playlist model as the folder walk's sink. Each
// chunk is one PlaylistModel::Batch, so the list is refreshed and the change
// handlers run once per chunk. UI thread only; the model outlives the sink.

#include "playlist/adding/folder_tree_sink.h"
#include "playlist/playlist_model.h"

#include <optional>

namespace velmora {

class PlaylistModelSink final : public FolderTreeSink {
public:
    explicit PlaylistModelSink(PlaylistModel& model) : model_(model) {}

    int appendGroup(const QString& text, int deep, std::int32_t time) override
    {
        const int before = model_.playlistCount();
        model_.appendGroup(text, deep, true, time);
        return model_.playlistCount() - before;
    }
    int addPath(const QString& path, int deep) override { return model_.addPath(path, AddOptions::at(deep)); }
    void beginChunk() override { batch_.emplace(model_); }
    void endChunk() override { batch_.reset(); }

private:
    PlaylistModel& model_;
    std::optional<PlaylistModel::Batch> batch_;
};

}  // namespace velmora
