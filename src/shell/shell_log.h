#pragma once
// Debug messages of the shell integration: why a step was skipped (off by
// default; QT_LOGGING_RULES="velmora.shell.debug=true" shows them).

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcShell)
