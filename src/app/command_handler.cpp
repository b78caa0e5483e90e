#include "app/command_handler.h"

#include "base/file_name.h"
#include "channel/command_tokens.h"
#include "app/command_sink.h"
#include "playback/playback_controller.h"
#include "settings/settings.h"

#include <QFile>
#include <QLoggingCategory>

#include <utility>

Q_LOGGING_CATEGORY(lcCommand, "velmora.command", QtWarningMsg)

namespace velmora {

CommandHandler::CommandHandler(PlaybackController& controller, Settings& settings, Playlist playlist)
    : controller_(controller), settings_(settings), playlist_(std::move(playlist))
{
}

CommandHandler::~CommandHandler()
{
    *alive_ = false;  // a token still being read finds nobody to tell
}

void CommandHandler::submit(const QString& text, CommandOrigin origin)
{
    queue_.emplace_back(text, origin);
    if (!busy_)
        handleNext();
}

// Transport words are handled at once; a path list starts its first token
// and the queue waits until its last one is in.
void CommandHandler::handleNext()
{
    while (!busy_ && !queue_.empty()) {
        const auto [text, origin] = std::move(queue_.front());
        queue_.pop_front();
        origin_ = origin;
        if (origin == CommandOrigin::Start && transportWord(text))
            continue;
        const QByteArray bytes = fileNameBytes(text);
        tokens_ = channel::tokenizeCommand(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
        nextToken_ = 0;
        oldCount_ = playlist_.count();
        filledEmpty_ = false;
        busy_ = true;
        nextToken();
    }
}

bool CommandHandler::transportWord(const QString& text)
{
    static const std::pair<QLatin1String, TransportButton> kWords[] = {
        {QLatin1String("play"), TransportButton::Play},
        {QLatin1String("pause"), TransportButton::Pause},
        {QLatin1String("back"), TransportButton::StepBack},
        {QLatin1String("forward"), TransportButton::StepForward},
    };
    const QString word = text.toLower();
    for (const auto& [name, button] : kWords) {
        if (word == name) {
            controller_.press(button);
            return true;
        }
    }
    return false;
}

void CommandHandler::nextToken()
{
    if (nextToken_ >= tokens_.size()) {
        endMessage();
        return;
    }
    const std::string& token = tokens_[nextToken_++];
    if (token.empty()) {
        qCDebug(lcCommand) << "empty token, ending";
        endMessage();
        return;
    }
    wasEmpty_ = playlist_.count() == 0;
    const QString path = fileNameFromBytes(channel::longPathForm(token));
    std::weak_ptr<bool> alive = alive_;
    playlist_.addToken(path, [this, alive](bool named) {
        if (const auto a = alive.lock(); a && *a)
            tokenDone(named);
    });
}

void CommandHandler::tokenDone(bool named)
{
    if (!named) {
        // A path that names nothing brings nothing, as an empty folder
        // would; the paths after it still count (a file moved away must not
        // cost the rest of a selection).
        qCDebug(lcCommand) << "neither a file nor a folder, going on";
        nextToken();
        return;
    }
    if (playlist_.startMeasuring)
        playlist_.startMeasuring();
    if (origin_ == CommandOrigin::Desktop) {
        // Opened from the desktop: plays when nothing does; not a start.
        if (!controller_.state().clipOpen() && !controller_.opening())
            controller_.playFrom(oldCount_ + 1);
        nextToken();
        return;
    }
    if (settings_.flag(keys::AutoPlay) && !controller_.shellStarted() && playlist_.currentIndex() == -1)
        controller_.startDelayed(oldCount_ + 1);
    filledEmpty_ = filledEmpty_ || wasEmpty_;
    if (filledEmpty_)
        controller_.setShellStarted();
    nextToken();
}

void CommandHandler::endMessage()
{
    tokens_.clear();
    nextToken_ = 0;
    busy_ = false;
    handleNext();
}

int CommandSink::addPath(const QString& path, int deep)
{
    qCDebug(lcCommand).noquote() << "add" << path;
    return inner_.addPath(path, deep);
}

}  // namespace velmora
