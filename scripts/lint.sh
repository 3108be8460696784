#!/usr/bin/env bash
# Static checks over src/: clang-tidy with the checks in .clang-tidy, then cppcheck.
# Configures (does not build) build-lint/ for the compile commands clang-tidy needs.
set -uo pipefail
cd "$(dirname "$0")/.."
jobs=2

if ! cmake -S . -B build-lint -DBLOCKRISE_BENCH=OFF >build-lint.log 2>&1; then
  cat build-lint.log >&2
  echo "lint: cannot configure build-lint" >&2
  exit 1
fi
rm -f build-lint.log
status=0

echo "lint: clang-tidy over src/"
if ! find src -name '*.cpp' -print0 | sort -z |
    xargs -0 -P"$jobs" -n4 clang-tidy -p build-lint --quiet 2>/dev/null; then
  echo "lint: clang-tidy found problems (above)"
  status=1
fi

echo "lint: cppcheck over src/"
if ! cppcheck --enable=warning,performance,portability --error-exitcode=1 --inline-suppr \
    --std=c++17 --quiet -I src -j"$jobs" src; then
  echo "lint: cppcheck found problems (above)"
  status=1
fi

[ $status -eq 0 ] && echo "lint: clean"
exit $status
