// The language server's pieces in-process: the framing of messages (also
// when a client gets it wrong), documents changed by random edits against a
// plain string, and the recasing of a few lines against the whole-text
// conversion.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "file_uri.h"
#include "message_reader.h"
#include "project_vocabulary.h"
#include "source_conversion.h"
#include "text_document.h"
#include "word_edits.h"

using namespace recasor;

namespace {

// A source that hands out its bytes a few at a time, as a pipe may.
MessageReader ReaderOf(const std::string& bytes, size_t step = 3)
{
    auto at = std::make_shared<size_t>(0);
    return MessageReader{.source = [bytes, at, step](char* buffer, size_t size) {
        size_t n = std::min({size, step, bytes.size() - *at});
        bytes.copy(buffer, n, *at);
        *at += n;
        return n;
    }};
}

std::vector<std::string> ReadAll(MessageReader& reader)
{
    std::vector<std::string> seen;
    for (;;) {
        ReadResult result = ReadMessage(reader);
        if (result.outcome == ReadOutcome::EndOfInput) return seen;
        seen.push_back(result.outcome == ReadOutcome::Message ? result.body : "refused: " + result.problem);
    }
}

TEST(MessageReader, FramesGoodAndBadHeaders)
{
    struct Case {
        std::string bytes;
        std::vector<std::string> messages;
    };
    const std::vector<Case> cases = {
        {"Content-Length: 2\r\n\r\n{}Content-Length: 3\r\n\r\n[1]", {"{}", "[1]"}},
        {"content-length:2\r\nContent-Type: x\r\n\r\n{}", {"{}"}},
        {"Content-Length: 2\n\n{}", {"{}"}},
        {"Content-Type: x\r\n\r\nContent-Length: 2\r\n\r\n{}", {"refused: no valid Content-Length header", "{}"}},
        {"Content-Length: -1\r\n\r\nContent-Length: 1x\r\n\r\n", {"refused: no valid Content-Length header",
                                                                   "refused: no valid Content-Length header"}},
        // The tail of a body stated too short sits before the next header.
        {"Content-Length: 1\r\n\r\n{}Content-Length: 2\r\n\r\n[]", {"{", "[]"}},
        {"Content-Length: 9\r\n\r\n{}", {}},  // the input ends inside the body
        {"Content-Length: 1", {}},
    };
    for (const Case& c : cases) {
        MessageReader reader = ReaderOf(c.bytes);
        EXPECT_EQ(ReadAll(reader), c.messages) << c.bytes;
    }
}

TEST(MessageReader, RefusesLargeMessagesAndHeadersWithoutKeepingThem)
{
    constexpr size_t kBig = 4 << 20;
    std::string big = "Content-Length: " + std::to_string(kBig) + "\r\n\r\n" + std::string(kBig, 'x') +
                      "Content-Length: 2\r\n\r\n{}";
    MessageReader reader = ReaderOf(big, 1 << 16);
    reader.largestMessage = 4000;
    std::vector<std::string> seen = ReadAll(reader);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].substr(0, 33), "refused: message of 4194304 bytes");
    EXPECT_EQ(seen[1], "{}");
    EXPECT_LT(reader.pending.capacity(), kBig / 8);

    MessageReader junk = ReaderOf(std::string(200000, 'j') + "\r\n\r\nContent-Length: 2\r\n\r\n{}", 4096);
    EXPECT_EQ(ReadAll(junk), (std::vector<std::string>{"refused: header too long", "{}"}));
}

TEST(TextDocument, PositionsInBothEncodings)
{
    // "aé日😀b": bytes 0, 1, 3, 6, 10; UTF-16 units 0, 1, 2, 3, 5.
    const std::string line = "a\xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80" "b";
    struct Case {
        uint32_t utf16;
        size_t byte;
    };
    for (Case c : std::vector<Case>{{0, 0}, {1, 1}, {2, 3}, {3, 6}, {4, 6}, {5, 10}, {6, 11}, {99, 11}}) {
        EXPECT_EQ(ByteOffsetOfCharacter(line, c.utf16, PositionEncoding::Utf16), c.byte) << c.utf16;
        if (c.utf16 != 4) EXPECT_EQ(CharacterOfByteOffset(line, c.byte, PositionEncoding::Utf16), std::min(c.utf16, 6u));
    }
    EXPECT_EQ(ByteOffsetOfCharacter(line, 7, PositionEncoding::Utf8), 7u);
    EXPECT_EQ(ByteOffsetOfCharacter(line, 70, PositionEncoding::Utf8), 11u);
    EXPECT_EQ(CharacterOfByteOffset(line, 7, PositionEncoding::Utf8), 7u);
}

// The lines of a text as the protocol counts them.
std::vector<std::string> ProtocolLines(const std::string& text)
{
    std::vector<std::string> lines{""};
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\n' && text[i] != '\r') {
            lines.back() += text[i];
            continue;
        }
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        lines.emplace_back();
    }
    return lines;
}

