#include "code_marks.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "bit_arithmetic.h"
#include "source_model_scan.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace recasor {

namespace {

using source_scan::IsBlank;
using source_scan::IsLineEnd;
using source_scan::IsWordByte;
using source_scan::Text;
using source_scan::WordAt;

// One bit per byte of a 64-byte block, for each class the marking needs.
struct Classes {
    uint64_t lf = 0;
    uint64_t cr = 0;
    uint64_t quote = 0;
    uint64_t apostrophe = 0;
    uint64_t blank = 0;       // space or tab
    uint64_t rare = 0;        // / \ :: bytes that may start what the bits cannot follow
    uint64_t prefix = 0;      // ! and $, which may start a string
    uint64_t underscore = 0;  // _, which may continue a line
    uint64_t alphanumeric = 0;  // letters, digits and _: before a _, no continuation
    uint64_t statement = 0;   // r d o (either case), digits and #: what REM, DATA, OPTION, line numbers and directives start with
};

bool IsRare(char c) { return c == '/' || c == '\\' || c == ':'; }
bool IsAlphanumeric(char c)
{
    char lower = AsciiLower(c);
    return (lower >= 'a' && lower <= 'z') || (c >= '0' && c <= '9') || c == '_';
}
bool IsStatementLetter(char c)
{
    char lower = AsciiLower(c);
    return lower == 'r' || lower == 'd' || lower == 'o' || (c >= '0' && c <= '9') || c == '#';
}

Classes ClassifyBytes(const char* at, size_t count)
{
    Classes bits;
    for (size_t i = 0; i < count; ++i) {
        char c = at[i];
        uint64_t bit = uint64_t{1} << i;
        bits.lf |= c == '\n' ? bit : 0;
        bits.cr |= c == '\r' ? bit : 0;
        bits.quote |= c == '"' ? bit : 0;
        bits.apostrophe |= c == '\'' ? bit : 0;
        bits.blank |= IsBlank(c) ? bit : 0;
        bits.rare |= IsRare(c) ? bit : 0;
        bits.prefix |= c == '!' || c == '$' ? bit : 0;
        bits.underscore |= c == '_' ? bit : 0;
        bits.alphanumeric |= IsAlphanumeric(c) ? bit : 0;
        bits.statement |= IsStatementLetter(c) ? bit : 0;
    }
    return bits;
}

#if defined(__SSE2__)
inline uint64_t MaskOf(__m128i bytes) { return static_cast<uint32_t>(_mm_movemask_epi8(bytes)); }
inline __m128i Is(__m128i bytes, char c) { return _mm_cmpeq_epi8(bytes, _mm_set1_epi8(c)); }

Classes Classify(const char* at)
{
    Classes bits;
    for (int k = 0; k < 4; ++k) {
        __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 16 * k));
        __m128i folded = _mm_or_si128(bytes, _mm_set1_epi8(0x20));
        __m128i rare = _mm_or_si128(_mm_or_si128(Is(bytes, '/'), Is(bytes, '\\')), Is(bytes, ':'));
        __m128i digit = _mm_cmplt_epi8(_mm_sub_epi8(bytes, _mm_set1_epi8(static_cast<char>('0' + 128))),
                                       _mm_set1_epi8(static_cast<char>(10 - 128)));
        __m128i letter = _mm_cmplt_epi8(_mm_sub_epi8(folded, _mm_set1_epi8(static_cast<char>('a' + 128))),
                                        _mm_set1_epi8(static_cast<char>(26 - 128)));
        __m128i underscore = Is(bytes, '_');
        __m128i statement = _mm_or_si128(_mm_or_si128(_mm_or_si128(Is(folded, 'r'), Is(folded, 'd')), Is(bytes, '#')),
                                         _mm_or_si128(Is(folded, 'o'), digit));
        int shift = 16 * k;
        bits.lf |= MaskOf(Is(bytes, '\n')) << shift;
        bits.cr |= MaskOf(Is(bytes, '\r')) << shift;
        bits.quote |= MaskOf(Is(bytes, '"')) << shift;
        bits.apostrophe |= MaskOf(Is(bytes, '\'')) << shift;
        bits.blank |= MaskOf(_mm_or_si128(Is(bytes, ' '), Is(bytes, '\t'))) << shift;
        bits.rare |= MaskOf(rare) << shift;
        bits.prefix |= MaskOf(_mm_or_si128(Is(bytes, '!'), Is(bytes, '$'))) << shift;
        bits.underscore |= MaskOf(underscore) << shift;
        bits.alphanumeric |= MaskOf(_mm_or_si128(_mm_or_si128(letter, digit), underscore)) << shift;
        bits.statement |= MaskOf(statement) << shift;
    }
    return bits;
}
#else
Classes Classify(const char* at) { return ClassifyBytes(at, 64); }
#endif

