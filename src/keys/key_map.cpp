#include "keys/key_map.h"

#include <QKeyEvent>

namespace velmora {

bool isCommandKey(int code)
{
    switch (code) {
    case vk::Back: case vk::Escape: case vk::Space: case vk::F: case vk::R: case vk::S: case vk::T:
    case vk::NumPlus: case vk::NumMinus: case vk::Plus: case vk::Comma: case vk::Minus: case vk::Period:
    case vk::LeftBracket: case vk::RightBracket:
        return true;
    default:
        return false;
    }
}

namespace {

// X11 key codes (evdev codes + 8) of the keys by position on a PC keyboard.
int fromX11KeyCode(unsigned code)
{
    switch (code) {
    case 22: return vk::Back;
    case 9: return vk::Escape;
    case 65: return vk::Space;
    case 41: return vk::F;
    case 27: return vk::R;
    case 39: return vk::S;
    case 28: return vk::T;
    case 86: return vk::NumPlus;
    case 82: return vk::NumMinus;
    case 21: return vk::Plus;   // "=" / "+"
    case 20: return vk::Minus;  // "-" / "_"
    case 59: return vk::Comma;
    case 60: return vk::Period;
    case 34: return vk::LeftBracket;
    case 35: return vk::RightBracket;
    default: return 0;
    }
}

int fromQtKey(int key)
{
    switch (key) {
    case Qt::Key_Backspace: return vk::Back;
    case Qt::Key_Escape: return vk::Escape;
    case Qt::Key_Space: return vk::Space;
    case Qt::Key_F: return vk::F;
    case Qt::Key_R: return vk::R;
    case Qt::Key_S: return vk::S;
    case Qt::Key_T: return vk::T;
    case Qt::Key_Plus:
    case Qt::Key_Equal: return vk::Plus;
    case Qt::Key_Minus:
    case Qt::Key_Underscore: return vk::Minus;
    case Qt::Key_Comma:
    case Qt::Key_Less: return vk::Comma;
    case Qt::Key_Period:
    case Qt::Key_Greater: return vk::Period;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft: return vk::LeftBracket;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight: return vk::RightBracket;
    default: return 0;
    }
}

}  // namespace

int virtualKeyFrom(unsigned nativeScanCode, int qtKey)
{
    if (nativeScanCode != 0) {
        if (const int code = fromX11KeyCode(nativeScanCode))
            return code;
    }
    return fromQtKey(qtKey);
}

int virtualKeyFromEvent(const QKeyEvent& event)
{
    const bool keypad = event.modifiers().testFlag(Qt::KeypadModifier);
    if (keypad && event.key() == Qt::Key_Plus)
        return vk::NumPlus;
    if (keypad && event.key() == Qt::Key_Minus)
        return vk::NumMinus;
    return virtualKeyFrom(event.nativeScanCode(), event.key());
}

}  // namespace velmora
