#include "channel/command_line.h"

#include "channel/ascii_text.h"

#include <array>
#include <utility>

namespace velmora::channel {

namespace {

constexpr std::array<std::pair<CommandWord, std::string_view>, 6> kWords{{
    {CommandWord::Init, "init"},
    {CommandWord::Uninstall, "uninstall"},
    {CommandWord::Play, "play"},
    {CommandWord::Pause, "pause"},
    {CommandWord::Back, "back"},
    {CommandWord::Forward, "forward"},
}};

void appendQuoted(std::string& out, std::string_view path)
{
    out += '"';
    for (;;) {
        const std::size_t quote = path.find('"');
        if (quote == std::string_view::npos)
            break;
        out.append(path.substr(0, quote + 1));
        out += '"';  // a double quote is written twice
        path.remove_prefix(quote + 1);
    }
    out.append(path);
    out += '"';
}

template <class Arguments>
std::string build(const Arguments& arguments, std::string_view workingFolder)
{
    if (arguments.size() == 1) {
        if (const auto word = commandWord(std::string_view(arguments.front())))
            return std::string(commandWordText(*word));
    }
    const bool folderHasSlash = !workingFolder.empty() && workingFolder.back() == '/';
    std::size_t size = 0;
    for (const std::string_view argument : arguments)
        size += argument.size() + workingFolder.size() + 4;
    std::string out;
    out.reserve(size);  // a 1 MB command line is built without copying it again
    std::string absolute;
    for (const std::string_view argument : arguments) {
        if (argument.empty())
            continue;
        if (!out.empty())
            out += ' ';
        if (argument.front() == '/') {
            appendQuoted(out, argument);
        } else {
            absolute.assign(workingFolder);
            if (!folderHasSlash)
                absolute += '/';
            absolute += argument;
            appendQuoted(out, absolute);
        }
    }
    return out;
}

}  // namespace

std::optional<CommandWord> commandWord(std::string_view text)
{
    for (const auto& [word, spelling] : kWords) {
        if (equalsIgnoringCase(text, spelling))
            return word;
    }
    return std::nullopt;
}

std::optional<CommandWord> transportWord(std::string_view text)
{
    const auto word = commandWord(text);
    if (word == CommandWord::Init || word == CommandWord::Uninstall)
        return std::nullopt;
    return word;
}

std::string_view commandWordText(CommandWord word)
{
    for (const auto& [w, spelling] : kWords) {
        if (w == word)
            return spelling;
    }
    return {};
}

std::string buildCommandLine(const std::vector<std::string>& arguments, std::string_view workingFolder)
{
    return build(arguments, workingFolder);
}

std::string buildCommandLine(std::span<char* const> arguments, std::string_view workingFolder)
{
    return build(arguments, workingFolder);
}

StartKind classifyStart(bool anotherCopyRuns, std::string_view commandText)
{
    const auto word = commandWord(commandText);
    if (anotherCopyRuns) {
        // An empty text goes over too: it asks the running copy for its
        // windows when no tray icon can bring them back.
        if (word == CommandWord::Init || word == CommandWord::Uninstall)
            return StartKind::EndAtOnce;
        return StartKind::HandOver;
    }
    if (word == CommandWord::Uninstall)
        return StartKind::Uninstall;
    if (word == CommandWord::Init)
        return StartKind::Init;
    return StartKind::Normal;
}

}  // namespace velmora::channel
