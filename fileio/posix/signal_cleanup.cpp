#include "signal_cleanup.h"

#include <limits.h>
#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <mutex>

#include "output_file.h"

namespace {

constexpr int kCleanupSignals[] = {SIGTERM, SIGHUP, SIGINT, SIGPIPE};

struct CleanupSlot {
    std::atomic<bool> inUse{false};
    std::atomic<bool> armed{false};  // the name is complete and the file exists
    char name[PATH_MAX];
};

CleanupSlot slots[kMaxPendingOutputs];

void RemoveTemporaryFilesAndDie(int signalNumber)
{
    for (CleanupSlot& slot : slots)
        if (slot.armed.load(std::memory_order_acquire)) ::unlink(slot.name);
    // Delivered with the default action as soon as the handler returns.
    ::signal(signalNumber, SIG_DFL);
    ::raise(signalNumber);
}

void InstallHandlers()
{
    ::signal(SIGXFSZ, SIG_IGN);
    struct sigaction action = {};
    action.sa_handler = RemoveTemporaryFilesAndDie;
    ::sigemptyset(&action.sa_mask);
    for (int signalNumber : kCleanupSignals) ::sigaddset(&action.sa_mask, signalNumber);
    for (int signalNumber : kCleanupSignals) {
        struct sigaction previous = {};
        ::sigaction(signalNumber, nullptr, &previous);
        if (previous.sa_handler != SIG_IGN) ::sigaction(signalNumber, &action, nullptr);
    }
}

}  // namespace

void InstallSignalCleanup()
{
    static std::once_flag installed;
    std::call_once(installed, InstallHandlers);
}

CleanupSignalsBlocked::CleanupSignalsBlocked()
{
    sigset_t blocked;
    ::sigemptyset(&blocked);
    for (int signalNumber : kCleanupSignals) ::sigaddset(&blocked, signalNumber);
    ::pthread_sigmask(SIG_BLOCK, &blocked, &previous_);
}

CleanupSignalsBlocked::~CleanupSignalsBlocked() { ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }

int RegisterForCleanup(const std::string& name)
{
    if (name.size() >= PATH_MAX) return -1;
    for (int i = 0; i < kMaxPendingOutputs; ++i) {
        bool expected = false;
        if (!slots[i].inUse.compare_exchange_strong(expected, true)) continue;
        std::memcpy(slots[i].name, name.c_str(), name.size() + 1);
        slots[i].armed.store(true, std::memory_order_release);
        return i;
    }
    return -1;
}

void UnregisterFromCleanup(int slot)
{
    if (slot < 0) return;
    slots[slot].armed.store(false, std::memory_order_release);
    slots[slot].inUse.store(false, std::memory_order_release);
}
