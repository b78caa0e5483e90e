#pragma once
// Debug messages of the media engines, the length probe and the module
// loader ("velmora.playback.media", off by default).

#include <QLoggingCategory>

namespace velmora {
Q_DECLARE_LOGGING_CATEGORY(lcMedia)
}
