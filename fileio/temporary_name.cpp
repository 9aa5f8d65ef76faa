#include "temporary_name.h"

std::string TemporaryName(const std::string& folder, std::uint64_t randomBits)
{
    static const char alphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    constexpr unsigned kLetters = sizeof alphabet - 1;
    std::string name = folder + "~";
    for (int i = 0; i < 6; ++i, randomBits /= kLetters) name += alphabet[randomBits % kLetters];
    return name + ".tmp";
}
