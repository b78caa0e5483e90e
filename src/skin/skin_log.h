#pragma once
// Debug messages of the skin subsystem ("velmora.skin", off by default):
// a value skipped by the loader still says why here.

#include <QLoggingCategory>

namespace velmora {
Q_DECLARE_LOGGING_CATEGORY(lcSkin)
}
