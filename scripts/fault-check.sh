#!/usr/bin/env bash
# Puts each fault of scripts/faults.txt into a copy of the tree in turn, builds it, runs the
# fast tests (unit tests and seeded replays) or the fault's own, and says whether they caught
# it. A tool for keeping the suite honest, not a test: ./test does not run it.
# Usage: scripts/fault-check.sh [PATTERN]   (only faults whose name matches PATTERN)
# FAULT_DIR sets the scratch copy (default /tmp/blockrise-faults); it is reused between runs.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
scratch=${FAULT_DIR:-/tmp/blockrise-faults}
pattern=${1:-}
fast=(-LE e2e -E '^release\.|^net\.TwoScreens')

# The tree as it is, new files and uncommitted edits included; files gone from it go from the copy.
mkdir -p "$scratch/tree"
git ls-files -z --cached --others --exclude-standard | while IFS= read -r -d '' f; do [ -f "$f" ] && printf '%s\0' "$f"; done >"$scratch/files"
tar cf - --null -T "$scratch/files" | tar xf - -C "$scratch/tree"
(cd "$scratch/tree" && find . -type f -printf '%P\0') | while IFS= read -r -d '' f; do
  grep -qzxF -- "$f" "$scratch/files" || rm -f "$scratch/tree/$f"
done
cmake -S "$scratch/tree" -B "$scratch/build" -DBLOCKRISE_BENCH=OFF >/dev/null || exit 1
cmake --build "$scratch/build" -j2 >"$scratch/build.log" 2>&1 || { tail -20 "$scratch/build.log"; exit 1; }

# The nth appearance of FROM in FILE becomes TO; false if there is none.
inject() {
  FROM=$2 TO=$3 NTH=$4 perl -0777 -i -e '
    my $text = do { local $/; <> };
    my ($from, $to, $nth) = ($ENV{FROM}, $ENV{TO}, $ENV{NTH});
    my $at = -1;
    for (1 .. $nth) { $at = index($text, $from, $at + 1); last if $at < 0 }
    exit 1 if $at < 0;
    substr($text, $at, length $from) = $to;
    print $text;' "$1"
}

caught=0 missed=0 broken=0
check() {
  [ -n "$name" ] || return 0
  [[ -z "$pattern" || "$name" == *$pattern* ]] || return 0
  local file=$scratch/tree/$file
  cp "$file" "$scratch/original"
  local verdict
  if ! inject "$file" "$from" "$to" "${nth:-1}"; then
    verdict="NOT APPLIED (the code changed?)"
    broken=$((broken + 1))
  elif ! cmake --build "$scratch/build" -j2 >"$scratch/fault.log" 2>&1; then
    verdict="caught (does not build)"
    caught=$((caught + 1))
  else
    local selection=("${fast[@]}")
    [ -n "${tests:-}" ] && selection=(-R "$tests")
    if (cd "$scratch/build" && ctest --timeout 120 -j2 "${selection[@]}" >>"$scratch/fault.log" 2>&1); then
      verdict="MISSED"
      missed=$((missed + 1))
    else
      verdict="caught by $(grep -oE '[0-9]+ - [^ ]+' "$scratch/fault.log" | head -1 | cut -d' ' -f3)"
      caught=$((caught + 1))
    fi
  fi
  cp "$scratch/original" "$file"
  printf '%-58s %s\n' "$name" "$verdict"
}

# Blocks of "key: value" lines; a value may go on over following lines until the next key.
name="" file="" from="" to="" nth="" tests="" key=""
while IFS= read -r line || [ -n "$line" ]; do
  [[ "$line" == \#* ]] && continue
  if [ -z "$line" ]; then
    check
    name="" file="" from="" to="" nth="" tests="" key=""
  elif [[ "$line" =~ ^(name|file|from|to|nth|tests):\ (.*)$ ]]; then
    key=${BASH_REMATCH[1]}
    printf -v "$key" '%s' "${BASH_REMATCH[2]}"
  else
    printf -v "$key" '%s\n%s' "${!key}" "$line"
  fi
done <scripts/faults.txt
check
cmake --build "$scratch/build" -j2 >/dev/null 2>&1 # back to the tree as it is
echo "caught $caught of $((caught + missed + broken)) faults ($missed missed, $broken not applied)"
[ $missed -eq 0 ] && [ $broken -eq 0 ]
