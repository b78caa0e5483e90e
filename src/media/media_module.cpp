#include "media/media_module.h"

#include "media/media_log.h"
#include "media/media_module_api.h"

#include <QCoreApplication>
#include <QLibrary>
#include <QMetaObject>
#include <QThread>

namespace velmora {

MediaModule::MediaModule() : MediaModule(Options{}) {}

MediaModule::MediaModule(Options options, QObject* parent) : QObject(parent), options_(std::move(options))
{
    if (options_.moduleFile.isEmpty())
        options_.moduleFile = defaultModuleFile();
}

MediaModule::~MediaModule()
{
    shutDownEngine();
    delete loader_;
    // Made but not yet handed over (the queued hand-over never ran).
    {
        std::lock_guard lock(madeMutex_);
        delete madeProbe_;
    }
    realProbe_.reset();
}

void MediaModule::shutDownEngine()
{
    if (loader_)
        loader_->wait();
    engineShutDown_ = true;
    engine_.detach();
    realEngine_.reset();
    std::lock_guard lock(madeMutex_);  // made, not yet adopted
    delete madeEngine_;
    madeEngine_ = nullptr;
}

QString MediaModule::defaultModuleFile()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/libvelmora-media.so");
}

void MediaModule::startLoading()
{
    if (status_ != Status::NotStarted)
        return;
    status_ = Status::Loading;
    QThread* owner = thread();
    loader_ = QThread::create([this, owner] { load(owner); });
    loader_->start();
}

void MediaModule::load(QThread* owner)
{
    // Worker thread. The library stays loaded for the rest of the process:
    // the objects it makes run its code.
    QLibrary library(options_.moduleFile);
    const MediaModuleApi* api = nullptr;
    QString error;
    if (!library.load()) {
        error = library.errorString();
    } else if (auto entry = reinterpret_cast<MediaModuleEntry>(library.resolve(kMediaModuleEntry)); !entry) {
        error = QStringLiteral("no entry point");
    } else if (api = entry(); !api || api->version != kMediaModuleVersion) {
        error = QStringLiteral("module of another version");
        api = nullptr;
    }
    MediaEngine* engine = api ? api->createEngine(options_.engine, owner) : nullptr;
    LengthProbe* probe = api ? api->createLengthProbe(options_.probeThreads, owner) : nullptr;
    {
        std::lock_guard lock(madeMutex_);
        madeEngine_ = engine;
        madeProbe_ = probe;
        madeReadClipTags_ = api ? api->readClipTags : nullptr;
        loadError_ = error;
    }
    QMetaObject::invokeMethod(this, &MediaModule::adopt, Qt::QueuedConnection);
}

void MediaModule::adopt()
{
    QString error;
    {
        std::lock_guard lock(madeMutex_);
        realEngine_.reset(madeEngine_);
        realProbe_.reset(madeProbe_);
        madeEngine_ = nullptr;
        madeProbe_ = nullptr;
        readClipTags_ = madeReadClipTags_;
        error = loadError_;
    }
    if (engineShutDown_) {  // the program ended while the module loaded
        realEngine_.reset();
        engine_.detach();
    }
    const bool ok = realEngine_ && realProbe_;
    if (ok) {
        engine_.attach(realEngine_.get());
        probe_.attach(realProbe_.get());
        status_ = Status::Ready;
    } else {
        qCDebug(lcMedia) << "media module not loaded:" << options_.moduleFile << error;
        engine_.fail();
        probe_.fail();
        readClipTags_ = nullptr;
        status_ = Status::Failed;
    }
    emit finished(ok);
}

}  // namespace velmora
