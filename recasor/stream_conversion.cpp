#include "stream_conversion.h"

#include "line_splitter.h"

namespace recasor {

namespace {

constexpr size_t kSpareBytes = 64;  // the engine reads whole 64-byte blocks

// Converts pending[0, size) and hands it on.
bool ConvertBlock(StreamConversion& conversion, size_t size, const ConvertedBlock& block)
{
    std::string& work = conversion.work;
    work.assign(conversion.pending, 0, size);
    work.append(kSpareBytes, ' ');
    ConvertLinesInPlace(work.data(), size, work.size(), conversion.rules, conversion.state,
                        conversion.names ? &*conversion.names : nullptr);
    bool goOn = block(std::string_view(conversion.pending).substr(0, size), std::string_view(work).substr(0, size));
    conversion.pending.erase(0, size);
    conversion.stopped = !goOn;
    return goOn;
}

// Hands a byte order mark at the text's start on as it is.
bool PassByteOrderMark(StreamConversion& conversion, const ConvertedBlock& block, bool atEnd)
{
    if (conversion.started) return true;
    std::string_view pending = conversion.pending;
    if (!atEnd && pending.size() < kUtf8ByteOrderMark.size() && kUtf8ByteOrderMark.starts_with(pending)) return false;
    conversion.started = true;
    if (!pending.starts_with(kUtf8ByteOrderMark)) return true;
    bool goOn = block(kUtf8ByteOrderMark, kUtf8ByteOrderMark);
    conversion.pending.erase(0, kUtf8ByteOrderMark.size());
    if (conversion.names) conversion.names->base += kUtf8ByteOrderMark.size();
    conversion.stopped = !goOn;
    return true;
}

}  // namespace

StreamConversion StartStreamConversion(const ConversionRules& rules, const FileSpellings* names, size_t blockBytes)
{
    StreamConversion conversion{rules, std::nullopt, blockBytes, {}, {}, {}, false, false};
    if (names != nullptr) conversion.names.emplace(DeclaredNames{*names, 0, {}});
    return conversion;
}

bool TakePiece(StreamConversion& conversion, std::string_view piece, const ConvertedBlock& block)
{
    if (conversion.stopped) return false;
    conversion.pending.append(piece);
    if (!PassByteOrderMark(conversion, block, false) || conversion.stopped) return !conversion.stopped;
    if (conversion.pending.size() < conversion.blockBytes) return true;
    // Up to the last line end; a CR at the end may be the first half of a CR LF.
    size_t end = conversion.pending.find_last_of("\r\n");
    if (end != std::string::npos && conversion.pending[end] == '\r' && end + 1 == conversion.pending.size())
        end = end == 0 ? std::string::npos : conversion.pending.find_last_of("\r\n", end - 1);
    if (end == std::string::npos) return true;  // a line longer than a block: wait for its end
    return ConvertBlock(conversion, end + 1, block);
}

bool FinishStreamConversion(StreamConversion& conversion, const ConvertedBlock& block)
{
    if (conversion.stopped) return false;
    PassByteOrderMark(conversion, block, true);
    if (conversion.stopped) return false;
    return conversion.pending.empty() || ConvertBlock(conversion, conversion.pending.size(), block);
}

}  // namespace recasor
