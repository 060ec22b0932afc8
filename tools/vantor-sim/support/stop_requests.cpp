#include "support/stop_requests.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

#if defined(_WIN32)
#include <windows.h>
#else
#include <csignal>
#endif

namespace vantor::sim {

namespace {

// Both are read in a signal handler, so they must be lock-free.
std::atomic<int> unwinding{0};  // how many UnwindOnStop live
std::atomic<int> stopSignal{0}; // the signal, or on Windows the console event plus 1; 0: none
static_assert(std::atomic<int>::is_always_lock_free);

#if defined(_WIN32)

BOOL WINAPI onConsoleEvent(DWORD event) {
    if (unwinding.load() == 0 || stopSignal.exchange(static_cast<int>(event) + 1) != 0) {
        return FALSE; // the default: the process ends
    }
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) {
        return TRUE;
    }
    // The window closes, or the session ends: the process ends when this returns, and the
    // system allows it about 5 s.
    for (int waited = 0; waited < 400 && unwinding.load() > 0; ++waited) {
        Sleep(10);
    }
    return FALSE;
}

#else

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void onStopSignal(int signal) {
    stopSignal.store(signal);
    // SA_RESETHAND has put the default back: raised again, the signal ends the process once
    // this handler returns.
    if (unwinding.load() == 0) {
        std::raise(signal);
    }
}

#endif

} // namespace

void catchStopSignals() {
#if defined(_WIN32)
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
#else
    for (const int signal : kStopSignals) {
        struct sigaction action = {};
        // A signal the bench was started to ignore (nohup, a background job) stays ignored.
        if (sigaction(signal, nullptr, &action) != 0 || action.sa_handler == SIG_IGN) {
            continue;
        }
        action.sa_handler = onStopSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESETHAND;
        sigaction(signal, &action, nullptr);
    }
#endif
}

bool stopRequested() {
    return stopSignal.load(std::memory_order_relaxed) != 0;
}

void endAsStopped() {
    std::fflush(stdout);
    std::fflush(stderr);
#if defined(_WIN32)
    // What a console program that Ctrl-C ends exits with.
    ExitProcess(STATUS_CONTROL_C_EXIT);
#else
    const int signal = stopSignal.load();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    std::_Exit(128 + signal);
#endif
}

UnwindOnStop::UnwindOnStop() {
    unwinding.fetch_add(1);
}

UnwindOnStop::~UnwindOnStop() {
    unwinding.fetch_sub(1);
}

} // namespace vantor::sim
