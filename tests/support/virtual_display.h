#pragma once
// A virtual X display (Xvfb) for tests that need real windows.

#include <sys/types.h>

#include <string>

struct VirtualDisplay {
    pid_t server = -1;
    std::string name;  // ":N"; empty when Xvfb did not start
};

// Starts Xvfb on a display number that it picks itself.
VirtualDisplay StartVirtualDisplay();
void StopVirtualDisplay(VirtualDisplay& display);
