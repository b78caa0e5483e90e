#pragma once
// FolderTreeSink: where added folders and files end up, the playlist model's
// add path as the folder walk needs it. The playlist model implements it
// (appendGroup = Append group with checked true; addPath = Add path with
// the nesting value, default text and check state); tests record the calls.
//
// Called on the UI thread only, in table order, chunk by chunk: every
// chunk is bracketed by beginChunk()/endChunk() so that a model refreshes
// its view once per chunk rather than once per entry. PlaylistModelSink
// (playlist_model_sink.h) is the playlist model's.

#include <QString>

#include <cstdint>

namespace velmora {

// The time a folder group starts with (nothing measured below it yet).
inline constexpr std::int32_t kFolderGroupTime = -2;

class FolderTreeSink {
public:
    virtual ~FolderTreeSink() = default;
    // Appends a group entry: text, nesting value (even), empty path, checked.
    // Returns the number of entries added (the root too when it was made).
    virtual int appendGroup(const QString& text, int deep, std::int32_t time) = 0;
    // Adds a file path with the nesting value (odd); returns the number of
    // entries added (a ".pml" file adds its whole playlist, a failed one 0).
    virtual int addPath(const QString& path, int deep) = 0;
    virtual void beginChunk() {}
    virtual void endChunk() {}
};

}  // namespace velmora
