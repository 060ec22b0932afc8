// Pinning the plug-in's random periods. The executable exports srand and rand, so the
// library's calls resolve to these before the C library's; unpinned they pass straight on.
#pragma once

namespace vantor::sim {

// From now on srand is ignored and rand returns 1, 1, 50, 1, 1, 150 over and over, which
// makes the unit's alternation period 300 ms and its start-up delay 650 ms.
void pinRandom();

} // namespace vantor::sim
