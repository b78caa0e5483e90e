#pragma once
// Recording fakes for the playback controller's collaborators.

#include "media/media_engine.h"
#include "playback/playback_controller.h"
#include "base/format_time.h"
#include "playback/playback_panels.h"

#include <QSet>
#include <QStringList>
#include <QTimer>

#include <vector>

namespace velmora::test {

// An engine whose opens succeed or fail by path, answered at once or later.
class ScriptedEngine : public MediaEngine {
public:
    enum class Answer { Now, Later, Never };
    QSet<QString> failing;  // paths that cannot be opened
    Answer answer = Answer::Now;
    double clipLength = 60;
    QStringList opened;  // every setFileName() with a path
    int runs = 0, stops = 0, pauses = 0;

    void setListener(MediaEngineListener* l) override { listener = l; }
    void setFileName(const QString& path) override
    {
        ++generation;
        if (path.isEmpty()) {
            file.clear();
            st = kNothingLoaded;
            return;
        }
        opened << path;
        file = path;
        st = kStopped;
        if (answer == Answer::Never)
            return;
        const int g = generation;
        auto finish = [this, g] {
            if (g != generation)
                return;  // superseded
            if (failing.contains(file)) {
                file.clear();
                st = kNothingLoaded;
            }
            if (listener)
                listener->engineOpenComplete();
        };
        if (answer == Answer::Now)
            finish();
        else
            QTimer::singleShot(5, &timerContext, finish);  // dropped if the engine goes first
    }
    QString fileName() const override { return file; }
    void run() override { ++runs; st = kPlaying; }
    void pause() override { ++pauses; st = kPaused; }
    void stop() override { ++stops; st = kStopped; }
    int state() const override { return st; }
    double position() const override { return pos; }
    void setPosition(double s) override { pos = s; }
    double length() const override { return file.isEmpty() ? 0 : clipLength; }
    void setVolume(int) override {}
    void setBalance(int) override {}
    bool fullScreen() const override { return full; }
    void setFullScreen(bool on) override { full = on; }
    void setFullScreenHandler(std::function<void(bool)>) override {}
    int displayWidth() const override { return w; }
    int displayHeight() const override { return h; }
    void setDisplaySize(int width, int height) override { w = width; h = height; }
    void setVideoWindow(std::uintptr_t) override {}

    MediaEngineListener* listener = nullptr;
    QString file;
    int st = kNothingLoaded;
    double pos = 0;
    bool full = false;
    int w = 0, h = 0;
    int generation = 0;
    QObject timerContext;  // pending answers die with the engine
};

struct Clip {
    QString text, path;
    bool checked = true;
    int deep = 1;
    std::uint64_t id = 0;
};

class FakeClips : public ClipList {
public:
    std::vector<Clip> entries;  // entries[0] is index 1
    int current = -1;
    int marks = 0;

    void root() { entries.push_back({QStringLiteral("Все клипы"), QString(), true, 0, ++lastId}); }
    void file(const QString& name, int deep = 1, bool checked = true)
    {
        entries.push_back({name, QStringLiteral("/clips/") + name, checked, deep, ++lastId});
    }
    void group(const QString& name, int deep, bool checked = true)
    {
        entries.push_back({name, QString(), checked, deep, ++lastId});
    }
    // As the playlist removes an entry (a file) while nothing else changes.
    void remove(int i) { entries.erase(entries.begin() + (i - 1)); }
    std::uint64_t entryId(int i) const override { return at(i).id; }
    int indexOf(std::uint64_t id) const override
    {
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (entries[i].id == id)
                return static_cast<int>(i) + 1;
        }
        return 0;
    }
    std::uint64_t lastId = 0;

    int count() const override { return static_cast<int>(entries.size()); }
    QString path(int i) const override { return at(i).path; }
    QString text(int i) const override { return at(i).text; }
    bool checked(int i) const override { return at(i).checked; }
    int deep(int i) const override { return at(i).deep; }
    int currentIndex() const override { return current; }
    void setCurrentIndex(int i) override { current = i; }
    void markCurrentRow() override { ++marks; }
    const Clip& at(int i) const { return entries.at(static_cast<size_t>(i - 1)); }
};

// The application's services, recorded, and what the panels would show of
// the controller's state (watch() follows it).
class RecordingPanels : public PlaybackHost {
public:
    bool transportOn = false, pauseOn = false;
    QString time = QStringLiteral("00:00:00"), clip;
    int parks = 0, applies = 0, closes = 0, idleShown = 0, pointerShown = 0, windsBack = 0, windsForward = 0;

    void watch(PlaybackController& controller)
    {
        QObject::connect(&controller, &PlaybackController::stateChanged, &controller, [this, &controller] {
            const PlaybackState& s = controller.state();
            transportOn = s.clipOpen();
            pauseOn = s.playing();
            clip = s.clipText;
            time = s.clipOpen() ? formatSeconds(s.length) : QStringLiteral("00:00:00");
            idleShown += s.clipOpen() ? 0 : 1;
        });
    }
    void parkVideoWindow() override { ++parks; }
    void applyVolumeAndBalance() override { ++applies; }
    void closeProgram() override { ++closes; }
    void showPointer() override { ++pointerShown; }
    void windBack() override { ++windsBack; }
    void windForward() override { ++windsForward; }
};

// Passes the engine's notifications to the controller, as the video window does.
struct ControllerForwarder : MediaEngineListener {
    explicit ControllerForwarder(PlaybackController& c) : controller(c) {}
    PlaybackController& controller;
    void engineOpenComplete() override { controller.onOpenComplete(); }
    void enginePositionChange(double o, double n) override { controller.onPositionChange(o, n); }
    void engineTick() override {}
    void engineKeyPressed(int, int) override {}
};

}  // namespace velmora::test
