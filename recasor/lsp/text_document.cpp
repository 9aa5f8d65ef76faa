#include "text_document.h"

#include <algorithm>
#include <cstring>

namespace recasor {

namespace {

constexpr size_t kSmallestGap = 4096;

size_t TextSize(const TextDocument& document) { return document.buffer.size() - (document.gapEnd - document.gapStart); }

// The text's byte at `offset`, or 0 past its end.
char ByteAt(const TextDocument& document, size_t offset)
{
    if (offset >= TextSize(document)) return 0;
    return document.buffer[offset < document.gapStart ? offset : offset + document.gapEnd - document.gapStart];
}

// Whether a line starts at `offset`: after an LF, or after a CR that no LF follows.
bool LineStartsAt(const TextDocument& document, size_t offset)
{
    if (offset == 0) return true;
    char before = ByteAt(document, offset - 1);
    return before == '\n' || (before == '\r' && ByteAt(document, offset) != '\n');
}

// Puts the gap at `offset` of the text.
void MoveGap(TextDocument& document, size_t offset)
{
    char* data = document.buffer.data();
    if (offset < document.gapStart) {
        size_t moved = document.gapStart - offset;
        std::memmove(data + document.gapEnd - moved, data + offset, moved);
        document.gapStart -= moved;
        document.gapEnd -= moved;
    } else if (offset > document.gapStart) {
        size_t moved = offset - document.gapStart;
        std::memmove(data + document.gapStart, data + document.gapEnd, moved);
        document.gapStart += moved;
        document.gapEnd += moved;
    }
}

// Makes the gap at least `size` bytes long.
void WidenGap(TextDocument& document, size_t size)
{
    size_t gap = document.gapEnd - document.gapStart;
    if (gap >= size) return;
    size_t added = std::max({size - gap, kSmallestGap, TextSize(document) / 8});
    document.buffer.insert(document.gapEnd, added, '\0');
    document.gapEnd += added;
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

size_t LineContentEnd(const TextDocument& document, size_t line)
{
    if (line + 1 == document.lineStarts.size()) return TextSize(document);
    size_t next = document.lineStarts[line + 1];
    return next - (next >= 2 && ByteAt(document, next - 2) == '\r' && ByteAt(document, next - 1) == '\n' ? 2 : 1);
}

std::string TextBetween(const TextDocument& document, size_t from, size_t to)
{
    std::string text;
    text.reserve(to - from);
    size_t gap = document.gapEnd - document.gapStart;
    if (from < document.gapStart) text.append(document.buffer, from, std::min(to, document.gapStart) - from);
    if (to > document.gapStart) {
        size_t start = std::max(from, document.gapStart);
        text.append(document.buffer, start + gap, to - start);
    }
    return text;
}

TextDocument MakeTextDocument(std::string uri, std::string languageId, std::string_view text)
{
    TextDocument document;
    document.uri = std::move(uri);
    document.languageId = std::move(languageId);
    document.buffer.reserve(text.size() + kSmallestGap);
    document.buffer.assign(text);
    document.gapStart = document.gapEnd = text.size();
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')))
            document.lineStarts.push_back(i + 1);
    return document;
}

std::string DocumentText(const TextDocument& document) { return TextBetween(document, 0, TextSize(document)); }

std::string_view LineContent(TextDocument& document, size_t line)
{
    size_t start = document.lineStarts[line], end = LineContentEnd(document, line);
    if (start < document.gapStart && document.gapStart < end) MoveGap(document, end);
    size_t physical = start < document.gapStart ? start : start + document.gapEnd - document.gapStart;
    return std::string_view(document.buffer).substr(physical, end - start);
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
    if (from.line >= LineCount(document) || to.line >= LineCount(document)) return false;
    if (to.line < from.line || (to.line == from.line && to.character < from.character)) std::swap(from, to);
    size_t start = document.lineStarts[from.line] +
                   ByteOffsetOfCharacter(LineContent(document, from.line), from.character, encoding);
    size_t end = document.lineStarts[to.line] +
                 ByteOffsetOfCharacter(LineContent(document, to.line), to.character, encoding);
    end = std::max(start, end);

    MoveGap(document, end);
    document.gapStart = start;  // the replaced bytes join the gap
    WidenGap(document, text.size());
    text.copy(document.buffer.data() + document.gapStart, text.size());
    document.gapStart += text.size();

    // Only the line starts next to the new bytes can have changed; those
    // after them moved with them.
    std::vector<size_t>& starts = document.lineStarts;
    auto first = std::lower_bound(starts.begin(), starts.end(), start);
    auto last = std::upper_bound(first, starts.end(), end);
    std::vector<size_t> found;
    for (size_t offset = start; offset <= start + text.size(); ++offset)
        if (LineStartsAt(document, offset)) found.push_back(offset);
    size_t firstIndex = static_cast<size_t>(first - starts.begin());
    auto after = starts.erase(first, last);
    after = starts.insert(after, found.begin(), found.end()) + static_cast<std::ptrdiff_t>(found.size());
    for (; after != starts.end(); ++after) *after = *after + text.size() - (end - start);
    ++document.changes;
    document.knownStates = std::min(document.knownStates, std::max<size_t>(firstIndex, 1));
    return true;
}

}  // namespace recasor
