#include "wildcard_match.h"

namespace recasor {

namespace {

struct Matcher {
    std::string_view pattern;
    std::string_view text;
    std::string_view separators;
    bool wholePath;

    bool IsSeparator(char c) const { return separators.find(c) != std::string_view::npos; }

    // The code point of the UTF-8 sequence at `at` and its length (a byte that
    // starts no sequence stands for itself).
    static char32_t CodePoint(std::string_view s, size_t at, size_t& length)
    {
        unsigned char lead = static_cast<unsigned char>(s[at]);
        length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        if (at + length > s.size()) length = 1;
        if (length == 1) return lead;
        char32_t value = lead & (0x3F >> (length - 1));
        for (size_t i = 1; i < length; ++i) value = value << 6 | (static_cast<unsigned char>(s[at + i]) & 0x3F);
        return value;
    }

    // A dot that only a dot in the pattern may match.
    bool IsGuardedDot(size_t t) const
    {
        return text[t] == '.' && (t == 0 || (wholePath && IsSeparator(text[t - 1])));
    }

    // The set at pattern[p] ("[" included): whether it holds `c`, and where
    // the pattern goes on. False when the "[" opens no set.
    bool ReadSet(size_t p, char32_t c, bool& holds, size_t& next) const
    {
        size_t at = p + 1;
        bool negated = at < pattern.size() && (pattern[at] == '!' || pattern[at] == '^');
        if (negated) ++at;
        bool found = false;
        bool first = true;
        while (at < pattern.size() && (first || pattern[at] != ']')) {
            first = false;
            size_t length;
            char32_t low = CodePoint(pattern, at, length);
            at += length;
            char32_t high = low;
            if (at + 1 < pattern.size() && pattern[at] == '-' && pattern[at + 1] != ']') {
                high = CodePoint(pattern, at + 1, length);
                at += 1 + length;
            }
            found = found || (low <= c && c <= high);
        }
        if (at >= pattern.size()) return false;
        holds = found != negated;
        next = at + 1;
        return true;
    }

    bool Match(size_t p, size_t t) const
    {
        while (p < pattern.size()) {
            char c = pattern[p];
            if (c == '*') {
                while (p < pattern.size() && pattern[p] == '*') ++p;
                if (t < text.size() && IsGuardedDot(t)) return false;
                for (size_t end = t;; ++end) {
                    if (Match(p, end)) return true;
                    if (end == text.size() || (wholePath && IsSeparator(text[end]))) return false;
                }
            }
            if (t == text.size()) return false;
            if (IsSeparator(c)) {
                if (!IsSeparator(text[t])) return false;
                ++p, ++t;
                continue;
            }
            size_t length;
            char32_t character = CodePoint(text, t, length);
            bool special = c == '?' || c == '[';
            if (special && ((wholePath && IsSeparator(text[t])) || IsGuardedDot(t))) return false;
            bool holds;
            size_t next;
            if (c == '?') {
                ++p;
            } else if (c == '[' && ReadSet(p, character, holds, next)) {
                if (!holds) return false;
                p = next;
            } else {
                size_t patternLength;
                if (CodePoint(pattern, p, patternLength) != character || patternLength != length) return false;
                p += patternLength;
            }
            t += length;
        }
        return t == text.size();
    }
};

}  // namespace

bool WildcardMatch(std::string_view pattern, std::string_view text, std::string_view separators, bool wholePath)
{
    return Matcher{pattern, text, separators, wholePath}.Match(0, 0);
}

}  // namespace recasor
