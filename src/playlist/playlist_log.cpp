#include "playlist/playlist_log.h"

Q_LOGGING_CATEGORY(lcPlaylist, "velmora.playlist", QtWarningMsg)
