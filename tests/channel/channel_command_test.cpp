// The command text: building it from arguments, reading it back as tokens,
// the command words, the kinds of start, the long form of a path.

#include "channel/command_line.h"
#include "channel/command_tokens.h"

#include <gtest/gtest.h>

#include <random>

using namespace velmora::channel;

namespace {

std::vector<std::string> tokensUntilFailing(std::string_view text, const std::string& failing)
{
    std::vector<std::string> seen;
    forEachCommandToken(text, [&](const std::string& token) {
        seen.push_back(token);
        return token != failing;
    });
    return seen;
}

}  // namespace

TEST(ChannelCommandWords, MatchWholeTextInAnyLetterCase)
{
    EXPECT_EQ(transportWord("play"), CommandWord::Play);
    EXPECT_EQ(transportWord("PAUSE"), CommandWord::Pause);
    EXPECT_EQ(transportWord("Back"), CommandWord::Back);
    EXPECT_EQ(transportWord("fOrWaRd"), CommandWord::Forward);
    EXPECT_EQ(commandWord("INIT"), CommandWord::Init);
    EXPECT_EQ(commandWord("Uninstall"), CommandWord::Uninstall);
    // init and uninstall are start verbs, not transport words.
    EXPECT_EQ(transportWord("init"), std::nullopt);
    EXPECT_EQ(transportWord("uninstall"), std::nullopt);
    for (const char* notWord : {"play ", " play", "\"play\"", "play play", "plays", "", "pla"})
        EXPECT_EQ(commandWord(notWord), std::nullopt) << notWord;
}

TEST(ChannelCommandLine, OneWordArgumentPassesAsTheWord)
{
    EXPECT_EQ(buildCommandLine({"PLAY"}, "/home/u"), "play");
    EXPECT_EQ(buildCommandLine({"Init"}, "/home/u"), "init");
    EXPECT_EQ(buildCommandLine({"uninstall"}, "/home/u"), "uninstall");
    // Anything else is a path, also the word with a blank or beside another argument.
    EXPECT_EQ(buildCommandLine({"play "}, "/home/u"), "\"/home/u/play \"");
    EXPECT_EQ(buildCommandLine({"play", "pause"}, "/home/u"), "\"/home/u/play\" \"/home/u/pause\"");
    EXPECT_EQ(buildCommandLine({"./play"}, "/home/u"), "\"/home/u/./play\"");
}

TEST(ChannelCommandLine, ArgumentsBecomeAbsoluteQuotedAndJoinedByOneBlank)
{
    EXPECT_EQ(buildCommandLine(std::vector<std::string>{}, "/home/u"), "");
    EXPECT_EQ(buildCommandLine({"a.mp3", "/abs/b c.mp3", "../d"}, "/home/u"),
              "\"/home/u/a.mp3\" \"/abs/b c.mp3\" \"/home/u/../d\"");
    EXPECT_EQ(buildCommandLine({"x"}, "/"), "\"/x\"");
    EXPECT_EQ(buildCommandLine({"x"}, "/home/u/"), "\"/home/u/x\"");
    EXPECT_EQ(buildCommandLine({"", "x", ""}, "/w"), "\"/w/x\"");
    EXPECT_EQ(buildCommandLine({""}, "/w"), "");
    EXPECT_EQ(buildCommandLine({"say \"hi\".mp3"}, "/w"), "\"/w/say \"\"hi\"\".mp3\"");
}

TEST(ChannelCommandLine, EveryPathComesBackWholeThroughTheTokenizer)
{
    const std::vector<std::string> awkward = {
        "plain.mp3",
        " leading blank",
        "trailing blank ",
        "two  blanks",
        "\"",
        "\"\"",
        "\"quoted\"",
        "end quote\"",
        "a\" \"b",
        "Песня — Кино.mp3",
        "夜に駆ける.flac",
        "🎵 emoji 🎶.ogg",
        "tab\there",
        "new\nline",
        "back\\slash",
        "100% sure",
        "play",
        "'single'",
    };
    std::vector<std::string> expected;
    for (const std::string& name : awkward)
        expected.push_back("/music/" + name);
    EXPECT_EQ(tokenizeCommand(buildCommandLine(awkward, "/music")), expected);
    for (const std::string& name : awkward)
        EXPECT_EQ(tokenizeCommand(buildCommandLine({"/x", name}, "/w")), (std::vector<std::string>{"/x", "/w/" + name}))
            << name;
}

TEST(ChannelCommandLine, RandomPathsRoundTrip)
{
    std::mt19937 random(7);
    const std::string alphabet = "ab \"/.\\'%\t";
    for (int round = 0; round < 2000; ++round) {
        std::vector<std::string> arguments;
        const int count = 1 + static_cast<int>(random() % 4);
        for (int i = 0; i < count; ++i) {
            std::string a = "/";
            const int length = 1 + static_cast<int>(random() % 8);
            for (int j = 0; j < length; ++j)
                a += alphabet[random() % alphabet.size()];
            arguments.push_back(a);
        }
        ASSERT_EQ(tokenizeCommand(buildCommandLine(arguments, "/w")), arguments) << buildCommandLine(arguments, "/w");
    }
}

