#include "RtlRandom.h"

#include <chrono>
#include <mutex>
#include <random>

namespace {

struct TRandomState {
    std::mutex Lock;
    uint32_t Seed = 0;
    std::mt19937 Engine{0};
};

TRandomState& State()
{
    static TRandomState state;
    return state;
}

uint32_t Next32()
{
    TRandomState& s = State();
    std::lock_guard<std::mutex> guard(s.Lock);
    return static_cast<uint32_t>(s.Engine());
}

}   // namespace

void SetRandSeed(uint32_t seed)
{
    TRandomState& s = State();
    std::lock_guard<std::mutex> guard(s.Lock);
    s.Seed = seed;
    s.Engine.seed(seed);
}

uint32_t RandSeed()
{
    TRandomState& s = State();
    std::lock_guard<std::mutex> guard(s.Lock);
    return s.Seed;
}

void Randomize()
{
    // Nanoseconds of the wall clock, folded to 32 bits so that runs started
    // within the same second still differ.
    auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(
                  std::chrono::system_clock::now().time_since_epoch())
                  .count();
    uint64_t v = static_cast<uint64_t>(ns);
    SetRandSeed(static_cast<uint32_t>(v ^ (v >> 32)));
}

double Random()
{
    // 32 random bits scaled below 1: never 1 itself.
    return Next32() * (1.0 / 4294967296.0);
}

int Random(int range)
{
    if (range <= 0) return 0;
    // The high half of a 32 x 32 product spreads the bits over the range
    // without the bias of a remainder.
    return static_cast<int>((uint64_t(Next32()) * uint64_t(range)) >> 32);
}
