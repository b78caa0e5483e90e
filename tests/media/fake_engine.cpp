#include "media/fake_engine.h"

#include <QMetaObject>

#include <algorithm>

namespace velmora::test {

void FakeEngine::setNextFileName(const QString& path)
{
    calls_ << QStringLiteral("setNextFileName ") + path;
    nextFileName_ = path;
}

void FakeEngine::setFileName(const QString& path)
{
    calls_ << QStringLiteral("setFileName ") + path;
    nextFileName_.clear();
    ++openSerial_;
    position_ = 0;
    length_ = 0;
    fileName_ = path;
    if (path.isEmpty()) {
        openPending_ = false;
        state_ = kNothingLoaded;
        return;
    }
    state_ = kStopped;
    openPending_ = true;
    if (!holdOpens_)
        QMetaObject::invokeMethod(this, [this, serial = openSerial_] {
            if (serial == openSerial_ && openPending_)
                answerOpen();
        }, Qt::QueuedConnection);
}

void FakeEngine::answerOpen()
{
    if (!openPending_)
        return;
    openPending_ = false;
    const auto found = clips_.constFind(fileName_);
    if (found == clips_.constEnd()) {
        fileName_.clear();
        state_ = kNothingLoaded;
    } else {
        length_ = found->length;
        if (found->width > 0 && found->height > 0) {
            displayWidth_ = found->width;
            displayHeight_ = found->height;
        }
    }
    if (listener_)
        listener_->engineOpenComplete();
}

void FakeEngine::advance(double seconds)
{
    if (state_ != kPlaying)
        return;
    position_ = std::min(length_, position_ + seconds);
    tick();
}

void FakeEngine::tick()
{
    if (listener_)
        listener_->engineTick();
}

void FakeEngine::endClip()
{
    if (fileName_.isEmpty() || openPending_)
        return;
    state_ = kStopped;
    position_ = 0;
    if (listener_)
        listener_->enginePositionChange(length_, 0);
}

void FakeEngine::pressKey(int keyCode, int shift)
{
    if (listener_)
        listener_->engineKeyPressed(keyCode, shift);
}

void FakeEngine::run()
{
    calls_ << QStringLiteral("run");
    if (!fileName_.isEmpty() && !openPending_)
        state_ = kPlaying;
}

void FakeEngine::pause()
{
    calls_ << QStringLiteral("pause");
    if (!fileName_.isEmpty() && !openPending_)
        state_ = kPaused;
}

void FakeEngine::stop()
{
    calls_ << QStringLiteral("stop");
    if (!fileName_.isEmpty() && !openPending_) {
        state_ = kStopped;
        position_ = 0;
    }
}

void FakeEngine::setPosition(double seconds)
{
    calls_ << QStringLiteral("setPosition %1").arg(seconds);
    if (fileName_.isEmpty() || openPending_)
        return;
    const double old = position_;
    position_ = std::max(0.0, seconds);
    QMetaObject::invokeMethod(this, [this, old, to = position_, serial = openSerial_] {
        if (serial == openSerial_ && listener_)
            listener_->enginePositionChange(old, to);
    }, Qt::QueuedConnection);
}

void FakeEngine::setVolume(int hundredthsDb)
{
    calls_ << QStringLiteral("setVolume %1").arg(hundredthsDb);
    volume_ = hundredthsDb;
}

void FakeEngine::setBalance(int hundredthsDb)
{
    calls_ << QStringLiteral("setBalance %1").arg(hundredthsDb);
    balance_ = hundredthsDb;
}

void FakeEngine::setFullScreen(bool on)
{
    calls_ << QStringLiteral("setFullScreen %1").arg(on ? 1 : 0);
    if (on == fullScreen_)
        return;
    fullScreen_ = on;
    if (fullScreenHandler_)
        fullScreenHandler_(on);
}

void FakeEngine::setDisplaySize(int width, int height)
{
    calls_ << QStringLiteral("setDisplaySize %1 %2").arg(width).arg(height);
    displayWidth_ = width;
    displayHeight_ = height;
}

void FakeEngine::setVideoWindow(std::uintptr_t windowId)
{
    calls_ << QStringLiteral("setVideoWindow %1").arg(qulonglong(windowId));
    videoWindow_ = windowId;
}

}  // namespace velmora::test
