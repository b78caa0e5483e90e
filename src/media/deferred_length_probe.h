#pragma once
// DeferredLengthProbe: the LengthProbe the program holds from the start; it
// keeps requests while the media module loads, hands them to the real probe
// in order when it arrives and forwards from then on. After fail(), every
// request is answered "cannot be measured" (nullopt), queued and in order.
// UI thread only. The real probe is not owned and must outlive this object.

#include "media/length_probe.h"

#include <QObject>
#include <QString>

#include <deque>
#include <utility>

namespace velmora {

class DeferredLengthProbe final : public QObject, public LengthProbe {
    Q_OBJECT
public:
    explicit DeferredLengthProbe(QObject* parent = nullptr);

    void attach(LengthProbe* probe);
    void fail();
    bool attached() const { return probe_ != nullptr; }

    void setResultHandler(ResultHandler handler) override;
    void request(std::uint64_t requestId, const QString& path) override;
    void cancelAll() override;
    int outstanding() const override;

private:
    void answerLater();
    void answerKept();

    LengthProbe* probe_ = nullptr;
    bool failed_ = false;
    bool answerPosted_ = false;
    ResultHandler handler_;
    std::deque<std::pair<std::uint64_t, QString>> kept_;
};

}  // namespace velmora
