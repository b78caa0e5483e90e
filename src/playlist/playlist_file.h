#pragma once
// The ".pml" playlist file: the playlist below the root written as one
// section per entry ("main", then "file1", "file1meta1", ...), read back as
// one new group of the current playlist. Clip paths are stored relative to
// the playlist's folder where they share more than "/" with it.
//
// Each load parses its file once; each save writes the whole file once,
// through a temporary file beside it, so a failed save leaves the old file
// whole. UI thread (the model's); both touch the disk and block for as long
// as reading or writing takes.

#include "playlist/playlist_model.h"

#include <QString>

namespace velmora {

class ListFileChain;

// True when the path's last four characters are ".pml" in any case.
bool isPlaylistFilePath(const QString& path);

// Load playlist: appends a checked group (deep options.nesting + 1, time 0,
// text options.text or the file name) and the file's entries below it,
// shifted by that nesting. Entries naming list files load in turn
// (list_files.h): a file already being loaded further up the chain adds
// nothing, and nesting stops at kMaxPlaylistNesting files. A missing file adds only the group;
// malformed contents load as far as they make a valid tree. Returns the
// number of entries added. PlaylistModel::addPath() calls this.
inline constexpr int kMaxPlaylistNesting = 8;
int loadPlaylistFile(PlaylistModel& model, const QString& path, const AddOptions& options = {});
// The same inside a load of list files (list_files.h); path is in the chain.
int loadPlaylistFile(PlaylistModel& model, const QString& path, const AddOptions& options, ListFileChain& chain);

// Save playlist: writes entries 2 ... playlistCount() to path, replacing it
// atomically. False when it cannot be written; the old file is then as it was.
bool savePlaylistFile(const PlaylistModel& model, const QString& path);

// The list that comes back at the next start: saved as savePlaylistFile
// saves, with the current entry ("current", its number among the saved
// entries) and its position in seconds ("position") in "main"; restored into
// an empty playlist with every entry at its saved nesting (no group around
// them), scrolled so that the current entry stands in the middle of the
// view. A missing or broken file restores nothing or as much as makes a
// valid tree; current is -1 when the saved one is not a file entry now.
struct ListPlace {
    int current = -1;  // index in the playlist, -1: none
    double position = 0;
};
bool saveListToRestore(const PlaylistModel& model, const QString& path, ListPlace place);
ListPlace restoreList(PlaylistModel& model, const QString& path);

// The clip path as stored in a playlist at playlistPath: relative with "/"
// ("a/x.mp3", "../x/y.mp3") when both share a folder below "/", otherwise
// the clip path whole. A bare name holding "\" is stored as "./name".
QString relativePlaylistPath(const QString& clipPath, const QString& playlistPath);

// A stored clip path read from a playlist at playlistPath, as a full path:
// "/..." and drive-letter paths as they stand, others joined to the
// playlist's folder; "\" is a separator only in a path without any "/"
// (the older platform's); "." and ".." steps removed.
QString resolvePlaylistPath(const QString& storedPath, const QString& playlistPath);
// The same in two steps, for resolving many paths of one playlist: its
// folder (full, clean, no trailing "/"), then each stored path in it.
QString playlistFolder(const QString& playlistPath);
QString resolveInPlaylistFolder(const QString& storedPath, const QString& folder);

}  // namespace velmora
