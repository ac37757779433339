#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz, writes their seed corpora, and runs every
# target for SECONDS (default 60) one after another at low priority, one process at a time.
#   scripts/fuzz.sh [SECONDS] [TARGET...]
# Prints per target the executions run and any crash file; exits 1 when a target found a crash.
# FUZZ_BUILD_DIR (default: build-fuzz) and FUZZ_LOCK (the shared build lock, if the file exists)
# are honoured; FUZZ_RUNS ends a target early once it has run that many inputs. Corpora grow in
# FUZZ_BUILD_DIR/corpus/TARGET, findings land in .../findings/TARGET.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${FUZZ_BUILD_DIR:-$here/build-fuzz}
lock=${FUZZ_LOCK:-/tmp/glyphary-build.lock}
seconds=${1:-60}
shift || true

if ! command -v clang++ >/dev/null; then
  echo "fuzz.sh needs clang. Run as root: apt-get install -y clang" >&2
  exit 1
fi

locked() {
  if [ -e "$lock" ]; then flock "$lock" "$@"; else "$@"; fi
}

if [ ! -f "$build_dir/build.ninja" ]; then
  CC=clang CXX=clang++ locked cmake -S "$here" -B "$build_dir" -G Ninja -DGLYPHARY_FUZZ=ON -DGLYPHARY_BENCH=OFF
fi
locked nice cmake --build "$build_dir" -j "${JOBS:-2}" --target fuzz_all

bin=$build_dir/bin
"$bin/fuzz_seeds" "$build_dir/seeds"

if [ $# -gt 0 ]; then
  targets=("$@")
else
  mapfile -t targets < "$build_dir/fuzz_targets.txt"
fi

scratch=${TMPDIR:-/tmp}
[ -d /dev/shm ] && [ -w /dev/shm ] && scratch=/dev/shm

status=0
for target in "${targets[@]}"; do
  [ -n "$target" ] || continue
  corpus=$build_dir/corpus/$target
  findings=$build_dir/findings/$target
  mkdir -p "$corpus" "$findings"
  [ -d "$build_dir/seeds/$target" ] && cp -n "$build_dir/seeds/$target"/* "$corpus"/ 2>/dev/null || true
  log=$build_dir/findings/$target.log
  # Plain exit codes: a finding stops this target only, the next one still runs.
  set +e
  # Targets that go through files keep their scratch root in memory when they can.
  ( cd "$findings" && TMPDIR=$scratch QT_QPA_PLATFORM=offscreen UBSAN_OPTIONS=print_stacktrace=1 nice -n 15 "$bin/fuzz_$target" "$corpus" \
      -max_total_time="$seconds" ${FUZZ_RUNS:+-runs="$FUZZ_RUNS"} -print_final_stats=1 -rss_limit_mb=4096 -timeout=20 ) >"$log" 2>&1
  code=$?
  set -e
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -n 1)
  crashes=$(find "$findings" -maxdepth 1 -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | sort)
  printf '%-18s %12s executions' "$target" "${runs:-?}"
  if [ -n "$crashes" ]; then
    printf '   FINDINGS:\n'
    printf '    %s\n' $crashes
    status=1
  elif [ "$code" -ne 0 ]; then
    printf '   exit %s, see %s\n' "$code" "$log"
    status=1
  else
    printf '\n'
  fi
done
exit $status
