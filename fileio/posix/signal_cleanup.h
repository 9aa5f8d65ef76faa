#pragma once
// The temporary files that a signal must remove before the process ends.
// Names live in fixed buffers, so that the handler needs nothing but
// unlink, signal and raise.

#include <signal.h>

#include <string>

// Installs the handlers (once per process): SIGXFSZ ignored; SIGTERM,
// SIGHUP, SIGINT and SIGPIPE remove the registered files, then end the
// process as the signal would. A signal ignored at start stays ignored.
void InstallSignalCleanup();

// Blocks the cleanup signals for the calling thread while a file is created
// or renamed, so that no signal falls between the file and its registration.
class CleanupSignalsBlocked {
public:
    CleanupSignalsBlocked();
    ~CleanupSignalsBlocked();
    CleanupSignalsBlocked(const CleanupSignalsBlocked&) = delete;
    CleanupSignalsBlocked& operator=(const CleanupSignalsBlocked&) = delete;

private:
    sigset_t previous_;
};

// Takes a free slot for `name`; -1 when all are taken or the name is too long.
int RegisterForCleanup(const std::string& name);
void UnregisterFromCleanup(int slot);
