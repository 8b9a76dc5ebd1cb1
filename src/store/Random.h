#pragma once
// The random source of every draw: a fresh generator seeded from the steady
// clock at each draw, uniform over 0 … n-1. Tests fix the seed.
#include <cstdint>
#include <optional>
#include <random>
#include <vector>

class Random
{
public:
    // A generator for one draw.
    static std::mt19937_64 generator();
    // Uniform over 0 … n-1 (n >= 1).
    static std::uint64_t below(std::mt19937_64 &gen, std::uint64_t n);

    // pickDistinct: k distinct values of 0 … n-1 in the order drawn, every
    // ordered choice equally likely; one generator seeded for the call. k is
    // capped at n, so a caller's miscount can never loop for ever.
    static std::vector<std::uint64_t> pickDistinct(std::uint64_t k, std::uint64_t n);

    static void setSeed(std::optional<std::uint64_t> seed);
};
