#pragma once
// What the batch tool needs from the operating system. Each platform folder
// (posix/, win32/) implements these; everything else in trx/ is
// portable.

#include <string>

// True when a directory search for `name` (wildcards allowed) finds a file
// or a directory.
bool FileExists(const std::string& name);

// Shows one message to the user and returns when it has been seen.
void ShowMessage(const std::string& text);

// The two signals that end a successful conversion.
void PlayCompletionSounds();
