#pragma once
// Debug messages of the options dialog (off by default: a refused skin or
// icon is never shown to the user).

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcOptions)
