// The game's own random generator: the C library's additive-feedback rand() of glibc, so that
// a seed gives the same wells it always gave, without sharing rand()'s state with anything.
#pragma once

#include <cstdint>

constexpr int random_degree = 31;     // words of state
constexpr int random_separation = 3;  // distance between the two taps

struct GameRandom {
    int32_t state[random_degree];
    uint8_t front; // the tap that is added to and read
    uint8_t rear;
};

// As srand(seed): 0 counts as 1.
void seed_random(GameRandom& random, uint32_t seed);
// As rand(): 0 to 2^31 - 1.
int32_t next_random(GameRandom& random);
