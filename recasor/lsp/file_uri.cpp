#include "file_uri.h"

#include "ascii.h"

namespace recasor {

namespace {

int HexValue(char c)
{
    c = AsciiLower(c);
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool IsLetter(char c) { return AsciiLower(c) >= 'a' && AsciiLower(c) <= 'z'; }

}  // namespace

std::string PathOfFileUri(std::string_view uri)
{
    constexpr std::string_view kScheme = "file://";
    if (uri.size() < kScheme.size()) return "";
    std::string scheme(uri.substr(0, kScheme.size()));
    for (char& c : scheme) c = AsciiLower(c);
    if (scheme != kScheme) return "";
    uri.remove_prefix(kScheme.size());
    if (uri.starts_with("localhost/")) uri.remove_prefix(std::string_view("localhost").size());
    // Any other host is a Windows share: "file://server/share/x.bas" is "//server/share/x.bas".
    std::string path = uri.starts_with("/") ? "" : "//";
    for (size_t i = 0; i < uri.size(); ++i) {
        if (uri[i] == '?' || uri[i] == '#') break;
        int high = uri[i] == '%' && i + 2 < uri.size() ? HexValue(uri[i + 1]) : -1;
        int low = high >= 0 ? HexValue(uri[i + 2]) : -1;
        if (low >= 0) {
            path.push_back(static_cast<char>(high * 16 + low));
            i += 2;
        } else {
            path.push_back(uri[i]);
        }
    }
    // A drive letter: "/c:/src" is the Windows path "c:/src".
    if (path.size() >= 3 && path[0] == '/' && IsLetter(path[1]) && path[2] == ':') path.erase(0, 1);
    return path;
}

}  // namespace recasor
