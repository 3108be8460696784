// Lets a test make the allocator fail, to see the game go on without the memory.
#pragma once

// While set, malloc returns nullptr and operator new throws std::bad_alloc.
extern bool fail_allocations;
