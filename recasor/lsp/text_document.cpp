#include "text_document.h"

#include <algorithm>
#include <iterator>

namespace recasor {

namespace {

// The lines of `text`, each with its line end; the last one has none.
std::vector<std::string> SplitKeepingLineEnds(std::string_view text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\n' && text[i] != '\r') continue;
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        lines.emplace_back(text.substr(start, i + 1 - start));
        start = i + 1;
    }
    lines.emplace_back(text.substr(start));
    return lines;
}

size_t LineEndLength(std::string_view line)
{
    if (line.ends_with("\r\n")) return 2;
    return !line.empty() && (line.back() == '\n' || line.back() == '\r') ? 1 : 0;
}

// The length in bytes of the UTF-8 sequence that starts with `lead`; a byte
// that starts none counts as one character of its own.
size_t SequenceLength(unsigned char lead)
{
    if (lead >= 0xF0 && lead <= 0xF7) return 4;
    if (lead >= 0xE0) return lead <= 0xEF ? 3 : 1;
    if (lead >= 0xC0) return 2;
    return 1;
}

}  // namespace

TextDocument MakeTextDocument(std::string uri, std::string languageId, std::string_view text)
{
    TextDocument document;
    document.uri = std::move(uri);
    document.languageId = std::move(languageId);
    document.lines = SplitKeepingLineEnds(text);
    return document;
}

std::string DocumentText(const TextDocument& document)
{
    std::string text;
    for (const std::string& line : document.lines) text += line;
    return text;
}

std::string_view LineContent(const std::string& line)
{
    return std::string_view(line).substr(0, line.size() - LineEndLength(line));
}

size_t ByteOffsetOfCharacter(std::string_view content, uint32_t character, PositionEncoding encoding)
{
    if (encoding == PositionEncoding::Utf8) return std::min<size_t>(character, content.size());
    size_t offset = 0;
    uint32_t units = 0;
    while (offset < content.size()) {
        size_t length = std::min(SequenceLength(static_cast<unsigned char>(content[offset])), content.size() - offset);
        uint32_t width = length == 4 ? 2 : 1;  // a surrogate pair beyond the BMP
        if (units + width > character) break;
        units += width;
        offset += length;
    }
    return offset;
}

uint32_t CharacterOfByteOffset(std::string_view content, size_t offset, PositionEncoding encoding)
{
    offset = std::min(offset, content.size());
    if (encoding == PositionEncoding::Utf8) return static_cast<uint32_t>(offset);
    uint32_t units = 0;
    for (size_t i = 0; i < offset;) {
        size_t length = SequenceLength(static_cast<unsigned char>(content[i]));
        units += length == 4 ? 2 : 1;
        i += length;
    }
    return units;
}

bool ReplaceRange(TextDocument& document, TextPosition from, TextPosition to, std::string_view text,
                  PositionEncoding encoding)
{
    std::vector<std::string>& lines = document.lines;
    if (from.line >= lines.size() || to.line >= lines.size()) return false;
    if (to.line < from.line || (to.line == from.line && to.character < from.character)) std::swap(from, to);
    size_t first = from.line, last = to.line;
    size_t start = ByteOffsetOfCharacter(LineContent(lines[first]), from.character, encoding);
    size_t end = ByteOffsetOfCharacter(LineContent(lines[last]), to.character, encoding);
    std::string joined = lines[first].substr(0, start);
    joined.append(text);
    joined.append(lines[last], end);
    // A lone CR that ends the line above and an LF that now follows it are
    // one line end, as the client sees them.
    if (first > 0 && joined.starts_with('\n') && lines[first - 1].ends_with('\r')) {
        --first;
        joined.insert(0, lines[first]);
    }
    std::vector<std::string> replacement = SplitKeepingLineEnds(joined);
    // The text after the last line's end is the next line, already there.
    if (last + 1 < lines.size()) replacement.pop_back();
    auto at = lines.begin() + static_cast<std::ptrdiff_t>(first);
    size_t replaced = last - first + 1;
    size_t common = std::min(replaced, replacement.size());
    std::move(replacement.begin(), replacement.begin() + static_cast<std::ptrdiff_t>(common), at);
    if (replacement.size() > replaced)
        lines.insert(at + static_cast<std::ptrdiff_t>(common), std::make_move_iterator(replacement.begin() + static_cast<std::ptrdiff_t>(common)),
                     std::make_move_iterator(replacement.end()));
    else
        lines.erase(at + static_cast<std::ptrdiff_t>(common), at + static_cast<std::ptrdiff_t>(replaced));
    document.knownStates = std::min(document.knownStates, first + 1);
    return true;
}

}  // namespace recasor
