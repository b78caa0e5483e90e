#pragma once
// ClipLengthReader: measures one clip's length with libavformat, without
// decoding it.
//
// The fast path opens the file with the demuxer its extension names (falling
// back to probing the content when that fails) and takes the duration that
// the container or its streams state in their headers. Only when no header
// gives one does it read the stream information; when libavformat then only
// estimated the duration from the bit rate (an MP3 without a Xing or VBRI
// header, whose variable bit rate makes that estimate far off), it reads
// every packet and adds up their durations.
//
// Threading: measure() blocks and may run on any number of threads at once;
// the reader itself is immutable after construction.

#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <unordered_map>

struct AVInputFormat;

namespace velmora {

class ClipLengthReader {
public:
    // How a length was found (for the benchmarks and the debug log).
    enum class Source { None, Header, StreamInfo, PacketScan };

    struct Result {
        std::optional<double> seconds;  // nullopt: cannot be measured
        Source source = Source::None;
    };

    // Builds the table from file extensions to demuxers.
    ClipLengthReader();

    // Measures the file at `path`. `interrupted`, when given, is polled while
    // libavformat waits for input; once it returns true the measurement ends
    // with no result. Files that cannot be opened, that hold no sound and no
    // picture, or whose length is not positive give no result.
    Result measure(const QString& path, const std::function<bool()>& interrupted = {}) const;

private:
    const AVInputFormat* formatForExtension(const QString& path) const;

    std::unordered_map<std::string, const AVInputFormat*> byExtension_;
};

}  // namespace velmora
