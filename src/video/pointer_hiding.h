#pragma once
// PointerHiding: the mouse pointer hidden over full-screen video (and shown
// again on a move, Escape or the end of full screen). It hides through one
// application-wide override cursor and restores it exactly once, whatever
// the order of the requests. UI thread only.

namespace velmora {

class PointerHiding {
public:
    PointerHiding() = default;
    ~PointerHiding() { setHidden(false); }
    PointerHiding(const PointerHiding&) = delete;
    PointerHiding& operator=(const PointerHiding&) = delete;

    void setHidden(bool hidden);
    bool hidden() const { return hidden_; }

private:
    bool hidden_ = false;
};

}  // namespace velmora
