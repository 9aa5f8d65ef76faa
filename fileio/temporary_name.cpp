#include "temporary_name.h"

#include <cerrno>

namespace {

constexpr int kNameAttempts = 100;

}  // namespace

std::string TemporaryName(const std::string& folder, std::uint64_t randomBits)
{
    static const char alphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    constexpr unsigned kLetters = sizeof alphabet - 1;
    std::string name = folder + "~";
    for (int i = 0; i < 6; ++i, randomBits /= kLetters) name += alphabet[randomBits % kLetters];
    return name + ".tmp";
}

int CreateTemporaryFile(const std::string& folder, const std::function<std::uint64_t()>& randomBits,
                        const std::function<int(const std::string& name)>& createNew, std::string& name)
{
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        name = TemporaryName(folder, randomBits());
        int fd = createNew(name);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}
