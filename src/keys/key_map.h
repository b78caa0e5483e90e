#pragma once
// Turns Qt key events into the virtual-key numbers the keyboard commands use.
// Letters and punctuation are mapped by the key's physical position (the X11
// key code), so the commands work whatever keyboard layout is active: the
// key labelled F gives 70 with a Cyrillic layout as well. Events without a
// native key code (the offscreen platform) fall back to Qt's key.

class QKeyEvent;

namespace velmora {

// Virtual-key codes the commands know.
namespace vk {
inline constexpr int Back = 8, Escape = 27, Space = 32, F = 70, R = 82, S = 83, T = 84;
inline constexpr int NumPlus = 107, NumMinus = 109, Plus = 187, Comma = 188, Minus = 189, Period = 190;
inline constexpr int LeftBracket = 219, RightBracket = 221;
}  // namespace vk

// Whether a command uses the code (a modifier alone or any other key is no
// command, and must not start the key lock-out).
bool isCommandKey(int code);

// The virtual-key code of the event, or 0 for keys no command uses.
int virtualKeyFromEvent(const QKeyEvent& event);

// The same from the parts of an event (for tests).
int virtualKeyFrom(unsigned nativeScanCode, int qtKey);

}  // namespace velmora
