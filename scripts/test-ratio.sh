#!/usr/bin/env bash
# Non-blank lines of test code against those of the rest of the code, and their ratio.
# Test code: everything under tests/ that is code. The rest: src/, tools/, bench/, fuzz/,
# scripts/, cmake/, packaging/'s scripts and CMake, and the top-level CMakeLists.txt, run and
# test. Data (scenario wells, key scripts, replays, expected traces, reference images, fuzz
# corpora) is not code and counts for neither.
set -euo pipefail
cd "$(dirname "$0")/.."

# Non-blank lines of the files named on standard input (NUL-separated).
count() { xargs -0 cat -- 2>/dev/null | grep -cv '^[[:space:]]*$' || true; }
code_files() {
  find "$@" -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.sh' -o -name '*.sh.in' -o -name '*.py' \
    -o -name '*.cmake' -o -name 'CMakeLists.txt' \) -print0
}

tests=$(code_files tests | count)
rest=$(( $(code_files src tools bench fuzz scripts cmake packaging | count) +
         $(printf '%s\0' CMakeLists.txt run test | count) ))
echo "test code $tests lines, other code $rest lines, ratio $(awk -v t="$tests" -v r="$rest" 'BEGIN { printf "%.2f", t / r }')"
