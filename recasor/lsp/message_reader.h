#pragma once
// Reading the messages of the language server protocol from a byte stream:
// a header block ("Content-Length: N", other fields ignored, an empty line)
// and then N bytes of JSON. A client that gets the framing wrong costs one
// message, not the connection: the reader finds the next header again.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace recasor {

// Reads up to `size` bytes into `buffer`; 0 at the end of the input.
using ByteSource = std::function<size_t(char* buffer, size_t size)>;

inline constexpr size_t kLargestMessage = 64u << 20;  // bytes of JSON
inline constexpr size_t kLargestHeader = 64u << 10;

struct MessageReader {
    ByteSource source;
    std::string pending;  // bytes read and not yet used
    size_t largestMessage = kLargestMessage;
};

enum class ReadOutcome {
    Message,     // `body` holds one message
    Refused,     // a message that cannot be taken, for `problem`; the next one may be
    EndOfInput,  // nothing more will come
};

struct ReadResult {
    ReadOutcome outcome;
    std::string body;
    std::string problem;
};

// The next message. A message larger than the reader's limit is skipped
// without being kept in memory.
ReadResult ReadMessage(MessageReader& reader);

// Puts bytes back in front of what comes next: the part of a body that
// turned out to be the next message (its length was stated too long).
void PutBack(MessageReader& reader, std::string_view bytes);

}  // namespace recasor
