#include "app/channel/command_tokens.h"

#include "app/channel/ascii_text.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/channel/unique_fd.h"
#include "app/channel/working_folder.h"

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

namespace {

bool isReadableRegularFile(const std::string& path)
{
    // O_NONBLOCK: a FIFO must not hang the handler; it is refused below anyway.
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!fd)
        return false;
    struct stat st {};
    return ::fstat(fd.get(), &st) == 0 && S_ISREG(st.st_mode);
}

bool nameOrder(const std::string& a, const std::string& b)
{
    const bool lowerLess = std::lexicographical_compare(
        a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
            return static_cast<unsigned char>(asciiLower(x)) < static_cast<unsigned char>(asciiLower(y));
        });
    if (lowerLess)
        return true;
    const bool lowerGreater = std::lexicographical_compare(
        b.begin(), b.end(), a.begin(), a.end(), [](char x, char y) {
            return static_cast<unsigned char>(asciiLower(x)) < static_cast<unsigned char>(asciiLower(y));
        });
    if (lowerGreater)
        return false;
    return a < b;
}

}  // namespace

TokenTarget resolveCommandToken(const std::string& token, const FolderFilter& filter)
{
    TokenTarget target;
    if (token.empty())
        return target;
    if (isReadableRegularFile(token)) {
        target.kind = TokenTarget::Kind::File;
        target.paths.push_back(longPathForm(token));
        return target;
    }
    UniqueFd folderFd(::open(token.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folderFd)
        return target;
    DIR* dir = ::fdopendir(folderFd.get());
    if (dir == nullptr)
        return target;
    const int dirFd = folderFd.release();  // owned by dir now
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name(entry->d_name);
        if (name.empty() || name.front() == '.')
            continue;
        struct stat st {};
        if (::fstatat(dirFd, entry->d_name, &st, 0) != 0 || !S_ISREG(st.st_mode))
            continue;
        if (filter.accepts && !filter.accepts(name))
            continue;
        names.emplace_back(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end(), nameOrder);
    target.kind = TokenTarget::Kind::Folder;
    const std::string folder = longPathForm(token);
    const std::string prefix = folder == "/" ? folder : folder + '/';
    target.paths.reserve(names.size());
    for (const std::string& name : names)
        target.paths.push_back(prefix + name);
    return target;
}

}  // namespace velmora::channel
