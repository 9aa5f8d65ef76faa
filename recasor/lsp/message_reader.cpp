#include "message_reader.h"

#include <algorithm>
#include <charconv>

#include "ascii.h"

namespace recasor {

namespace {

constexpr size_t kChunk = 1 << 16;

// Appends what the source gives next; false at the end of the input.
bool ReadMore(MessageReader& reader)
{
    size_t had = reader.pending.size();
    reader.pending.resize(had + kChunk);
    size_t got = reader.source(reader.pending.data() + had, kChunk);
    reader.pending.resize(had + got);
    return got > 0;
}

// Where the header block ends (after its empty line) and how long that
// empty line is, or npos. Lines end in CR LF; a bare LF is taken too.
size_t HeaderEnd(std::string_view text)
{
    size_t crlf = text.find("\r\n\r\n");
    size_t lf = text.find("\n\n");
    if (crlf == std::string_view::npos && lf == std::string_view::npos) return std::string_view::npos;
    return std::min(crlf == std::string_view::npos ? crlf : crlf + 4, lf == std::string_view::npos ? lf : lf + 2);
}

// The value of the last Content-Length field of a header block. The field is
// looked for anywhere, so that the rest of a body whose length was stated
// too short, left in front of the next header, costs nothing more.
bool FindContentLength(std::string_view header, size_t& length)
{
    constexpr std::string_view kName = "content-length:";
    std::string lower(header);
    for (char& c : lower) c = AsciiLower(c);
    size_t at = lower.rfind(kName);
    if (at == std::string::npos) return false;
    std::string_view value = std::string_view(lower).substr(at + kName.size());
    size_t digits = value.find_first_not_of(" \t");
    if (digits == std::string_view::npos) return false;
    value.remove_prefix(digits);
    auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), length);
    if (error != std::errc() || end == value.data()) return false;
    std::string_view rest(end, value.data() + value.size() - end);
    return rest.empty() || rest[0] == '\r' || rest[0] == '\n' || rest[0] == ' ' || rest[0] == '\t';
}

// Drops `length` bytes of body, those already read and those still to come.
bool SkipBody(MessageReader& reader, size_t length)
{
    for (;;) {
        size_t drop = std::min(length, reader.pending.size());
        reader.pending.erase(0, drop);
        length -= drop;
        if (length == 0) return true;
        if (!ReadMore(reader)) return false;
    }
}

}  // namespace

ReadResult ReadMessage(MessageReader& reader)
{
    size_t headerEnd;
    bool headerTooLong = false;
    while ((headerEnd = HeaderEnd(reader.pending)) == std::string::npos) {
        if (reader.pending.size() > kLargestHeader) {
            // Keep only what could begin the empty line that ends the header.
            reader.pending.erase(0, reader.pending.size() - 3);
            headerTooLong = true;
        }
        if (!ReadMore(reader)) return {ReadOutcome::EndOfInput, {}, {}};
    }
    size_t length = 0;
    bool known = FindContentLength(std::string_view(reader.pending).substr(0, headerEnd), length);
    reader.pending.erase(0, headerEnd);
    if (headerTooLong) return {ReadOutcome::Refused, {}, "header too long"};
    if (!known) return {ReadOutcome::Refused, {}, "no valid Content-Length header"};
    if (length > reader.largestMessage) {
        if (!SkipBody(reader, length)) return {ReadOutcome::EndOfInput, {}, {}};
        return {ReadOutcome::Refused, {},
                "message of " + std::to_string(length) + " bytes refused: the limit is " +
                    std::to_string(reader.largestMessage)};
    }
    reader.pending.reserve(length + kChunk);
    while (reader.pending.size() < length)
        if (!ReadMore(reader)) return {ReadOutcome::EndOfInput, {}, {}};
    ReadResult result{ReadOutcome::Message, reader.pending.substr(0, length), {}};
    reader.pending.erase(0, length);
    return result;
}

void PutBack(MessageReader& reader, std::string_view bytes) { reader.pending.insert(0, bytes); }

}  // namespace recasor
