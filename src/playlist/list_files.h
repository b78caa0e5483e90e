#pragma once
// List files on the add path: the program's own ".pml" and the playlists of
// other players (".m3u", ".m3u8", ".pls", ".xspf"). Each loads as one new
// group named after the file, holding its entries in file order.
//
// Other players' lists: relative paths are resolved against the list's
// folder ("\" read as "/"), "file:" URLs decoded (entry_location.h says
// what is a URL); of an entry's readings (foreign_playlist.h) the first
// existing file counts. "http(s)" entries are kept as streams; other URLs
// and locations that are not existing files are skipped (a debug message
// says why).
// A list that names another list loads that one in turn as a group inside
// it; a list already being loaded further up the chain, whatever its
// format, adds nothing, and nesting stops at kMaxPlaylistNesting lists.
//
// UI thread (the model's); reads the files and blocks while it does.

#include "playlist/playlist_model.h"

#include <QString>

#include <vector>

namespace velmora {

// True for the extensions above, in any letter case.
bool isListFilePath(const QString& path);

// The list files being loaded, outermost first.
class ListFileChain {
public:
    // Enters the file; false (and nothing entered) when it is in the chain
    // already or the chain is as long as nesting may go.
    bool enter(const QString& path);
    void leave() { files_.pop_back(); }

private:
    std::vector<QString> files_;
};

// Loads the list file at path as Add path does (options.nesting: where the
// file entry would go; options.text: the group's text, default the file
// name). chain: the lists being loaded around this one (null: none).
// Returns the number of entries added.
int loadListFile(PlaylistModel& model, const QString& path, const AddOptions& options = {},
                 ListFileChain* chain = nullptr);

}  // namespace velmora