// What one block hands on to the next.
struct Carries {
    uint64_t inString = 0;     // all ones when the byte before the block is inside a string
    uint64_t fill = 0;         // the carry of the comment fill
    uint64_t blankCarry = 0;   // the carry of the search for each line's first non-blank byte
    uint64_t lfBefore = 0;     // 1 when the byte before the block is an LF ...
    uint64_t crBefore = 0;     // ... a CR
    uint64_t codeBefore = 0;   // ... code
    uint64_t alphanumericBefore = 0;  // ... a letter, digit or _
};

// The statement words that the bits cannot follow: REM, DATA, a line
// number, and in FreeBASIC #include, #pragma and OPTION ESCAPE.
bool StatementNeedsModel(const Text& text, size_t at, const SourceRules& rules)
{
    char c = text.At(at);
    if (c >= '0' && c <= '9') return true;
    if (WordAt(text, at, "rem") || WordAt(text, at, "data")) return true;
    if (rules.dialect != Dialect::FreeBasic) return false;
    return (c == '#' && (WordAt(text, at + 1, "include") || WordAt(text, at + 1, "pragma"))) ||
           (WordAt(text, at, "option") && WordAt(text, source_scan::SkipBlanks(text, at + 6), "escape"));
}

// Whether the byte at `at` makes its line one for the model. The bits lead
// here with the rare bytes of code or strings, with a line's first non-blank
// byte where that may start a statement word, and with the end of a line
// that ends inside a string.
bool NeedsModel(const Text& text, size_t at, const SourceRules& rules, const SourceState& state)
{
    const char* bytes = text.bytes;
    bool freeBasic = rules.dialect == Dialect::FreeBasic;
    // No word before: at a line's start the byte before is a line end.
    auto noWordBefore = [&] { return at == 0 || !IsWordByte(bytes[at - 1]); };
    switch (char c = bytes[at]) {
        case '\n':
        case '\r': return true;
        case '_': return noWordBefore() && !IsWordByte(text.At(at + 1));
        case '/': return freeBasic && text.At(at + 1) == '\'';
        case '!':
        case '$': return freeBasic && text.At(at + 1) == '"' && noWordBefore();
        case '\\': return freeBasic && state.escapeByDefault;
        case ':': return StatementNeedsModel(text, source_scan::SkipBlanks(text, at + 1), rules);
        default: return (c == '#' || IsStatementLetter(c)) && StatementNeedsModel(text, at, rules);
    }
}

// Clears bits [from, to].
void ClearBits(uint64_t* bits, size_t from, size_t to)
{
    size_t first = from / 64, last = to / 64;
    uint64_t low = ~uint64_t{0} << (from % 64);           // from on, in the first word
    uint64_t high = ~uint64_t{0} >> (63 - to % 64);       // up to `to`, in the last word
    if (first == last) {
        bits[first] &= ~(low & high);
        return;
    }
    bits[first] &= ~low;
    for (size_t word = first + 1; word < last; ++word) bits[word] = 0;
    bits[last] &= ~high;
}

