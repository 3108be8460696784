// glibc's TYPE_3 generator (x^31 + x^3 + 1), seeded by its minimal-standard LCG.
#include "game/random.h"

namespace {

constexpr int32_t lcg_multiplier = 16807;
constexpr int32_t lcg_modulus = 2147483647; // 2^31 - 1
constexpr int32_t schrage_quotient = 127773; // lcg_modulus / lcg_multiplier
constexpr int32_t schrage_remainder = 2836;  // lcg_modulus % lcg_multiplier
constexpr int warm_up_rounds = 10 * random_degree;

} // namespace

void seed_random(GameRandom& random, uint32_t seed)
{
    if (seed == 0)
        seed = 1;
    // glibc keeps the seed in a signed word: a seed past 2^31 starts the LCG negative.
    int32_t word = static_cast<int32_t>(seed);
    random.state[0] = word;
    for (int i = 1; i < random_degree; i++) {
        // word * 16807 % (2^31 - 1) without overflow (Schrage's method).
        const int32_t hi = word / schrage_quotient;
        const int32_t lo = word % schrage_quotient;
        word = lcg_multiplier * lo - schrage_remainder * hi;
        if (word < 0)
            word += lcg_modulus;
        random.state[i] = word;
    }
    random.front = random_separation;
    random.rear = 0;
    for (int i = 0; i < warm_up_rounds; i++)
        next_random(random);
}

int32_t next_random(GameRandom& random)
{
    // The sum wraps round at 2^32, as glibc's unsigned addition does.
    const uint32_t sum = static_cast<uint32_t>(random.state[random.front]) +
                         static_cast<uint32_t>(random.state[random.rear]);
    random.state[random.front] = static_cast<int32_t>(sum);
    const int32_t result = static_cast<int32_t>(sum >> 1); // the lowest bit is the weakest
    random.front = static_cast<uint8_t>((random.front + 1) % random_degree);
    random.rear = static_cast<uint8_t>((random.rear + 1) % random_degree);
    return result;
}
