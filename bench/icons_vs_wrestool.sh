#!/bin/bash
# glyphary-icons list over Wine's x86_64 PE modules in one process, beside a loop of
# `wrestool -l --type=14` over the same files, warm cache, median of five runs each.
# Needs libwine and icoutils installed (neither is a dependency of the build or the tests).
set -euo pipefail
bin=${1:-build/bin}
modules=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows
command -v wrestool > /dev/null || { echo "wrestool not installed (icoutils): nothing to compare"; exit 0; }
[ -d "$modules" ] || { echo "$modules missing (libwine): nothing to compare"; exit 0; }

glyphary() { "$bin/glyphary-icons" list "$modules"/* > /dev/null 2>&1 || true; }
wrestools() { for f in "$modules"/*; do wrestool -l --type=14 "$f"; done > /dev/null 2>&1 || true; }

# Median wall time of five runs, in milliseconds, after one warm-up run.
median_ms() {
  "$1"
  local times=()
  for _ in 1 2 3 4 5; do
    local start=$(date +%s%N)
    "$1"
    times+=($(( ($(date +%s%N) - start) / 1000000 )))
  done
  printf '%s\n' "${times[@]}" | sort -n | sed -n 3p
}

files=$(ls "$modules" | wc -l)
ours=$(median_ms glyphary)
theirs=$(median_ms wrestools)
echo "files: $files"
echo "glyphary-icons list: ${ours} ms"
echo "wrestool -l --type=14 loop: ${theirs} ms"
awk -v a="$ours" -v b="$theirs" 'BEGIN { printf "ratio: %.1fx\n", b / (a > 0 ? a : 1) }'
