#include "adding_fakes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <ostream>
#include <thread>

namespace velmora::test {

std::ostream& operator<<(std::ostream& os, const Recorded& r)
{
    return os << (r.group ? "group(" : "file(") << r.text.toStdString() << ", deep " << r.deep << ")";
}

void RecordingSink::record(Recorded r)
{
    if (inChunk_ != 1)
        misnested = true;
    items.push_back(std::move(r));
    if (afterItem)
        afterItem();
}

int RecordingSink::appendGroup(const QString& text, int deep, std::int32_t time)
{
    record({true, text, deep, time});
    return 1;
}

int RecordingSink::addPath(const QString& path, int deep)
{
    record({false, path, deep, 0});
    return 1;
}

void RecordingSink::beginChunk()
{
    if (inChunk_++ != 0)
        misnested = true;
    chunkOpen = true;
    ++chunks;
    chunkStart_ = items.size();
}

void RecordingSink::endChunk()
{
    if (--inChunk_ != 0)
        misnested = true;
    chunkOpen = false;
    largestChunk = std::max(largestChunk, static_cast<int>(items.size() - chunkStart_));
}

std::optional<FolderContents> FaultyReader::read(const QString& folder)
{
    ++reads_;
    if (const int ms = delayMs_.load(); ms > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    {
        std::lock_guard lock(mutex_);
        if (failing_.contains(folder))
            return std::nullopt;
    }
    return disk_.read(folder);
}

void FaultyReader::failOn(const QString& folder)
{
    std::lock_guard lock(mutex_);
    failing_.insert(folder);
}

void touch(const QString& path)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    f.open(QIODevice::WriteOnly);
}

void makeWideTree(const QString& root, int folders, int filesPerFolder)
{
    for (int d = 0; d < folders; ++d) {
        const QString dir = root + QStringLiteral("/d%1").arg(d, 3, 10, QLatin1Char('0'));
        QDir().mkpath(dir);
        for (int f = 0; f < filesPerFolder; ++f) {
            QFile file(dir + QStringLiteral("/f%1.mp3").arg(f, 4, 10, QLatin1Char('0')));
            file.open(QIODevice::WriteOnly);
        }
    }
}

}  // namespace velmora::test
