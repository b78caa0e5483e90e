#pragma once
// Debug messages of the folder walk and the add-files window (off by
// default: skipped folders and files are never shown to the user).

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcAdding)
