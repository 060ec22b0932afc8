// Ctrl-C, SIGTERM, SIGHUP and a closing console window end the bench as a normal end does: the
// runs stop between frames and unwind, and the temporary folders with their library copies go
// with them. While no such folder exists, they end the bench at once, as any program; so does a
// second Ctrl-C.
#pragma once

namespace vantor::sim {

// Thrown between frames once a stop is asked for. Deliberately no std::exception, so that the
// handlers that turn a scenario's error into a result let it pass.
struct StopRequested {};

// Installs the handlers; main calls it once, before anything runs.
void catchStopSignals();

bool stopRequested();

// Throws StopRequested once a stop is asked for.
inline void stopIfRequested() {
    if (stopRequested()) {
        throw StopRequested{};
    }
}

// Ends the process as the signal would have ended it, once everything has unwound.
[[noreturn]] void endAsStopped();

// While one lives, a stop signal waits for the runs to unwind instead of ending the bench at
// once: each temporary folder holds one from before it is made until after it is gone.
class UnwindOnStop {
  public:
    UnwindOnStop();
    ~UnwindOnStop();
    UnwindOnStop(const UnwindOnStop&) = delete;
    UnwindOnStop& operator=(const UnwindOnStop&) = delete;
};

} // namespace vantor::sim
