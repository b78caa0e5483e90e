#include "media/media_log.h"

namespace velmora {
Q_LOGGING_CATEGORY(lcMedia, "velmora.playback.media", QtWarningMsg)
}