// MarkCode, with the backslashes in strings among the candidates or not:
// they matter only once Option Escape is on.
void MarkCodeWith(const char* text, size_t size, size_t readable, const SourceRules& rules, SourceState& state,
                  LineMarks& marks, std::vector<LineSpan>& fixedWords, bool backslashes)
{
    const size_t blocks = size / 64 + 1;
    marks.textEnd = size;
    marks.blockCount = blocks;
    marks.allEndInCrLf = false;
    PrepareLineMarks(marks, blocks, false);
    // The bits that may need the model, found with the code bits; the
    // otherEnds bitmap, which the engine does not read, holds them.
    uint64_t* candidates = marks.otherEnds;

    Carries carry;
    for (size_t block = 0; block < blocks; ++block) {
        size_t base = block * 64;
        Classes c = base + 64 <= readable ? Classify(text + base) : ClassifyBytes(text + base, readable - base);
        uint64_t valid = base + 64 <= size ? ~uint64_t{0} : (uint64_t{1} << (size - base)) - 1;
        uint64_t lineEnd = (c.lf | c.cr) & valid;
        // Where each line's text ends: a CR, or an LF without a CR before it.
        uint64_t ends = (c.cr | (c.lf & ~((c.cr << 1) | carry.crBefore))) & valid;
        // Where lines start: after an LF, or after a CR that no LF follows.
        uint64_t starts = (((c.lf << 1) | carry.lfBefore) | (((c.cr << 1) | carry.crBefore) & ~c.lf)) & valid;
        if (block == 0) starts |= 1 & valid;
        carry.lfBefore = c.lf >> 63;
        carry.crBefore = c.cr >> 63;
        uint64_t content = valid & ~lineEnd;

        // Strings: an odd number of quotes so far in the line; a line that
        // ends inside one is flipped back at its end (and left to the model).
        uint64_t stringBefore = carry.inString & 1;
        uint64_t inString = PrefixXor(c.quote & content) ^ carry.inString;
        uint64_t unclosed = 0;
        for (uint64_t odd = ((inString << 1) | stringBefore) & ends; odd != 0;) {
            size_t at = LowestBit(odd);
            unclosed |= uint64_t{1} << at;
            inString ^= ~uint64_t{0} << at;
            odd = ((inString << 1) | stringBefore) & ends & (~uint64_t{1} << at);
        }
        carry.inString = 0 - (inString >> 63);

        // Comments run from an apostrophe outside a string to the line end.
        uint64_t commentStarts = c.apostrophe & ~inString & content;
        uint64_t notEnd = ~ends;
        uint64_t comment = commentStarts | (AddWithCarry(notEnd, commentStarts, carry.fill) ^ notEnd ^ commentStarts);
        uint64_t code = content & ~(inString | c.quote) & ~comment;

        // Each line's first non-blank byte: the carry of the blanks plus the
        // line starts among them stops there.
        uint64_t leading = starts & c.blank;
        uint64_t blankCarries = AddWithCarry(c.blank, leading, carry.blankCarry) ^ c.blank ^ leading;
        uint64_t firstNonBlank = ((starts & ~c.blank) | blankCarries) & ~c.blank & content;

        // A ! or $ right before a quote may start a string; a _ after no
        // letter, digit or _ may continue the line.
        uint64_t quoteNext = (c.quote >> 1) | (uint64_t{base + 64 < readable && text[base + 64] == '"'} << 63);
        uint64_t lonelyUnderscore = c.underscore & ~((c.alphanumeric << 1) | carry.alphanumericBefore);
        carry.alphanumericBefore = c.alphanumeric >> 63;
        uint64_t maybe = unclosed | (firstNonBlank & (c.statement | c.rare)) |
                         ((c.rare | (c.prefix & quoteNext) | lonelyUnderscore) & code);
        if (backslashes) maybe |= c.rare & inString;
        candidates[block] = maybe;

        uint64_t codeBefore = (code << 1) | carry.codeBefore;
        marks.starts[block] = code & ~codeBefore;
        marks.ends[block] = ~code & codeBefore;
        carry.codeBefore = code >> 63;
    }

    // The lines the bits cannot follow, in order, read by the model; a state
    // handed on to the next line makes that one such a line as well.
    const Text whole{text, size, readable};
    size_t done = 0;  // the lines before this have been seen to
    auto readLines = [&](size_t lineStart) {
        for (;;) {
            size_t lineEnd = whole.LineEnd(lineStart);
            ClearBits(marks.starts, lineStart, lineEnd);
            ClearBits(marks.ends, lineStart, lineEnd);
            source_scan::ScanText(
                Text{text + lineStart, lineEnd - lineStart, readable - lineStart}, rules, state,
                [&](size_t start, size_t length, RegionKind kind) {
                    if (kind == RegionKind::Code) {
                        SetBit(marks.starts, lineStart + start);
                        SetBit(marks.ends, lineStart + start + length);
                    } else if (kind == RegionKind::FixedWord) {
                        fixedWords.push_back({lineStart + start, length});
                    }
                },
                [](size_t, size_t) {});
            done = lineEnd == size ? size : lineEnd + (text[lineEnd] == '\r' && lineEnd + 1 < size && text[lineEnd + 1] == '\n' ? 2 : 1);
            if (done >= size || (state.blockDepth == 0 && !state.continued)) return;
            lineStart = done;
        }
    };
    if (state.blockDepth > 0 || state.continued) readLines(0);
    for (size_t word = 0; word < blocks; ++word) {
        for (uint64_t bits = candidates[word]; bits != 0; bits &= bits - 1) {
            size_t at = word * 64 + LowestBit(bits);
            if (at < done || !NeedsModel(whole, at, rules, state)) continue;
            // The line starts after the last line end before `at`.
            size_t lineStart = IsLineEnd(text[at]) ? at : at + 1;
            while (lineStart > done && !IsLineEnd(text[lineStart - 1])) --lineStart;
            readLines(lineStart);
        }
    }
}

}  // namespace

void MarkCode(const char* text, size_t size, size_t readable, const SourceRules& rules, SourceState& state,
              LineMarks& marks, std::vector<LineSpan>& fixedWords)
{
    bool escapedBefore = state.escapeByDefault;
    SourceState start = state;
    MarkCodeWith(text, size, readable, rules, state, marks, fixedWords, escapedBefore);
    if (escapedBefore || !state.escapeByDefault) return;
    // Option Escape came in this text: once more, with the backslashes.
    state = start;
    fixedWords.clear();
    MarkCodeWith(text, size, readable, rules, state, marks, fixedWords, true);
}

}  // namespace recasor
