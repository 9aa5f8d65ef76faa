#pragma once
// The temporary files that Ctrl+C, Ctrl+Break, the closing console, a log
// off or a shut-down must remove before the process ends (a console
// program's counterpart of POSIX's signal cleanup). Windows runs the
// console's control handler on a thread of its own: it takes the lock that
// every creation and rename of a temporary file holds, removes the files
// still registered and ends the process with STATUS_CONTROL_C_EXIT, as
// Ctrl+C would. A GUI program (TRX) never gets these events.

#include <string>

// Installs the handler, once per process.
void InstallCtrlCleanup();

// Held while a temporary file is created and registered, or renamed and
// unregistered, so that the handler never runs between the two.
class CtrlCleanupLock {
public:
    CtrlCleanupLock();
    ~CtrlCleanupLock();
    CtrlCleanupLock(const CtrlCleanupLock&) = delete;
    CtrlCleanupLock& operator=(const CtrlCleanupLock&) = delete;
};

// Takes a free slot for `name` (call under the lock); -1 when all are taken.
int RegisterForCleanup(const std::wstring& name);
void UnregisterFromCleanup(int slot);
