#pragma once
// What recasor needs from the operating system. Each platform folder
// (posix/, win32/) implements these; everything else in recasor/ is
// portable. Names are UTF-8 on Windows and bytes as the system has them on
// POSIX; the names passed in are absolute and normal (see path_text.h),
// except where a function says otherwise.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace recasor {

// --- Source files, through the shared fileio library: only ordinary files
// are read, opened once without waiting; a rewrite goes to a short-named
// temporary file beside the file and replaces it, keeps its permissions
// (POSIX) or its attributes and access list (Windows), refuses a
// write-protected file and leaves no debris, not even when the program is
// ended by a signal (POSIX) or by Ctrl+C, Ctrl+Break or the console
// closing (Windows).

// The whole content of an ordinary file. False, with the reason, when the
// name is no ordinary file or cannot be read.
bool ReadSourceFile(const std::string& name, std::string& content, std::string& reason);

// Takes the bytes to `take`, a piece at a time, or until it says false.
using PieceTaker = std::function<bool(std::string_view piece)>;

// The content of an ordinary file handed to `take` in pieces of up to
// kSourcePieceBytes, as ReadSourceFile reads it; `take` may stop the
// reading (that is no failure).
inline constexpr size_t kSourcePieceBytes = 1 << 20;
bool ReadSourceFileInPieces(const std::string& name, const PieceTaker& take, std::string& reason);

// Replaces the file's content. False, with the reason, when the file is
// write-protected, held by another program or the write fails; the file is
// then as it was. Safe to call from several threads at once.
bool RewriteFile(const std::string& name, const std::string& content, std::string& reason);

// The same with a content that `produce` writes through the taker it is
// given, in pieces; false from `produce` (with its reason) leaves the file
// as it was.
using ContentProducer = std::function<bool(const PieceTaker& write, std::string& reason)>;
bool RewriteFileWith(const std::string& name, const ContentProducer& produce, std::string& reason);

// All of standard input, as bytes, or false with the reason.
bool ReadStandardInput(std::string& content, std::string& reason);

// Up to `size` bytes of standard input, as soon as some are there; 0 at its
// end or on an error.
size_t ReadStandardInputSome(char* buffer, size_t size);

// A reader of standard output that goes away shows as a failed write, not
// as a signal that ends the program (the language server's client).
void KeepRunningWhenOutputCloses();

// Gives memory that the program freed back to the system, where the memory
// allocator keeps it otherwise (after a large message).
void ReturnFreedMemory();

// --- Standard streams. Output goes out byte for byte (no line-end
// translation); on a Windows console, text is shown through the console's
// own character set.

// False when standard output refuses the bytes.
bool WriteStandardOutput(const std::string& bytes);
void WriteStandardError(const std::string& text);
bool StandardInputIsTerminal();
bool StandardErrorIsTerminal();

// --- Places, folders and links.

std::string CurrentFolder();
// The folder that holds the running program; "" when it cannot be found.
std::string ProgramFolder();

struct PathState {
    bool exists = false;
    bool isFolder = false;  // links followed
    std::string problem;    // when it does not exist (or cannot be looked at): why
};
PathState LookAtPath(const std::string& name);

// True for an ordinary file (links followed).
bool IsOrdinaryFile(const std::string& name);

struct FolderEntry {
    std::string name;       // the entry's own name
    bool isFolder = false;  // links followed
    bool isLink = false;    // a symbolic link (on Windows any name surrogate: links, junctions)
};

// The entries of a folder in no particular order, or false with the reason.
bool ListFolder(const std::string& folder, std::vector<FolderEntry>& entries, std::string& reason);

// The file a name stands for once links are resolved, or the name itself
// when that fails (reading it will then tell why).
std::string ResolvedName(const std::string& name);

// True when `text` matches the wildcard `pattern` (* ? [...]). A pattern for
// a whole path (`isPath`) matches separators only with separators; a
// leading dot, of the text or after a separator, only with a dot. On
// Windows letter case does not matter, as in its file names.
bool MatchesPattern(const std::string& pattern, const std::string& text, bool isPath);

}  // namespace recasor