TEST(ChannelTokenizer, QuotedPathsKeepTheirBlanks)
{
    EXPECT_EQ(tokenizeCommand("\"/a b/c d.mp3\" \"/e f.mp3\""),
              (std::vector<std::string>{"/a b/c d.mp3", "/e f.mp3"}));
    // A quoted path followed by an unquoted one.
    EXPECT_EQ(tokenizeCommand("\"/a b\" /c"), (std::vector<std::string>{"/a b", "/c"}));
}

TEST(ChannelTokenizer, UnquotedPathsAreCutAtEveryBlank)
{
    EXPECT_EQ(tokenizeCommand("/a b/c d.mp3 /e f.mp3"),
              (std::vector<std::string>{"/a", "b/c", "d.mp3", "/e", "f.mp3"}));
    // The first piece that names nothing ends the message: later tokens are not looked at.
    EXPECT_EQ(tokensUntilFailing("/a b/c d.mp3", "/a"), (std::vector<std::string>{"/a"}));
    EXPECT_EQ(tokensUntilFailing("\"/ok\" \"/bad\" \"/never\"", "/bad"), (std::vector<std::string>{"/ok", "/bad"}));
}

TEST(ChannelTokenizer, DoubledBlankStartsTheNextTokenWithABlank)
{
    EXPECT_EQ(tokenizeCommand("/a  /b"), (std::vector<std::string>{"/a", " /b"}));
    // With three, the blank in the middle is a token of its own (and names nothing).
    EXPECT_EQ(tokenizeCommand("/a   /b"), (std::vector<std::string>{"/a", " ", "/b"}));
    // A blank that opens the text counts like any other.
    EXPECT_EQ(tokenizeCommand(" /a"), (std::vector<std::string>{" /a"}));
}

TEST(ChannelTokenizer, PlayWithABlankIsAPath)
{
    EXPECT_EQ(transportWord("play "), std::nullopt);
    // The blank at the end becomes a last token of one blank, which names nothing.
    EXPECT_EQ(tokenizeCommand("play "), (std::vector<std::string>{"play", " "}));
    EXPECT_EQ(tokenizeCommand("play"), (std::vector<std::string>{"play"}));
}

TEST(ChannelTokenizer, UnfinishedAndEmptyInput)
{
    // The handler is never given an empty text; the padding alone makes one blank token.
    EXPECT_EQ(tokenizeCommand(""), std::vector<std::string>{" "});
    // An unclosed quote yields nothing.
    EXPECT_EQ(tokenizeCommand("\"/a\" \"/b c"), (std::vector<std::string>{"/a"}));
    // Cyrillic and emoji pass byte for byte.
    EXPECT_EQ(tokenizeCommand("\"/Музыка/🎵.mp3\""), (std::vector<std::string>{"/Музыка/🎵.mp3"}));
}

TEST(ChannelStartKinds, FollowTheTable)
{
    EXPECT_EQ(classifyStart(false, "uninstall"), StartKind::Uninstall);
    EXPECT_EQ(classifyStart(false, "INIT"), StartKind::Init);
    EXPECT_EQ(classifyStart(false, ""), StartKind::Normal);
    EXPECT_EQ(classifyStart(false, "\"/a\""), StartKind::Normal);
    EXPECT_EQ(classifyStart(false, " init"), StartKind::Normal);
    EXPECT_EQ(classifyStart(true, "\"/a\""), StartKind::HandOver);
    EXPECT_EQ(classifyStart(true, "play"), StartKind::HandOver);
    EXPECT_EQ(classifyStart(true, ""), StartKind::HandOver);
    EXPECT_EQ(classifyStart(true, "Init"), StartKind::EndAtOnce);
    EXPECT_EQ(classifyStart(true, "UNINSTALL"), StartKind::EndAtOnce);
}

TEST(ChannelLongPathForm, CleansDotsAndSlashes)
{
    EXPECT_EQ(longPathForm("/a/./b//c/"), "/a/b/c");
    EXPECT_EQ(longPathForm("/a/b/../c"), "/a/c");
    EXPECT_EQ(longPathForm("/a/../../.."), "/");
    EXPECT_EQ(longPathForm("//"), "/");
    EXPECT_EQ(longPathForm("/"), "/");
    EXPECT_EQ(longPathForm("/a/..b/c.."), "/a/..b/c..");
    EXPECT_EQ(longPathForm("x/./y", "/base/dir"), "/base/dir/x/y");
    EXPECT_EQ(longPathForm("../y", "/base/dir"), "/base/y");
    EXPECT_EQ(longPathForm("/Музыка/ a /🎵.mp3"), "/Музыка/ a /🎵.mp3");
    EXPECT_EQ(longPathForm("", "/base"), "/base");
}
