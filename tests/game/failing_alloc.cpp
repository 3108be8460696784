// An allocator that fails on demand: test_game links with -Wl,--wrap=malloc.
#include "failing_alloc.h"

#include <cstddef>
#include <cstdlib>
#include <new>

bool fail_allocations = false;

extern "C" void* __real_malloc(std::size_t size);
extern "C" void* __wrap_malloc(std::size_t size)
{
    return fail_allocations ? nullptr : __real_malloc(size);
}

void* operator new(std::size_t size)
{
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
