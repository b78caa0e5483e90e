#pragma once
// The command line as one text, and what kind of start it makes.
//
// A program receives a list of arguments; the running copy's command handler
// takes one text (channel_protocol.h gives its form). These functions are
// pure (no I/O) and used by the front program, the player and the handler.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::channel {

// The words a command line may consist of, compared in any letter case.
enum class CommandWord { Init, Uninstall, Play, Pause, Back, Forward };

// The word the whole text is, ignoring letter case (ASCII); nullopt for
// anything else, also for a word with a blank before or after it.
std::optional<CommandWord> commandWord(std::string_view text);
// Only the four transport words (play, pause, back, forward): what the
// command handler performs instead of taking the text as paths.
std::optional<CommandWord> transportWord(std::string_view text);
std::string_view commandWordText(CommandWord word);

// Joins the arguments into the command text. One argument that is a command
// word gives that word in small letters. Otherwise each argument is made
// absolute against workingFolder (an absolute path; a relative argument is
// appended to it after one "/"), wrapped in double quotes with each inner
// double quote doubled, and the results are joined by one blank. Empty
// arguments are left out (they name no file). No arguments: empty text.
std::string buildCommandLine(const std::vector<std::string>& arguments, std::string_view workingFolder);
// The same for a program's argv (without the program name), copying nothing
// but the result.
std::string buildCommandLine(std::span<char* const> arguments, std::string_view workingFolder);

// The five kinds of start, from whether another copy runs and the text.
enum class StartKind {
    Normal,      // no other copy: start and hand the text to the own handler
    Init,        // no other copy, "init": remove, set defaults, end
    Uninstall,   // no other copy, "uninstall": remove, end
    HandOver,    // another copy runs: send the text (even empty) to it, end
    EndAtOnce,   // another copy runs and the text is init or uninstall
};
StartKind classifyStart(bool anotherCopyRuns, std::string_view commandText);

}  // namespace velmora::channel
