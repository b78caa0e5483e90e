#include "media/deferred_media_engine.h"

#include <QMetaObject>

namespace velmora {

DeferredMediaEngine::DeferredMediaEngine(QObject* parent) : QObject(parent) {}

void DeferredMediaEngine::attach(MediaEngine* engine)
{
    if (engine_ || !engine)
        return;
    engine_ = engine;
    failed_ = false;
    // The handler last, so that handing the flag over does not report it again.
    engine_->setFullScreen(fullScreen_);
    engine_->setFullScreenHandler(fullScreenHandler_);
    engine_->setListener(listener_);
    if (videoWindow_)
        engine_->setVideoWindow(*videoWindow_);
    engine_->setDisplaySize(displayWidth_, displayHeight_);
    if (volume_)
        engine_->setVolume(*volume_);
    if (balance_)
        engine_->setBalance(*balance_);
    if (!fileName_.isEmpty()) {
        engine_->setFileName(fileName_);
        for (const auto& call : afterOpen_)
            call(*engine_);
    }
    fileName_.clear();
    afterOpen_.clear();
}

void DeferredMediaEngine::fail()
{
    if (engine_ || failed_)
        return;
    failed_ = true;
    afterOpen_.clear();
    if (!fileName_.isEmpty())
        failOpenLater();
}

void DeferredMediaEngine::detach()
{
    if (engine_) {
        engine_->setListener(nullptr);
        engine_->setFullScreenHandler({});
    }
    engine_ = nullptr;
    failed_ = true;
    afterOpen_.clear();
    fileName_.clear();
}

void DeferredMediaEngine::failOpenLater()
{
    QMetaObject::invokeMethod(this, [this, serial = openSerial_] {
        if (serial != openSerial_ || fileName_.isEmpty())
            return;  // replaced or closed meanwhile
        fileName_.clear();
        if (listener_)
            listener_->engineOpenComplete();
    }, Qt::QueuedConnection);
}

void DeferredMediaEngine::keep(std::function<void(MediaEngine&)> call)
{
    if (!fileName_.isEmpty() && !failed_)
        afterOpen_.push_back(std::move(call));
}

void DeferredMediaEngine::setListener(MediaEngineListener* listener)
{
    listener_ = listener;
    if (engine_)
        engine_->setListener(listener);
}

void DeferredMediaEngine::setFileName(const QString& path)
{
    if (engine_) {
        engine_->setFileName(path);
        return;
    }
    ++openSerial_;
    fileName_ = path;
    afterOpen_.clear();
    if (failed_ && !path.isEmpty())
        failOpenLater();
}

QString DeferredMediaEngine::fileName() const
{
    return engine_ ? engine_->fileName() : fileName_;
}

void DeferredMediaEngine::setNextFileName(const QString& path)
{
    if (engine_)
        engine_->setNextFileName(path);
    else
        keep([path](MediaEngine& e) { e.setNextFileName(path); });
}

void DeferredMediaEngine::run()
{
    if (engine_)
        engine_->run();
    else
        keep([](MediaEngine& e) { e.run(); });
}

void DeferredMediaEngine::pause()
{
    if (engine_)
        engine_->pause();
    else
        keep([](MediaEngine& e) { e.pause(); });
}

void DeferredMediaEngine::stop()
{
    if (engine_)
        engine_->stop();
    else
        keep([](MediaEngine& e) { e.stop(); });
}

int DeferredMediaEngine::state() const
{
    if (engine_)
        return engine_->state();
    return fileName_.isEmpty() ? kNothingLoaded : kStopped;
}

double DeferredMediaEngine::position() const
{
    return engine_ ? engine_->position() : 0.0;
}

void DeferredMediaEngine::setPosition(double seconds)
{
    if (engine_)
        engine_->setPosition(seconds);
    else
        keep([seconds](MediaEngine& e) { e.setPosition(seconds); });
}

double DeferredMediaEngine::length() const
{
    return engine_ ? engine_->length() : 0.0;
}

void DeferredMediaEngine::setVolume(int hundredthsDb)
{
    if (engine_)
        engine_->setVolume(hundredthsDb);
    else
        volume_ = hundredthsDb;
}

void DeferredMediaEngine::setBalance(int hundredthsDb)
{
    if (engine_)
        engine_->setBalance(hundredthsDb);
    else
        balance_ = hundredthsDb;
}

bool DeferredMediaEngine::fullScreen() const
{
    return engine_ ? engine_->fullScreen() : fullScreen_;
}

void DeferredMediaEngine::setFullScreen(bool on)
{
    if (engine_) {
        engine_->setFullScreen(on);
        return;
    }
    if (on == fullScreen_)
        return;
    fullScreen_ = on;
    if (fullScreenHandler_)
        fullScreenHandler_(on);
}

void DeferredMediaEngine::setFullScreenHandler(std::function<void(bool)> handler)
{
    if (engine_)
        engine_->setFullScreenHandler(std::move(handler));
    else
        fullScreenHandler_ = std::move(handler);
}

int DeferredMediaEngine::displayWidth() const
{
    return engine_ ? engine_->displayWidth() : displayWidth_;
}

int DeferredMediaEngine::displayHeight() const
{
    return engine_ ? engine_->displayHeight() : displayHeight_;
}

void DeferredMediaEngine::setDisplaySize(int width, int height)
{
    if (engine_) {
        engine_->setDisplaySize(width, height);
        return;
    }
    displayWidth_ = width;
    displayHeight_ = height;
}

void DeferredMediaEngine::setVideoWindow(std::uintptr_t windowId)
{
    if (engine_)
        engine_->setVideoWindow(windowId);
    else
        videoWindow_ = windowId;
}

}  // namespace velmora
