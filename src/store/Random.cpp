#include "store/Random.h"

#include <algorithm>
#include <chrono>
#include <numeric>
#include <unordered_set>

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

std::vector<std::uint64_t> Random::pickDistinct(std::uint64_t k, std::uint64_t n)
{
    k = std::min(k, n);
    std::mt19937_64 gen = generator();
    std::vector<std::uint64_t> picked;
    picked.reserve(k);
    if (k * 2 > n) {
        // Most of the range: a partial shuffle, no redraws.
        std::vector<std::uint64_t> all(n);
        std::iota(all.begin(), all.end(), 0);
        for (std::uint64_t i = 0; i < k; ++i) {
            std::swap(all[i], all[i + below(gen, n - i)]);
            picked.push_back(all[i]);
        }
        return picked;
    }
    // A few out of many: draw again on a value already held.
    std::unordered_set<std::uint64_t> held;
    while (picked.size() < k) {
        const std::uint64_t v = below(gen, n);
        if (held.insert(v).second)
            picked.push_back(v);
    }
    return picked;
}

void Random::setSeed(std::optional<std::uint64_t> seed)
{
    g_seed = seed;
}
