#!/usr/bin/env bash
# Builds the fuzz targets with clang into build-fuzz/, replays every kept regression input,
# then fuzzes each target for FUZZ_SECONDS (default 45). Seeds: fuzz/corpus/<target>/;
# what the fuzzer learns stays in build-fuzz/work/; new crashes land in build-fuzz/.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
seconds=${FUZZ_SECONDS:-45}

cmake -S fuzz -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ >/dev/null || exit 1
cmake --build build-fuzz -j2 >build-fuzz/build.log 2>&1 || {
  tail -40 build-fuzz/build.log >&2
  echo "fuzz: build failed" >&2
  exit 1
}

# The library checks for failed allocations; huge requests from garbled sizes must return null.
export ASAN_OPTIONS=allocator_may_return_null=1
status=0
for target in scores datafile; do
  log="build-fuzz/$target.log"
  regressions=("$root"/fuzz/regressions/"$target"/*)
  if [ -e "${regressions[0]}" ]; then
    if ! build-fuzz/fuzz_"$target" -timeout=10 "${regressions[@]}" >"$log.regressions" 2>&1; then
      grep -E "SUMMARY|ERROR|Running:" "$log.regressions" | tail -5
      echo "fuzz: $target: a kept regression input fails again (build-fuzz/$target.log.regressions)"
      status=1
      continue
    fi
  fi
  mkdir -p build-fuzz/work/"$target"
  if build-fuzz/fuzz_"$target" -max_total_time="$seconds" -timeout=10 -max_len=65536 \
      -malloc_limit_mb=1024 -artifact_prefix="$root/build-fuzz/" \
      "$root/build-fuzz/work/$target" "$root/fuzz/corpus/$target" >"$log" 2>&1; then
    echo "fuzz: $target: $(grep -E '^Done' "$log" | tail -1)"
  else
    grep -E "SUMMARY|ERROR|Test unit written" "$log" | tail -5
    echo "fuzz: $target: failed (build-fuzz/$target.log)"
    status=1
  fi
done
exit $status
