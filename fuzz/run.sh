#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ and runs them in one of two modes.
#
#   fuzz/run.sh            Deterministic (what ./test runs). For each target: replay every kept
#                          regression input (fuzz/regressions/<target>/), replay every seed
#                          (fuzz/corpus/<target>/), then fuzz from the seeds with a fixed seed
#                          for a fixed number of runs (see `runs` below; FUZZ_SEED and
#                          FUZZ_RUNS_<TARGET> override them). Nothing learnt in earlier runs is
#                          used, so the same commit gets the same verdict every time.
#                          FUZZ_SECONDS plays no part here.
#
#   fuzz/run.sh --explore  Open-ended: each target fuzzes for FUZZ_SECONDS (default 600) with a
#                          random seed, learning into build-fuzz/work/<target>/. Every input
#                          that crashes, leaks, runs out of memory or hangs is kept as
#                          fuzz/regressions/<target>/<kind>-<sha1>, and the target fuzzes on for
#                          the rest of its time; the deterministic mode replays them from then
#                          on. Exits non-zero when it kept any. Rename them to say what broke.
#
# Only a target named on the command line runs (e.g. fuzz/run.sh datafile); default: all.
# FUZZ_BUILD_DIR picks another build folder than build-fuzz/.
set -uo pipefail
shopt -s nullglob # a target without kept inputs has nothing to replay
cd "$(dirname "$0")/.."
root=$PWD
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}

mode=deterministic
targets=()
for arg in "$@"; do
  case $arg in
    --explore) mode=explore ;;
    *) targets+=("$arg") ;;
  esac
done
[ ${#targets[@]} -gt 0 ] || targets=(scores datafile replay net)

seed=${FUZZ_SEED:-20261207}
# Runs per target: about 15 s each on a two-core machine (the time is printed with the result).
declare -A runs=([scores]=${FUZZ_RUNS_SCORES:-8000} [datafile]=${FUZZ_RUNS_DATAFILE:-4000} [net]=${FUZZ_RUNS_NET:-20000} [replay]=${FUZZ_RUNS_REPLAY:-50000})
seconds=${FUZZ_SECONDS:-600}

cmake -S fuzz -B "$build" -DCMAKE_CXX_COMPILER=clang++ >/dev/null || exit 1

# The library checks for failed allocations; huge requests from garbled sizes must return null.
export ASAN_OPTIONS=allocator_may_return_null=1
common=(-timeout=10 -max_len=65536 -malloc_limit_mb=1024)

# Runs the target once on each file given; prints the failing input's report on failure.
replay() {
  local target=$1 what=$2 log=$3; shift 3
  [ $# -gt 0 ] || return 0
  if ! "$build/fuzz_$target" "${common[@]}" "$@" >"$log" 2>&1; then
    grep -E "SUMMARY|ERROR|Running:" "$log" | tail -5
    echo "fuzz: $target: a $what fails ($log)"
    return 1
  fi
}

deterministic() {
  local target=$1 log=$build/$target.log
  replay "$target" "kept regression input" "$log.regressions" "$root"/fuzz/regressions/"$target"/* || return 1
  replay "$target" "seed" "$log.seeds" "$root"/fuzz/corpus/"$target"/* || return 1
  # New inputs go to a fresh folder, never into the seeds, so the next run starts from the same.
  # Without -use_cmp=0 the mutations would draw on values compared at run time, some of which
  # (addresses among them) differ from run to run.
  local fresh start=$SECONDS
  fresh=$(mktemp -d)
  mkdir -p "$build/artifacts/$target"
  if "$build/fuzz_$target" "${common[@]}" -seed="$seed" -runs="${runs[$target]}" -use_cmp=0 \
      -artifact_prefix="$build/artifacts/$target/" "$fresh" "$root/fuzz/corpus/$target" >"$log" 2>&1; then
    echo "fuzz: $target: seed $seed, ${runs[$target]} runs in $((SECONDS - start))s:" \
      "$(grep -E '^#[0-9]+' "$log" | tail -1 | grep -oE 'cov: [0-9]+ ft: [0-9]+ corp: [0-9]+/[0-9]+[a-zA-Z]*')"
    rm -rf "$fresh"
  else
    rm -rf "$fresh"
    grep -E "SUMMARY|ERROR|Test unit written" "$log" | tail -5
    echo "fuzz: $target: seed $seed found a failing input ($log)"
    return 1
  fi
}

explore() {
  local target=$1 log=$build/$target.explore.log kept=0
  local work=$build/work/$target artifacts=$build/artifacts/$target.explore
  mkdir -p "$work" "$artifacts"
  local end=$((SECONDS + seconds))
  while [ $SECONDS -lt $end ]; do
    rm -f "$artifacts"/*
    local failed=0
    "$build/fuzz_$target" "${common[@]}" -max_total_time=$((end - SECONDS)) \
      -artifact_prefix="$artifacts/" "$work" "$root/fuzz/corpus/$target" >"$log" 2>&1 || failed=1
    local found=0
    for input in "$artifacts"/crash-* "$artifacts"/leak-* "$artifacts"/oom-* "$artifacts"/timeout-*; do
      [ -e "$input" ] || continue
      local name kind
      kind=$(basename "$input"); kind=${kind%%-*}
      name=$kind-$(sha1sum "$input" | cut -c1-16)
      found=1
      [ -e "$root/fuzz/regressions/$target/$name" ] && continue
      cp "$input" "$root/fuzz/regressions/$target/$name"
      grep -E "SUMMARY" "$log" | tail -1
      echo "fuzz: $target: kept fuzz/regressions/$target/$name"
      kept=$((kept + 1))
    done
    if [ $found -eq 0 ]; then
      [ $failed -eq 0 ] || { tail -5 "$log"; echo "fuzz: $target: failed without an input to keep ($log)"; return 1; }
      break
    fi
  done
  echo "fuzz: $target: explored for $seconds s, kept $kept new failing input(s)"
  [ $kept -eq 0 ]
}

status=0
for target in "${targets[@]}"; do
  if ! cmake --build "$build" -j2 --target "fuzz_$target" >"$build/build-$target.log" 2>&1; then
    tail -40 "$build/build-$target.log"
    echo "fuzz: $target: build failed ($build/build-$target.log)"
    status=1
    continue
  fi
  "$mode" "$target" || status=1
done
exit $status
