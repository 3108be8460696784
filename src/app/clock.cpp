// The 60 Hz tick clock.
#include "app/clock.h"

std::atomic<uint32_t> tick_count{0};

void tick_handler()
{
    tick_count.fetch_add(1, std::memory_order_relaxed);
}
