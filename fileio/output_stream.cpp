#include "output_stream.h"

bool CloseOutputStream(PendingOutput& output)
{
    bool written = std::fflush(output.stream) == 0 && !std::ferror(output.stream);
    written = std::fclose(output.stream) == 0 && written;
    output.stream = nullptr;
    return written;
}
