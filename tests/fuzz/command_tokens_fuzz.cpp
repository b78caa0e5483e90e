// Command texts from any bytes (what a second start hands over): the
// tokenizer never fails, and no token is longer than the text with the
// blanks the scan pads it with.

#include "channel/command_line.h"
#include "channel/command_tokens.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace velmora::channel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    (void)commandWord(text);
    (void)transportWord(text);
    for (const std::string& token : tokenizeCommand(text)) {
        if (token.empty() || token.size() > text.size() + 2)
            std::abort();
        (void)longPathForm(token, "/base/folder");
    }
    return 0;
}