TEST(TextDocument, RandomEditsKeepTheClientsText)
{
    std::mt19937 random(7);
    const std::string pieces[] = {"", "a", "dim x", "\n", "\r", "\r\n", "\n\n", "b\rc", "\xC3\xA9"};
    std::string text = "print 1\r\nloop\rwend\n";
    TextDocument document = MakeTextDocument("u", "freebasic", text);
    for (int step = 0; step < 4000; ++step) {
        std::vector<std::string> lines = ProtocolLines(text);
        auto position = [&] {
            uint32_t line = random() % lines.size();
            return TextPosition{line, static_cast<uint32_t>(random() % (lines[line].size() + 2))};
        };
        TextPosition from = position(), to = position();
        if (to.line < from.line || (to.line == from.line && to.character < from.character)) std::swap(from, to);
        std::string inserted = pieces[random() % std::size(pieces)];
        // The same edit on the plain text: positions are bytes here (UTF-8),
        // clamped to the line, never inside a line end.
        auto offset = [&](TextPosition p) {
            size_t start = 0;
            for (uint32_t k = 0; k < p.line; ++k) {
                start += lines[k].size();
                start += text.compare(start, 2, "\r\n") == 0 ? 2 : 1;
            }
            size_t character = std::min<size_t>(p.character, lines[p.line].size());
            // A position inside a two-byte character is not one a client sends.
            while (character > 0 && (static_cast<unsigned char>(text[start + character]) & 0xC0) == 0x80) --character;
            return start + character;
        };
        size_t a = offset(from), b = offset(to);
        from.character = static_cast<uint32_t>(a - offset({from.line, 0}));
        to.character = static_cast<uint32_t>(b - offset({to.line, 0}));
        ASSERT_TRUE(ReplaceRange(document, from, to, inserted, PositionEncoding::Utf8));
        text.replace(a, b - a, inserted);
        ASSERT_EQ(DocumentText(document), text) << "step " << step;
        std::vector<std::string> expectedLines = ProtocolLines(text);
        ASSERT_EQ(LineCount(document), expectedLines.size()) << "step " << step;
        for (size_t line = 0; line < expectedLines.size(); ++line)
            ASSERT_EQ(LineContent(document, line), expectedLines[line]) << "step " << step;
        if (text.size() > 300) text = DocumentText(document = MakeTextDocument("u", "freebasic", "x\n"));
    }
    EXPECT_FALSE(ReplaceRange(document, {9, 0}, {9, 0}, "x", PositionEncoding::Utf8));
}

TEST(WordEdits, LineRangesAgreeWithTheWholeText)
{
    const std::string vocabulary =
        "<FreeBasicKeywords>Dim As Print Rem Loop GetMessage</FreeBasicKeywords><PowerBasicKeywords></PowerBasicKeywords>"
        "<ApiKeywords></ApiKeywords><FreeBasicConstants></FreeBasicConstants><PowerBasicConstants></PowerBasicConstants>";
    KeywordSet set = BuildProjectKeywordSet(ParseVocabulary(vocabulary), Dialect::FreeBasic, CaseMode::Mixed, {}, {});
    ConversionRules rules{set, DialectSourceRules(Dialect::FreeBasic)};
    const std::string text = "dim a /' print\nprint '/ print \"\xF0\x9F\x98\x80\" : getmessagE\r\nloop _ print\n"
                             "rem print\nprint !\"\\\" print\" : print _\nrem print\n";
    const std::string whole = ConvertSource(text, rules);
    TextDocument document = MakeTextDocument("u", "freebasic", text);
    TextDocument converted = MakeTextDocument("u", "freebasic", whole);
    for (size_t first = 0; first < LineCount(document); ++first) {
        for (size_t last = first; last < LineCount(document); ++last) {
            // Every line of the range as in the whole text's conversion, word by word.
            for (PositionEncoding encoding : {PositionEncoding::Utf8, PositionEncoding::Utf16}) {
                TextDocument edited = document;
                for (const WordEdit& edit : RecaseLines(document, first, last, rules, encoding)) {
                    EXPECT_GE(edit.line, first);
                    EXPECT_LE(edit.line, last);
                    ASSERT_TRUE(ReplaceRange(edited, {edit.line, edit.startCharacter}, {edit.line, edit.endCharacter},
                                             edit.newText, encoding));
                }
                for (size_t line = 0; line < LineCount(document); ++line) {
                    TextDocument& expected = line >= first && line <= last ? converted : document;
                    EXPECT_EQ(std::string(LineContent(edited, line)), LineContent(expected, line))
                        << first << ".." << last << " line " << line;
                }
            }
        }
    }
    EXPECT_EQ(RecaseLines(document, 1, 1, rules, PositionEncoding::Utf16).size(), 2u);  // "print" and "getmessagE"
}

TEST(FileUri, Paths)
{
    struct Case {
        const char* uri;
        const char* path;
    };
    for (Case c : std::vector<Case>{{"file:///home/ann/a%20b.bas", "/home/ann/a b.bas"},
                                    {"FILE://localhost/x/%C3%9Cbung.bas", "/x/\xC3\x9C" "bung.bas"},
                                    {"file:///c%3A/src/x.bas", "c:/src/x.bas"},
                                    {"file:///x/100%.bas", "/x/100%.bas"},
                                    {"file://server/share/x.bas", "//server/share/x.bas"},
                                    {"untitled:Untitled-1", ""}})
        EXPECT_EQ(PathOfFileUri(c.uri), c.path) << c.uri;
}

}  // namespace
