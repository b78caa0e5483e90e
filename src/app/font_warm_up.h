#pragma once
// Fontconfig reads its whole configuration (dozens of files) the first time
// a font is asked for, which the first window does on the UI thread. Reading
// it on a worker thread while Qt connects to the display takes that off the
// start-up path; fontconfig is thread-safe and keeps the configuration made
// first.

#include <thread>

namespace velmora {

class FontWarmUp {
public:
    FontWarmUp();
    ~FontWarmUp();  // waits for the worker
    FontWarmUp(const FontWarmUp&) = delete;
    FontWarmUp& operator=(const FontWarmUp&) = delete;

private:
    std::thread worker_;
};

}  // namespace velmora
