// The process-wide pseudo-random generator: Random and Randomize.
//
// The generator starts from a fixed seed, so a run that never calls
// Randomize repeats its numbers (tests rely on that through SetRandSeed);
// Randomize seeds it from the clock. Calls from several threads are safe.
#pragma once

#include <cstdint>

// Seeds the generator from the system clock.
void Randomize();
// Restarts the generator from the given seed; the same seed gives the same
// numbers again.
void SetRandSeed(uint32_t seed);
// The seed the generator was last started from.
uint32_t RandSeed();
// A float in [0, 1).
double Random();
// An integer in [0, range); 0 when range is 0 or negative.
int Random(int range);
