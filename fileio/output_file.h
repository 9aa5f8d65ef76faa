#pragma once
// Writing a file so that no reader ever sees half of it and no failure
// leaves debris. The content goes to a temporary file in the target's folder
// and is renamed over the target only when it is complete.
//
// One interface for both uses:
//   - A new file NAME written from a source S (trx's NAME.bas):
//       BeginOutput(NAME, S.permissions, output)
//   - NAME rewritten in place (a formatter):
//       BeginOutput(NAME, source.permissions, output) with the SourceFile
//       that was opened for NAME itself.
// The rules are the same in both cases:
//   - When NAME does not exist, the new file takes the given permissions
//     (as `cp` does: the permission bits of S, less the umask, on POSIX; on
//     Windows the access list that the folder hands down).
//   - When NAME exists, the new file keeps NAME's own permissions (and, where
//     the system allows it, its owner and group; on Windows its attributes
//     and its security descriptor, through ReplaceFileW), whatever S has.
//   - An existing NAME that the user may not write (a read-only file, a
//     folder) is refused by BeginOutput and stays as it is.
//   - The temporary name is short ("~" + six characters + ".tmp"), so it
//     fits wherever NAME fits, however long NAME is.
//   - A symbolic link at NAME is replaced by the new file; the file it points
//     to is left alone. Callers that mean to rewrite the linked file pass its
//     resolved name.
//   - On every failure the temporary file is removed. On POSIX this holds for
//     signals as well: SIGXFSZ is ignored, so that a file size limit shows as
//     a write error; SIGTERM, SIGHUP, SIGINT and SIGPIPE remove every
//     temporary file still being written and then end the process as the
//     signal would have. Signals that were ignored at start stay ignored.
//     On Windows, Ctrl+C, Ctrl+Break and the closing of the console remove
//     them in the same way. The first BeginOutput installs these handlers.
//   - Windows names are given in the code page the program chose
//     (win32/wide_names.h) and reach the file system through the wide API,
//     with the "\\?\" prefix where an absolute name is too long otherwise.
// Several outputs may be pending at once, also from several threads (up to
// kMaxPendingOutputs); each PendingOutput belongs to one thread.

#include <cstdio>
#include <string>

#include "source_file.h"

inline constexpr int kMaxPendingOutputs = 64;

struct PendingOutput {
    std::FILE* stream = nullptr;  // binary writing; nullptr once finished or abandoned
    std::string targetName;
    std::string temporaryName;
    FilePermissions keep;  // what the platform layer still has to apply before the rename
    int cleanupSlot = -1;  // its place among the files that signals remove (POSIX)
};

// Creates the temporary file for `targetName`. False when the target may not
// be written, the folder refuses a new file or all slots are taken; nothing
// is left behind then.
bool BeginOutput(const std::string& targetName, const FilePermissions& newFilePermissions, PendingOutput& output);

// Closes the temporary file and renames it over the target. False when any
// write, the close or the rename failed; the temporary file is then gone and
// the target is as it was.
bool FinishOutput(PendingOutput& output);

// Closes and removes the temporary file; the target stays as it was. Does
// nothing for an output that is already finished or abandoned.
void AbandonOutput(PendingOutput& output);
