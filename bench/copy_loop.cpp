// copy_loop SOURCE TARGET: the plain C read/write loop with a 1 MiB buffer,
// the floor any tool that reads a file and writes another one stands on.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: copy_loop SOURCE TARGET\n");
        return 2;
    }
    int in = open(argv[1], O_RDONLY);
    int out = open(argv[2], O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (in < 0 || out < 0) return 1;
    static char buffer[1 << 20];
    for (;;) {
        ssize_t got = read(in, buffer, sizeof buffer);
        if (got < 0) return 1;
        if (got == 0) break;
        for (ssize_t done = 0; done < got;) {
            ssize_t put = write(out, buffer + done, static_cast<size_t>(got - done));
            if (put < 0) return 1;
            done += put;
        }
    }
    return close(out) == 0 ? 0 : 1;
}
