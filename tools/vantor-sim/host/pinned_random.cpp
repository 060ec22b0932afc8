#include "host/pinned_random.h"

#include <cstddef>
#include <vector>

namespace {

bool pinned = false;
constexpr int kSequence[] = {1, 1, 50, 1, 1, 150};

// Per thread, so that runs side by side each draw and replay their own numbers: the library and
// the bench's own unit of one run are called on that run's thread.
thread_local unsigned next = 0;
thread_local vantor::sim::RandomTape tapeMode = vantor::sim::RandomTape::Pass;
thread_local std::vector<int> tape;
thread_local size_t replayed = 0;

} // namespace

namespace vantor::sim {

void pinRandom() {
    pinned = true;
}

bool randomPinned() {
    return pinned;
}

void setRandomTape(RandomTape mode) {
    tapeMode = mode;
    if (mode == RandomTape::Record) {
        tape.clear();
    }
    replayed = 0;
}

void seedRandom(unsigned seed) {
    if (tapeMode == RandomTape::Replay) {
        return;
    }
    if (pinned) {
        next = 0;
        return;
    }
    runtimeRandom().srand(seed);
}

int drawRandom() {
    if (tapeMode == RandomTape::Replay) {
        // Drawing more than was recorded is a difference the frame comparison will show.
        return replayed < tape.size() ? tape[replayed++] : 0;
    }
    int value = 0;
    if (pinned) {
        value = kSequence[next++ % (sizeof kSequence / sizeof kSequence[0])];
    } else {
        value = runtimeRandom().rand();
    }
    if (tapeMode == RandomTape::Record) {
        tape.push_back(value);
    }
    return value;
}

} // namespace vantor::sim
