#include "app/display_check.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <string_view>
#include <thread>

namespace velmora {

DisplayCheck checkDisplay(std::chrono::milliseconds patience)
{
    DisplayCheck check;
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform && *platform && std::string_view(platform) != "xcb")
        return check;
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        check.ok = false;
        check.problem = "no display to show the player on (DISPLAY is not set)";
        return check;
    }
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (;;) {
        xcb_connection_t* connection = xcb_connect(display, nullptr);
        const int error = xcb_connection_has_error(connection);
        xcb_disconnect(connection);
        if (!error)
            return check;
        if (std::chrono::steady_clock::now() >= deadline) {
            check.ok = false;
            check.problem = std::string("cannot connect to display ") + display;
            return check;
        }
        ++check.retries;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

}  // namespace velmora
