#include "hostile_vocabulary.h"

#include <fstream>
#include <stdexcept>

namespace trx_bench {

namespace {

// The other four sections, empty, so that trx reports nothing.
const char kOtherSections[] =
    "<PowerBasicKeywords></PowerBasicKeywords>\r\n<ApiKeywords></ApiKeywords>\r\n"
    "<FreeBasicConstants></FreeBasicConstants>\r\n<PowerBasicConstants></PowerBasicConstants>\r\n";

void write_file(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

// Word number `n` of the colliding family: "Colli" + 4 variable letters in
// bytes 6, 7, 14 and 15 ("CollidXYSameHereZW" shape, 16 bytes).
std::string colliding_word(std::uint64_t n)
{
    std::string word = "CollidXXSamePaXX";
    const std::uint64_t letters = 23;  // a to w; x makes the near misses
    word[6] = static_cast<char>('a' + n % letters);
    word[7] = static_cast<char>('a' + n / letters % letters);
    word[14] = static_cast<char>('a' + n / (letters * letters) % letters);
    word[15] = static_cast<char>('a' + n / (letters * letters * letters) % letters);
    return word;
}

}  // namespace

std::uint64_t write_colliding_vocabulary(const std::string& directory, const std::string& source,
                                         std::uint64_t count, std::uint64_t source_bytes)
{
    std::string text = "<FreeBasicKeywords>\r\n";
    for (std::uint64_t n = 0; n < count; ++n) text += colliding_word(n) + "\r\n";
    text += "</FreeBasicKeywords>\r\n";
    text += kOtherSections;
    write_file(directory + "/Keywords.ini", text);

    std::string program;
    for (std::uint64_t n = 0; program.size() < source_bytes; n += 7919) {
        std::string word = colliding_word(n % count);
        std::string miss = word;
        miss[6] = 'x';  // outside the vocabulary
        for (char& c : word) c = static_cast<char>(c | 0x20);
        program += "    " + word + " = " + miss + " + " + word + "(1) ' " + miss + "\r\n";
    }
    write_file(directory + "/" + source, program);
    return text.size();
}

std::uint64_t write_duplicate_vocabulary(const std::string& directory, const std::string& source,
                                         std::uint64_t bytes)
{
    std::string words;
    for (int n = 0; n < 300; ++n) words += "Word" + std::to_string(n) + " Print Dim As Integer ";
    std::string text = "<FreeBasicKeywords>\r\n";
    while (text.size() < bytes) text += words + "\r\n";
    text += "</FreeBasicKeywords>\r\n";
    text += kOtherSections;
    write_file(directory + "/Keywords.ini", text);

    std::string program;
    for (int n = 0; n < 2000; ++n)
        program += "dim word" + std::to_string(n % 400) + " as integer : print word" + std::to_string(n) + "\r\n";
    write_file(directory + "/" + source, program);
    return text.size();
}

}  // namespace trx_bench
