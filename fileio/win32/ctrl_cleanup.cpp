#include "ctrl_cleanup.h"

#include <windows.h>

#include "output_file.h"

namespace {

SRWLOCK lock = SRWLOCK_INIT;
std::wstring slots[kMaxPendingOutputs];  // empty: free

BOOL WINAPI RemoveTemporaryFilesAndEnd(DWORD event)
{
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        // Never released: no other thread creates or renames a file again.
        AcquireSRWLockExclusive(&lock);
        for (const std::wstring& name : slots)
            if (!name.empty()) DeleteFileW(name.c_str());
        ExitProcess(STATUS_CONTROL_C_EXIT);
    }
    return FALSE;
}

BOOL CALLBACK InstallHandler(PINIT_ONCE, PVOID, PVOID*) { return SetConsoleCtrlHandler(RemoveTemporaryFilesAndEnd, TRUE); }

}  // namespace

void InstallCtrlCleanup()
{
    static INIT_ONCE once = INIT_ONCE_STATIC_INIT;
    InitOnceExecuteOnce(&once, InstallHandler, nullptr, nullptr);
}

CtrlCleanupLock::CtrlCleanupLock() { AcquireSRWLockExclusive(&lock); }
CtrlCleanupLock::~CtrlCleanupLock() { ReleaseSRWLockExclusive(&lock); }

int RegisterForCleanup(const std::wstring& name)
{
    for (int i = 0; i < kMaxPendingOutputs; ++i) {
        if (!slots[i].empty()) continue;
        slots[i] = name;
        return i;
    }
    return -1;
}

void UnregisterFromCleanup(int slot)
{
    if (slot >= 0) slots[slot].clear();
}
