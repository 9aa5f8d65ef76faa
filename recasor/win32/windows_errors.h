#pragma once
// Short English reasons for Windows error codes, the same on every system
// language (the usual ones named here, the rest as Windows words them).

#include <windows.h>

#include <string>

namespace recasor {

std::string ErrorText(DWORD error);

}  // namespace recasor
