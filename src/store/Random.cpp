#include "store/Random.h"

#include <chrono>

namespace {
std::optional<std::uint64_t> g_seed;
}

std::mt19937_64 Random::generator()
{
    if (g_seed)
        return std::mt19937_64(*g_seed);
    return std::mt19937_64(
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
}

std::uint64_t Random::below(std::mt19937_64 &gen, std::uint64_t n)
{
    if (n <= 1)
        return 0;
    return std::uniform_int_distribution<std::uint64_t>(0, n - 1)(gen);
}

void Random::setSeed(std::optional<std::uint64_t> seed)
{
    g_seed = seed;
}
