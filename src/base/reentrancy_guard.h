#pragma once
// ReentrancyGuard: sets a flag for the lifetime of the scope and tells
// whether it was free. Used where a handler must not run again inside
// itself (a callback answering from inside the call that caused it).

namespace velmora {

class ReentrancyGuard {
public:
    explicit ReentrancyGuard(bool& busy) : busy_(busy), entered_(!busy)
    {
        if (entered_)
            busy_ = true;
    }
    ~ReentrancyGuard()
    {
        if (entered_)
            busy_ = false;
    }
    ReentrancyGuard(const ReentrancyGuard&) = delete;
    ReentrancyGuard& operator=(const ReentrancyGuard&) = delete;
    bool entered() const { return entered_; }

private:
    bool& busy_;
    bool entered_;
};

}  // namespace velmora
