#include "playlist/adding/adding_log.h"

Q_LOGGING_CATEGORY(lcAdding, "velmora.playlist.adding", QtWarningMsg)
