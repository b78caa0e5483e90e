#pragma once
// Reading a command line as paths: the command handler's tokenizer and the
// long form of a path. What a token names on disk is found by the folder
// walk that every road of adding shares (AddSource::Kind::CommandToken).
//
// Pure logic; no Qt, callable from any thread. Texts are UTF-8 byte strings
// and pass through unchanged (convert a path for Qt with QString::fromUtf8
// or QFile::decodeName).

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

}  // namespace velmora::channel
