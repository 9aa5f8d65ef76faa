#pragma once
// What the batch tool needs from the operating system. Each platform folder
// (posix/, win32/) implements these; everything else in trx/ is
// portable.

#include <optional>
#include <string>
#include <string_view>

// True when a directory search for `name` (wildcards allowed) finds a file
// or a directory.
bool FileExists(const std::string& name);

// Shows one message to the user and returns when it has been seen.
void ShowMessage(const std::string& text);

// The two signals that end a successful conversion.
void PlayCompletionSounds();

// The bytes of a plain file mapped into memory for the rest of the program
// (its pages come from the system's file cache, not new memory), or nullopt
// where the system or the file does not allow it; the caller then reads it.
// One file at most. Should the file be cut short while mapped, the pages
// past its new end read as zeros instead of ending the program, and
// MappedFileShrank() says so from then on.
std::optional<std::string_view> MapFileForReading(const std::string& name);
bool MappedFileShrank();
