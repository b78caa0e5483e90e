#include "options/options_log.h"

Q_LOGGING_CATEGORY(lcOptions, "velmora.options", QtWarningMsg)
