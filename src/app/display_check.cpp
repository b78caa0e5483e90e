#include "app/display_check.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <string_view>
#include <thread>

namespace velmora {

DisplayCheck::DisplayCheck(std::chrono::milliseconds patience)
{
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform && *platform && std::string_view(platform) != "xcb")
        return;
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        problem_ = "no display to show the player on (DISPLAY is not set)";
        return;
    }
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (;;) {
        connection_ = xcb_connect(display, nullptr);
        if (!xcb_connection_has_error(connection_))
            return;
        xcb_disconnect(connection_);
        connection_ = nullptr;
        if (std::chrono::steady_clock::now() >= deadline) {
            problem_ = std::string("cannot connect to display ") + display;
            return;
        }
        ++retries_;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

DisplayCheck::~DisplayCheck()
{
    release();
}

void DisplayCheck::release()
{
    if (connection_)
        xcb_disconnect(connection_);
    connection_ = nullptr;
}

}  // namespace velmora
