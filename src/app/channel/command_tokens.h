#pragma once
// Reading a command line as paths: the command handler's tokenizer, the long
// form of a path, and what a token names on disk.
//
// Pure logic plus read-only file-system look-ups; no Qt, callable from any
// thread. Texts are UTF-8 byte strings and pass through unchanged (convert a
// path for Qt with QString::fromUtf8 or QFile::decodeName).
//
// The command handler's path branch, in outline:
//
//   if (const auto word = transportWord(text)) { press that button; return; }
//   forEachCommandToken(text, [&](const std::string& token) {
//       const TokenTarget target = resolveCommandToken(token, mediaFilter);
//       if (target.kind == TokenTarget::Kind::Nothing)
//           return false;                  // ends the whole message
//       for (const std::string& path : target.paths)
//           addToPlaylist(path);
//       startMeasuring(); maybeStartPlayback(); ...
//       return true;
//   });

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::channel {

// Splits the text into paths and hands each to `handle` as soon as it is
// complete; `handle` returns false to end the scan there (a token that names
// nothing ends the handling of the whole message, later tokens are dropped).
//
// The rules, scanning " " + text + "  " from its second character:
//  - a double quote opens a quoted path (dropping what was collected) and the
//    next double quote closes it; blanks inside quotes belong to the path;
//  - inside quotes "" stands for one double quote (the builder's escape);
//  - outside quotes a token starts at a character that follows a blank and
//    ends at the next blank, so two blanks make the next token start with a
//    blank;
//  - the character that ended a token is not looked at again.
// Text after an unclosed quote yields nothing. A blank at the end of the text
// (or an empty text) yields a last token of one blank, which names nothing.
void forEachCommandToken(std::string_view text, const std::function<bool(const std::string&)>& handle);

// Every token of the text, as forEachCommandToken() finds them.
std::vector<std::string> tokenizeCommand(std::string_view text);

// The long form of a path: absolute (a relative path is taken against
// baseFolder, or the process's working folder when that is empty), with ".",
// ".." and doubled or trailing "/" removed. Symbolic links are kept as named:
// ".." removes the name before it, whatever that name points to. Never empty.
std::string longPathForm(std::string_view path, std::string_view baseFolder = {});

// What one token names, and the playlist paths it stands for.
struct TokenTarget {
    enum class Kind {
        File,     // a regular file that can be opened for reading: paths = its long form
        Folder,   // a folder: paths = its accepted files, long form, in name order
        Nothing,  // neither: the handling of the message ends here
    };
    Kind kind = Kind::Nothing;
    std::vector<std::string> paths;
};

struct FolderFilter {
    // Whether a file name of a folder is added; empty accepts every name.
    // (The media pattern of the file type table goes here.)
    std::function<bool(std::string_view fileName)> accepts;
};

// Looks the token up. A folder contributes its own regular files (symbolic
// links followed, subfolders and hidden "." files left out) that the filter
// accepts, sorted by name ignoring ASCII letter case, then byte by byte. An
// existing but empty folder is a Folder with no paths. Blocks on the file
// system; the folder listing is one readdir pass.
TokenTarget resolveCommandToken(const std::string& token, const FolderFilter& filter = {});

}  // namespace velmora::channel
