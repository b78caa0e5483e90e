#pragma once
// Fakes for the playlist tests: a row view that records what Refresh sent,
// and a length probe whose answers the test releases by hand or after
// chosen delays.

#include "media/length_probe.h"
#include "playlist/playlist_model.h"
#include "playlist/playlist_row_view.h"

#include <QElapsedTimer>
#include <QHash>
#include <QTimer>

#include <deque>
#include <optional>
#include <vector>

namespace velmora::test {

class RecordingRowView : public PlaylistRowView {
public:
    std::vector<PlaylistRow> rows;  // index 0 is row 1
    ScrollElements scroll;
    ScrollGeometry geometry{.trackTop = 10, .trackHeight = 110, .thumbHeight = 10};
    int thumbTop = -1;
    int rowWrites = 0;     // setRow calls
    int colourWrites = 0;  // setRowColour calls

    void setRowCount(int count) override { rows.assign(static_cast<size_t>(count), PlaylistRow{}); }
    void setRow(int row, const PlaylistRow& content) override
    {
        rows.at(static_cast<size_t>(row - 1)) = content;
        ++rowWrites;
    }
    void setRowColour(int row, std::uint32_t rgb) override
    {
        rows.at(static_cast<size_t>(row - 1)).colour = rgb;
        ++colourWrites;
    }
    void setScrollElements(const ScrollElements& enabled) override { scroll = enabled; }
    ScrollGeometry scrollGeometry() const override { return geometry; }
    void setThumbTop(int top) override { thumbTop = top; }

    QStringList texts() const
    {
        QStringList out;
        for (const PlaylistRow& r : rows)
            out << r.text;
        return out;
    }
};

// Answers in request order. By hand: deliverNext(). With delays: each
// request is answered on the event loop once its delay has passed and every
// earlier request has been answered.
class FakeLengthProbe : public LengthProbe {
public:
    struct Request {
        std::uint64_t id;
        QString path;
    };
    QHash<QString, std::optional<double>> lengths;  // by path; missing: cannot be measured
    std::vector<Request> asked;                     // every request ever made
    std::deque<Request> queue;                      // not answered yet
    int delayMs = -1;                               // < 0: answer only by hand

    void setResultHandler(ResultHandler handler) override { handler_ = std::move(handler); }
    void request(std::uint64_t id, const QString& path) override
    {
        asked.push_back({id, path});
        queue.push_back({id, path});
        if (delayMs >= 0)
            QTimer::singleShot(delayMs, &context_, [this] { deliverNext(); });
    }
    void cancelAll() override
    {
        queue.clear();
        ++cancels;
    }
    int outstanding() const override { return static_cast<int>(queue.size()); }

    bool deliverNext()
    {
        if (queue.empty())
            return false;
        const Request r = queue.front();
        queue.pop_front();
        handler_(r.id, lengths.value(r.path, std::nullopt));
        return true;
    }
    void deliverAll()
    {
        while (deliverNext()) {
        }
    }
    QStringList askedPaths() const
    {
        QStringList out;
        for (const Request& r : asked)
            out << r.path;
        return out;
    }

    int cancels = 0;

private:
    ResultHandler handler_;
    QObject context_;
};

}  // namespace velmora::test
