#pragma once
// The playlist subsystem's debug messages (off by default): why an entry,
// a measurement or a playlist file was skipped.

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcPlaylist)
