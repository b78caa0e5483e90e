#include "media/deferred_length_probe.h"

#include <QMetaObject>

namespace velmora {

DeferredLengthProbe::DeferredLengthProbe(QObject* parent) : QObject(parent) {}

void DeferredLengthProbe::attach(LengthProbe* probe)
{
    if (probe_ || !probe)
        return;
    probe_ = probe;
    failed_ = false;
    probe_->setResultHandler(handler_);
    for (const auto& [id, path] : kept_)
        probe_->request(id, path);
    kept_.clear();
}

void DeferredLengthProbe::fail()
{
    if (probe_ || failed_)
        return;
    failed_ = true;
    answerLater();
}

void DeferredLengthProbe::answerLater()
{
    if (answerPosted_ || kept_.empty())
        return;
    answerPosted_ = true;
    QMetaObject::invokeMethod(this, &DeferredLengthProbe::answerKept, Qt::QueuedConnection);
}

void DeferredLengthProbe::answerKept()
{
    answerPosted_ = false;
    // One at a time: the handler may queue more or cancel the rest.
    while (!kept_.empty() && !probe_) {
        const std::uint64_t id = kept_.front().first;
        kept_.pop_front();
        if (handler_)
            handler_(id, std::nullopt);
    }
}

void DeferredLengthProbe::setResultHandler(ResultHandler handler)
{
    handler_ = std::move(handler);
    if (probe_)
        probe_->setResultHandler(handler_);
}

void DeferredLengthProbe::request(std::uint64_t requestId, const QString& path)
{
    if (probe_) {
        probe_->request(requestId, path);
        return;
    }
    kept_.emplace_back(requestId, path);
    if (failed_)
        answerLater();
}

void DeferredLengthProbe::cancelAll()
{
    if (probe_)
        probe_->cancelAll();
    kept_.clear();
}

int DeferredLengthProbe::outstanding() const
{
    return probe_ ? probe_->outstanding() : int(kept_.size());
}

}  // namespace velmora
