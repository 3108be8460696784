// While set, malloc returns nullptr and operator new throws (test_game wraps malloc).
#pragma once

extern bool fail_allocations;
