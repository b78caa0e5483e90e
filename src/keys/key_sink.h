#pragma once
// KeySink: where every window of the program sends its keys (the keyboard
// commands). A window forwards a key press with forwardKey(); a key no
// command uses arrives as 0 and does nothing. UI thread only.

class QKeyEvent;

namespace velmora {

class KeySink {
public:
    virtual ~KeySink() = default;
    virtual void press(int virtualKey) = 0;
};

// The one forwarding of a window's key press: the event's virtual-key code
// (key_map.h) to the sink.
void forwardKey(KeySink& sink, const QKeyEvent& event);

}  // namespace velmora
