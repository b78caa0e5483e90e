#pragma once
// Helpers shared by the playlist tests: the table as compact text, and a
// check that the table is a well-formed tree.

#include "playlist/playlist_model.h"

#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

namespace velmora::test {

// "deep:text" for entries 1 ... playlistCount().
inline QStringList table(const PlaylistModel& m)
{
    QStringList out;
    for (int i = 1; i <= m.playlistCount(); ++i)
        out << QStringLiteral("%1:%2").arg(m.entry(i).deep).arg(m.entry(i).text);
    return out;
}

inline QStringList times(const PlaylistModel& m)
{
    QStringList out;
    for (int i = 1; i <= m.playlistCount(); ++i)
        out << QString::number(m.entry(i).time);
    return out;
}

// The root at 1 with deep 0 and nothing else at 0; every later entry at most
// one level inside the deepest group open before it; groups hold no path.
inline ::testing::AssertionResult isWellFormedTree(const PlaylistModel& m)
{
    if (m.playlistCount() == 0)
        return ::testing::AssertionSuccess();
    if (m.entry(1).deep != 0 || !m.entry(1).path.isEmpty())
        return ::testing::AssertionFailure() << "entry 1 is not the root";
    int open = 0;
    for (int i = 2; i <= m.playlistCount(); ++i) {
        const PlaylistEntry& e = m.entry(i);
        const int limit = e.isGroup() ? open + 2 : open + 1;
        if (e.deep < 1 || e.deep > limit)
            return ::testing::AssertionFailure() << "entry " << i << " has deep " << e.deep << ", limit " << limit;
        if (e.isGroup() && !e.path.isEmpty())
            return ::testing::AssertionFailure() << "group " << i << " has a path";
        open = e.isGroup() ? e.deep : e.deep - 1;
    }
    return ::testing::AssertionSuccess();
}

}  // namespace velmora::test

// Readable failures for Qt strings.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList& l, std::ostream* os) { *os << '[' << l.join(QStringLiteral(", ")).toStdString() << ']'; }
