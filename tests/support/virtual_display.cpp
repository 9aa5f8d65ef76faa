#include "virtual_display.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

VirtualDisplay StartVirtualDisplay()
{
    VirtualDisplay display;
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return display;
    std::string fd = std::to_string(pipeFds[1]);
    display.server = ::fork();
    if (display.server == 0) {
        ::close(pipeFds[0]);
        ::setpgid(0, 0);
        std::freopen("/dev/null", "w", stderr);
        ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset",
                 static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    // Xvfb writes the number and the line end separately; read up to the
    // line end, or it fails writing into a closed pipe.
    std::string number;
    char c;
    while (::read(pipeFds[0], &c, 1) == 1 && c != '\n') number += c;
    ::close(pipeFds[0]);
    if (!number.empty()) display.name = ":" + number;
    return display;
}

void StopVirtualDisplay(VirtualDisplay& display)
{
    if (display.server > 0) {
        ::kill(display.server, SIGTERM);
        ::waitpid(display.server, nullptr, 0);
    }
    display = VirtualDisplay{};
}
