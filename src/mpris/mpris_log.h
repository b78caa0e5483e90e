#pragma once
// The mpris subsystem's debug messages (off by default): why a call from
// the desktop did nothing, and why the player is not on the bus.

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcMpris)
