#pragma once
// Before Qt loads its X11 platform plugin: does the display answer? Qt ends
// the program by abort() when its first connection fails, so a start on a
// display that is briefly unreachable (a busy X server) or missing would
// end by SIGABRT. This check connects itself first, retrying a failure for
// up to `patience`, so that a transient failure costs a retry and a lasting
// one is reported in one line.

#include <chrono>
#include <string>

namespace velmora {

struct DisplayCheck {
    bool ok = true;
    int retries = 0;      // failed attempts before the one that answered
    std::string problem;  // when !ok: one line for standard error
};

// Only for the X11 platform (QT_QPA_PLATFORM unset or "xcb"); any other
// platform is Qt's to check. Blocks for at most `patience`; call before the
// QApplication is made.
DisplayCheck checkDisplay(std::chrono::milliseconds patience = std::chrono::seconds(1));

}  // namespace velmora
