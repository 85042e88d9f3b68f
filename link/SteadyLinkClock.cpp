#include "LinkClock.h"

#include <chrono>
#include <thread>

std::int64_t SteadyLinkClock::nowMs() const
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void SteadyLinkClock::waitMs(int ms)
{
    // Sleeping to a deadline keeps the 35 ms pacing without burning a core.
    std::this_thread::sleep_until(std::chrono::steady_clock::now() + std::chrono::milliseconds(ms));
}

void SteadyLinkClock::sleepMs(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}
