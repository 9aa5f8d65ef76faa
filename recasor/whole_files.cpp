// Reading and rewriting a source file whole, over the platform's reading
// and rewriting in pieces (see platform.h).

#include "file_stamp.h"
#include "platform.h"

namespace recasor {

bool ReadSourceFile(const std::string& name, std::string& content, std::string& reason)
{
    content.clear();
    content.reserve(ReadFileStamp(name).size);  // no copies as it grows
    return ReadSourceFileInPieces(name, [&](std::string_view piece) { return content.append(piece), true; }, reason);
}

bool RewriteFile(const std::string& name, const std::string& content, std::string& reason)
{
    return RewriteFileWith(name, [&](const PieceTaker& write, std::string&) { return write(content); }, reason);
}

}  // namespace recasor
