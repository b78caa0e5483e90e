#include "app/command_handler.h"

#include "app/channel/command_tokens.h"
#include "app/settings.h"
#include "playback/playback_controller.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcCommand, "velmora.command", QtWarningMsg)

namespace velmora {

CommandHandler::CommandHandler(PlaybackController& controller, TransportPanel& transport, Settings& settings,
                               Playlist playlist)
    : controller_(controller), transport_(transport), settings_(settings), playlist_(std::move(playlist))
{
}

void CommandHandler::submit(const QString& text)
{
    queue_.push_back(text);
    if (busy_)
        return;  // the running handling takes it next
    busy_ = true;
    while (!queue_.empty()) {
        const QString next = std::move(queue_.front());
        queue_.pop_front();
        handle(next);
    }
    busy_ = false;
}

bool CommandHandler::transportWord(const QString& text)
{
    const QString word = text.toLower();
    if (word == QLatin1String("play")) {
        if (transport_.playEnabled())
            controller_.play();
        return true;
    }
    if (word == QLatin1String("pause")) {
        if (transport_.pauseEnabled())
            controller_.pausePressed();
        return true;
    }
    // StepBack and StepForward are enabled together with Play.
    if (word == QLatin1String("back")) {
        if (transport_.playEnabled())
            controller_.stepBack();
        return true;
    }
    if (word == QLatin1String("forward")) {
        if (transport_.playEnabled())
            controller_.stepForward();
        return true;
    }
    return false;
}

void CommandHandler::handle(const QString& text)
{
    if (transportWord(text))
        return;
    const int oldCount = playlist_.count();
    bool filledEmpty = false;  // an earlier token of this line went into an empty list
    channel::FolderFilter filter;
    if (playlist_.accepts) {
        filter.accepts = [this](std::string_view name) {
            return playlist_.accepts(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
        };
    }
    const QByteArray utf8 = text.toUtf8();
    channel::forEachCommandToken(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())),
                                 [&](const std::string& token) {
        const bool wasEmpty = playlist_.count() == 0;
        const channel::TokenTarget target = channel::resolveCommandToken(token, filter);
        if (target.kind == channel::TokenTarget::Kind::Nothing) {
            qCDebug(lcCommand) << "neither a file nor a folder, ending:" << QString::fromStdString(token);
            return false;
        }
        QStringList paths;
        paths.reserve(static_cast<qsizetype>(target.paths.size()));
        for (const std::string& path : target.paths) {
            paths << QString::fromStdString(path);
            qCDebug(lcCommand).noquote() << "add" << paths.back();
        }
        playlist_.addPaths(paths);
        if (playlist_.startMeasuring)
            playlist_.startMeasuring();
        if (settings_.flag(keys::AutoPlay) && !controller_.shellStarted() && playlist_.currentIndex() == -1)
            controller_.startDelayed(oldCount + 1);
        filledEmpty = filledEmpty || wasEmpty;
        if (filledEmpty)
            controller_.setShellStarted();
        return true;
    });
}

}  // namespace velmora
