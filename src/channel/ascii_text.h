#pragma once
// ASCII-only case folding for the channel's words and keys: the locale
// never changes what a command or a settings key means.

#include <cstddef>
#include <string_view>

namespace velmora::channel {

constexpr char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// text equals lowerWord (given in lower case) but for the case of ASCII letters.
constexpr bool equalsIgnoringCase(std::string_view text, std::string_view lowerWord)
{
    if (text.size() != lowerWord.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (asciiLower(text[i]) != lowerWord[i])
            return false;
    }
    return true;
}

}  // namespace velmora::channel
