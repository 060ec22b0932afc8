// Pinning the plug-in's random periods. The plug-in's calls to srand and rand come to
// pluginSrand and pluginRand: on Linux through the executable's own srand and rand, which the
// library's calls resolve to before the C library's (pinned_random_linux.cpp); on Windows
// through the loaded DLL's imports of the two, redirected (random_imports_windows.cpp).
// Unpinned, both pass on to the C runtime the plug-in would otherwise have called.
#pragma once

namespace vantor::sim {

// From now on srand is ignored and rand returns 1, 1, 50, 1, 1, 150 over and over, which
// makes the unit's alternation period 300 ms and its start-up delay 650 ms.
void pinRandom();
bool randomPinned();

void pluginSrand(unsigned int seed);
int pluginRand();

// The C runtime's own srand and rand, as the plug-in would have called them.
struct RuntimeRandom {
    void (*srand)(unsigned int) = nullptr;
    int (*rand)() = nullptr;
};
const RuntimeRandom& runtimeRandom();

} // namespace vantor::sim
