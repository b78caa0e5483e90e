#pragma once
// The application bar's debug messages (off by default).

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcAppBar)
