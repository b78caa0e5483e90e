#include "app/key_command.h"

#include "keys/key_map.h"
#include "settings/settings.h"
#include "base/rounding.h"
#include "media/media_engine.h"
#include "playback/playback_controller.h"

namespace velmora {

KeyCommand::KeyCommand(MediaEngine& engine, PlaybackController& controller, ClipList& clips, Settings& settings,
                       KeyCommandHost& host)
    : engine_(engine), controller_(controller), clips_(clips), settings_(settings), host_(host)
{
    keyLockOut_.setSingleShot(true);
    keyLockOut_.setInterval(55);
    connect(&keyLockOut_, &QTimer::timeout, this, [this] { ignoreKeys_ = false; });
}

void KeyCommand::setIgnoreKeys(bool ignore)
{
    ignoreKeys_ = ignore;
    if (ignore)
        keyLockOut_.stop();
}

void KeyCommand::press(int keyCode)
{
    if (ignoreKeys_ || !isCommandKey(keyCode))
        return;
    ignoreKeys_ = true;
    keyLockOut_.start();

    using B = TransportButton;
    const PlaybackState& state = controller_.state();
    const bool clipCurrent = clips_.currentIndex() != -1;
    switch (keyCode) {
    case vk::Back:
        if (state.playing())
            engine_.setPosition(0);
        break;
    case vk::Escape: controller_.press(B::Stop); break;
    case vk::Space: controller_.playPause(); break;
    case vk::F:
        if (state.clipOpen() && !host_.videoWindowParked())
            toggleFullScreen();
        break;
    case vk::R:
        if (clipCurrent)
            restorePosition();
        break;
    case vk::S:
        if (clipCurrent)
            rememberPosition();
        break;
    case vk::T:
        videoOnTop_ = !videoOnTop_;
        host_.setVideoOnTop(videoOnTop_);
        break;
    case vk::NumPlus:
    case vk::Plus:
        host_.pressVolumeUp();
        break;
    case vk::NumMinus:
    case vk::Minus:
        host_.pressVolumeDown();
        break;
    case vk::Comma: controller_.press(B::Back); break;
    case vk::Period: controller_.press(B::Forward); break;
    case vk::LeftBracket: controller_.press(B::StepBack); break;
    case vk::RightBracket: controller_.press(B::StepForward); break;
    default:
        break;
    }
}

// Full screen is the host window's state alone: the engine goes on as it
// was. Pausing and running around the switch (as a control that had to be
// running to change it needed) would break the sound while playing and let a
// moment of it out while paused.
void KeyCommand::toggleFullScreen()
{
    engine_.setFullScreen(!engine_.fullScreen());
    if (engine_.fullScreen()) {
        host_.setPointerHidden(true);
    } else {
        host_.bringMainWindowToFront();
        host_.setPointerHidden(false);
    }
}

// The key of section "Save": the entry's text, "@", the length in whole
// seconds (rounded, so that the same clip always gives the same key).
QString KeyCommand::rememberedKey() const
{
    return rememberedPositionKey(clips_.text(clips_.currentIndex()), roundHalfEven(engine_.length()));
}

void KeyCommand::rememberPosition()
{
    settings_.store().save(QString::fromUtf8(kSaveSection.data(), static_cast<qsizetype>(kSaveSection.size())),
                           rememberedKey(), Settings::formatFraction(engine_.position()));
}

void KeyCommand::restorePosition()
{
    const QString stored = settings_.store().get(
        QString::fromUtf8(kSaveSection.data(), static_cast<qsizetype>(kSaveSection.size())), rememberedKey(),
        QStringLiteral("-1"));
    const auto position = Settings::parseNumber(stored);
    if (position && *position != -1)
        engine_.setPosition(*position);
}

}  // namespace velmora
