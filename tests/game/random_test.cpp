// The game's generator gives the C library's rand() numbers for the same seed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <vector>

#include "game/random.h"

namespace {

constexpr int draws_per_seed = 1000;

TEST(Random, DrawsWhatRandDrawsAfterSrandForEverySeed)
{
    // 0 stands for 1; past 2^31 glibc's signed state word starts negative.
    std::vector<uint32_t> seeds = {0, 1, 2, 7, 12345, 127773, 2147483646u, 2147483647u, 2147483648u,
                                   2147483649u, 3000000000u, 4294967295u};
    std::mt19937 pick(99);
    for (int i = 0; i < 200; i++)
        seeds.push_back(static_cast<uint32_t>(pick()));
    for (uint32_t seed : seeds) {
        GameRandom random;
        seed_random(random, seed);
        std::srand(seed);
        for (int draw = 0; draw < draws_per_seed; draw++)
            ASSERT_EQ(next_random(random), std::rand()) << "seed " << seed << " draw " << draw;
    }
}

} // namespace
