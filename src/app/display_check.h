#pragma once
// Before Qt loads its X11 platform plugin: does the display answer? Qt ends
// the program by abort() when its first connection fails. An X server that
// loses its last client resets itself, and a connection that arrives during
// the reset is refused (ECONNRESET): a player started just after the
// previous one ended (a session's only client, a loop of starts on Xvfb)
// would end by SIGABRT. The check connects itself first, retrying a refused
// connection, and holds that connection until Qt has its own, so the server
// has a client throughout; a display that stays unreachable is reported in
// one line instead.

#include <chrono>
#include <string>

struct xcb_connection_t;

namespace velmora {

class DisplayCheck {
public:
    // Only for the X11 platform (QT_QPA_PLATFORM unset or "xcb"); any other
    // platform is Qt's to check. Blocks for at most `patience`; make it
    // before the QApplication.
    explicit DisplayCheck(std::chrono::milliseconds patience = std::chrono::seconds(1));
    ~DisplayCheck();
    DisplayCheck(const DisplayCheck&) = delete;
    DisplayCheck& operator=(const DisplayCheck&) = delete;

    bool ok() const { return problem_.empty(); }
    // Failed attempts before the one that answered.
    int retries() const { return retries_; }
    // When !ok(): one line for standard error.
    const std::string& problem() const { return problem_; }
    // Closes the held connection; call once Qt is connected.
    void release();

private:
    xcb_connection_t* connection_ = nullptr;
    int retries_ = 0;
    std::string problem_;
};

}  // namespace velmora
