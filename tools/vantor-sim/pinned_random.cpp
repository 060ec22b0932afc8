#include "pinned_random.h"

namespace {

bool pinned = false;
unsigned next = 0;
constexpr int kSequence[] = {1, 1, 50, 1, 1, 150};

} // namespace

namespace vantor::sim {

void pinRandom() {
    pinned = true;
}

bool randomPinned() {
    return pinned;
}

void pluginSrand(unsigned int seed) {
    if (pinned) {
        next = 0;
        return;
    }
    runtimeRandom().srand(seed);
}

int pluginRand() {
    if (pinned) {
        return kSequence[next++ % (sizeof kSequence / sizeof kSequence[0])];
    }
    return runtimeRandom().rand();
}

} // namespace vantor::sim
