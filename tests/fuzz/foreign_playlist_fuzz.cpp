// Playlists of other players from any bytes: every reader returns, every
// entry it gives (and each of its other readings) has a location on one
// line, and no reader gives more entries than the text has lines (M3U,
// PLS) or bytes (XSPF).

#include "playlist/foreign_playlist.h"

#include <cstdint>
#include <cstdlib>

using namespace velmora;

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

void checkEntries(const std::vector<ForeignEntry>& entries, qsizetype bound)
{
    check(static_cast<qsizetype>(entries.size()) <= bound);
    for (const ForeignEntry& e : entries) {
        check(!e.location.isEmpty());
        for (const ForeignReading& other : e.alternatives)
            check(!other.location.isEmpty());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    // A lone CR ends a line too.
    const qsizetype lines = bytes.count('\n') + bytes.count('\r') + 1;
    for (bool utf8 : {false, true}) {
        const std::vector<ForeignEntry> m3u = parseM3u(bytes, utf8);
        checkEntries(m3u, lines);
        for (const ForeignEntry& e : m3u)
            check(!e.location.contains(QLatin1Char('\n')) && !e.location.contains(QLatin1Char('\r'))
                  && !e.location.startsWith(QLatin1Char('#')));
    }
    checkEntries(parsePls(bytes), lines);
    checkEntries(parseXspf(bytes), bytes.size() + 1);
    return 0;
}
