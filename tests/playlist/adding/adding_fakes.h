#pragma once
// Fakes for the folder walk and the add-files window: a sink that records
// what reaches the playlist, a reader that fails or lingers on chosen
// folders, and helpers that build folder trees on disk.

#include "playlist/adding/folder_reader.h"
#include "playlist/adding/folder_tree_sink.h"

#include <QSet>
#include <QString>
#include <QStringList>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <vector>

namespace velmora::test {

struct Recorded {
    bool group = false;
    QString text;  // group text or file path
    int deep = 0;
    int time = 0;  // groups only
    bool operator==(const Recorded&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Recorded& r);

inline Recorded group(const QString& text, int deep) { return {true, text, deep, kFolderGroupTime}; }
inline Recorded file(const QString& path, int deep) { return {false, path, deep, 0}; }

class RecordingSink : public FolderTreeSink {
public:
    int appendGroup(const QString& text, int deep, std::int32_t time) override;
    int addPath(const QString& path, int deep) override;
    void beginChunk() override;
    void endChunk() override;

    std::vector<Recorded> items;
    int chunks = 0;
    int largestChunk = 0;
    bool chunkOpen = false;
    bool misnested = false;  // an item outside a chunk, or a chunk inside a chunk
    // Runs after each recorded item (may cancel, let events run ...).
    std::function<void()> afterItem;

private:
    void record(Recorded r);
    int inChunk_ = 0;
    std::size_t chunkStart_ = 0;
};

// The disk, with failures and delays on chosen folders. Thread-safe.
class FaultyReader : public FolderReader {
public:
    std::optional<FolderContents> read(const QString& folder) override;

    void failOn(const QString& folder);
    void setDelay(std::chrono::milliseconds delay) { delayMs_ = static_cast<int>(delay.count()); }
    int reads() const { return reads_; }

private:
    DiskFolderReader disk_;
    std::mutex mutex_;
    QSet<QString> failing_;
    std::atomic<int> delayMs_{0};
    std::atomic<int> reads_{0};
};

// Creates an empty file (and its folders).
void touch(const QString& path);
// folders × filesPerFolder files: root/dNNN/fNNNN.mp3.
void makeWideTree(const QString& root, int folders, int filesPerFolder);

}  // namespace velmora::test
