// The plug-in's random numbers. Its calls to srand and rand come to seedRandom and drawRandom:
// on Linux through the executable's own srand and rand, which the library's calls resolve to
// before the C library's (pinned_random_linux.cpp); on Windows through the loaded DLL's
// imports of the two, redirected (random_imports_windows.cpp). Unpinned they pass on to the C
// runtime the plug-in would otherwise have called, pinned they give a fixed sequence. The
// bench's own unit calls the same functions, and replays what the library drew, so that the
// two draw the same periods whether pinned or not.
#pragma once

namespace vantor::sim {

// From now on srand is ignored and rand returns 1, 1, 50, 1, 1, 150 over and over, which
// makes the unit's alternation period 300 ms and its start-up delay 650 ms. Call it before runs
// start on other threads; each thread's sequence starts afresh.
void pinRandom();
bool randomPinned();

// The tape is the calling thread's own.
enum class RandomTape {
    Pass,   // draws are neither kept nor replayed
    Record, // draws are kept, from an empty tape
    Replay, // rand gives back the kept draws from the start of the tape, srand does nothing
};
void setRandomTape(RandomTape mode);

// What the plug-in's srand and rand do.
void seedRandom(unsigned seed);
int drawRandom();

// The C runtime's own srand and rand, as the plug-in would have called them.
struct RuntimeRandom {
    void (*srand)(unsigned int) = nullptr;
    int (*rand)() = nullptr;
};
const RuntimeRandom& runtimeRandom();

} // namespace vantor::sim
