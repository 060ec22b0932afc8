// The plug-in's random numbers. The executable exports srand and rand, so the library's calls
// resolve to these before the C library's: unpinned they pass straight on, pinned they give a
// fixed sequence. The bench's own unit calls the same functions, and replays what the library
// drew, so that the two draw the same periods whether pinned or not.
#pragma once

namespace vantor::sim {

// From now on srand is ignored and rand returns 1, 1, 50, 1, 1, 150 over and over, which
// makes the unit's alternation period 300 ms and its start-up delay 650 ms. Call it before runs
// start on other threads; each thread's sequence starts afresh.
void pinRandom();

// The tape is the calling thread's own.
enum class RandomTape {
    Pass,   // draws are neither kept nor replayed
    Record, // draws are kept, from an empty tape
    Replay, // rand gives back the kept draws from the start of the tape, srand does nothing
};
void setRandomTape(RandomTape mode);

// What the exported srand and rand do.
void seedRandom(unsigned seed);
int drawRandom();

} // namespace vantor::sim
