#include "channel/command_tokens.h"

#include "channel/working_folder.h"

#include <algorithm>

namespace velmora::channel {

void forEachCommandToken(std::string_view text, const std::function<bool(const std::string&)>& handle)
{
    std::string padded;
    padded.reserve(text.size() + 3);
    padded += ' ';
    padded += text;
    padded += "  ";

    std::string token;
    bool inQuotes = false;
    bool inToken = false;
    bool complete = false;
    std::size_t b = 1;
    while (b < padded.size()) {
        if (complete && !token.empty()) {
            if (!handle(token))
                return;
            complete = inQuotes = inToken = false;  // the token text itself is kept
            ++b;
            continue;
        }
        const char c = padded[b];
        if (c == '"' && !inQuotes) {
            inQuotes = true;
            token.clear();
            ++b;
        } else if (c == '"') {
            if (b + 1 < padded.size() && padded[b + 1] == '"') {
                token += '"';  // escaped quote inside a quoted path
                b += 2;
            } else {
                complete = true;  // looked at again by the next step
                inQuotes = false;
            }
        } else if (padded[b - 1] == ' ' && !inToken && !inQuotes) {
            inToken = true;
            token.assign(1, c);
            ++b;
        } else if (c == ' ' && inToken && !inQuotes) {
            inToken = false;
            complete = true;
        } else {
            token += c;
            ++b;
        }
    }
}

std::vector<std::string> tokenizeCommand(std::string_view text)
{
    std::vector<std::string> tokens;
    forEachCommandToken(text, [&](const std::string& token) {
        tokens.push_back(token);
        return true;
    });
    return tokens;
}

std::string longPathForm(std::string_view path, std::string_view baseFolder)
{
    std::string whole;
    if (path.empty() || path.front() != '/') {
        whole = baseFolder.empty() ? currentWorkingFolder() : std::string(baseFolder);
        whole += '/';
    }
    whole += path;

    std::vector<std::string_view> parts;
    const std::string_view all(whole);
    std::size_t start = 0;
    while (start <= all.size()) {
        std::size_t end = all.find('/', start);
        if (end == std::string_view::npos)
            end = all.size();
        const std::string_view part = all.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    if (parts.empty())
        return "/";
    std::string out;
    out.reserve(whole.size());
    for (const std::string_view part : parts) {
        out += '/';
        out += part;
    }
    return out;
}

}  // namespace velmora::channel
