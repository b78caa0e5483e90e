#include "channel/channel_name.h"

#include "channel/ascii_text.h"
#include "channel/channel_protocol.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace velmora::channel {

namespace {

// The length of a white-space character (as the settings store's reader
// trims them) at the start of s, or 0.
std::size_t leadingSpace(std::string_view s)
{
    if (s.empty())
        return 0;
    const auto c = static_cast<unsigned char>(s[0]);
    if (c == ' ' || (c >= 0x09 && c <= 0x0d))
        return 1;
    if (s.size() >= 2 && c == 0xc2 && (static_cast<unsigned char>(s[1]) == 0x85 || static_cast<unsigned char>(s[1]) == 0xa0))
        return 2;  // U+0085, U+00A0
    if (s.size() >= 3) {
        const auto c1 = static_cast<unsigned char>(s[1]);
        const auto c2 = static_cast<unsigned char>(s[2]);
        if (c == 0xe1 && c1 == 0x9a && c2 == 0x80)
            return 3;  // U+1680
        if (c == 0xe2 && c1 == 0x80 && ((c2 >= 0x80 && c2 <= 0x8a) || c2 == 0xa8 || c2 == 0xa9 || c2 == 0xaf))
            return 3;  // U+2000..U+200A, U+2028, U+2029, U+202F
        if (c == 0xe2 && c1 == 0x81 && c2 == 0x9f)
            return 3;  // U+205F
        if (c == 0xe3 && c1 == 0x80 && c2 == 0x80)
            return 3;  // U+3000
    }
    return 0;
}

std::size_t trailingSpace(std::string_view s)
{
    for (std::size_t n = 1; n <= 3 && n <= s.size(); ++n) {
        const std::string_view tail = s.substr(s.size() - n);
        if (leadingSpace(tail) == n)
            return n;
    }
    return 0;
}

std::string_view trimmed(std::string_view s)
{
    while (const std::size_t n = leadingSpace(s))
        s.remove_prefix(n);
    while (const std::size_t n = trailingSpace(s))
        s.remove_suffix(n);
    return s;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string unescaped(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && hexValue(s[i + 1]) >= 0 && hexValue(s[i + 2]) >= 0) {
            out += static_cast<char>(hexValue(s[i + 1]) * 16 + hexValue(s[i + 2]));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

}  // namespace

std::string channelFileName(std::string_view mailslotName)
{
    if (mailslotName.empty())
        return std::string(kDefaultChannelName);
    std::string name(mailslotName);
    for (char& c : name) {
        if (c == '/' || c == '\0')
            c = '_';
    }
    if (name == "." || name == ".." || name == kLockFileName)
        name += '_';
    return name;
}

std::string readMailslotName(const std::string& settingsFile)
{
    std::ifstream in(settingsFile, std::ios::binary);
    if (!in)
        return {};
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string_view rest(text);
    std::string section;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        std::string_view line = trimmed(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[') {
            const std::size_t close = line.find(']');
            section = unescaped(trimmed(line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1)));
            continue;
        }
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos)
            continue;
        // The first occurrence of a key counts, as in the settings store.
        if (equalsIgnoringCase(section, "settings") && equalsIgnoringCase(unescaped(trimmed(line.substr(0, eq))), "mailslotname"))
            return unescaped(trimmed(line.substr(eq + 1)));
    }
    return {};
}

std::string configuredChannelName()
{
    return channelFileName(readMailslotName(userConfigFolderPath() + "/settings.ini"));
}

}  // namespace velmora::channel
