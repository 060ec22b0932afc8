// Programs built on the bench's core export srand and rand (pinned_random.list), so the loaded
// library's calls resolve to these before the C library's, and so do the bench's own unit's.
#include <dlfcn.h>

#include <cstdlib>

#include "host/pinned_random.h"

namespace vantor::sim {

const RuntimeRandom& runtimeRandom() {
    static const RuntimeRandom functions{
        reinterpret_cast<void (*)(unsigned int)>(dlsym(RTLD_NEXT, "srand")),
        reinterpret_cast<int (*)()>(dlsym(RTLD_NEXT, "rand"))};
    return functions;
}

} // namespace vantor::sim

extern "C" {

__attribute__((visibility("default"))) void srand(unsigned int seed) noexcept {
    vantor::sim::seedRandom(seed);
}

__attribute__((visibility("default"))) int rand() noexcept {
    return vantor::sim::drawRandom();
}

} // extern "C"
