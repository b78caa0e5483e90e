#pragma once
// CommandSink: the playlist's sink as the command handler's paths reach it;
// each added path is logged at debug level ("velmora.command: add <path>")
// before it goes on, so a run can tell what a command line brought. UI
// thread only; the inner sink outlives this one.

#include "playlist/adding/folder_tree_sink.h"

namespace velmora {

class CommandSink final : public FolderTreeSink {
public:
    explicit CommandSink(FolderTreeSink& inner) : inner_(inner) {}

    int appendGroup(const QString& text, int deep, std::int32_t time) override
    {
        return inner_.appendGroup(text, deep, time);
    }
    int addPath(const QString& path, int deep) override;
    void beginChunk() override { inner_.beginChunk(); }
    void endChunk() override { inner_.endChunk(); }

private:
    FolderTreeSink& inner_;
};

}  // namespace velmora
