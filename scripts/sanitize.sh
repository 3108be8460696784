#!/usr/bin/env bash
# Builds the program and its tests with AddressSanitizer and UndefinedBehaviorSanitizer into
# build-asan/, runs the unit tests there (any report fails the run), then the whole-session
# leak test of the real program under X (a virtual X server when there is no display).
set -uo pipefail
cd "$(dirname "$0")/.."
jobs=2

cmake -S . -B build-asan -DBLOCKRISE_SANITIZE=ON -DBLOCKRISE_BENCH=OFF >/dev/null || exit 1
cmake --build build-asan -j"$jobs" >build-asan/build.log 2>&1 || {
  tail -40 build-asan/build.log >&2
  echo "sanitize: build failed (build-asan/build.log)" >&2
  exit 1
}

export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
# Leaks owned by the X and sound libraries, never the game's own (see the file).
export LSAN_OPTIONS=suppressions=$PWD/tests/e2e/lsan.supp:print_suppressions=0
status=0
# The release tests start the installed program with a scrubbed environment (env -i), which the
# sanitizer settings above cannot reach; they run in the main test stage.
(cd build-asan && ctest --output-on-failure -LE e2e -E '^release\.' -j"$jobs") || status=1

leak_test=(ctest --output-on-failure -R '^e2e\.session$')
if [ -n "${DISPLAY:-}" ]; then
  (cd build-asan && "${leak_test[@]}") || status=1
else
  (cd build-asan && xvfb-run -a -s "-screen 0 640x480x24 -nolisten tcp" "${leak_test[@]}") || status=1
fi
exit $status
