#!/bin/bash
# glyphary-icons thumbnail -s 256 beside exe-thumbnailer -s 256 on the same files in the same run,
# one process per file as file managers run thumbnailers, warm cache: Wine's PE modules, NSIS's .ico
# files and a 100 MB program (written by bench_thumbnail). Prints ms per file for both and the ratio;
# each figure is the median of RUNS loops (default 3). STEP=k takes every k-th Wine module.
# Needs exe-thumbnailer, nsis and wine installed: none is a dependency of the build or the tests.
set -euo pipefail
bin=${1:-build/bin}
runs=${RUNS:-3}
step=${STEP:-1}
command -v exe-thumbnailer > /dev/null || { echo "exe-thumbnailer not installed: nothing to compare"; exit 0; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

wine_modules=()
for dir in /usr/lib/x86_64-linux-gnu/wine/x86_64-windows /usr/lib/i386-linux-gnu/wine/i386-windows; do
  [ -d "$dir" ] && while IFS= read -r f; do wine_modules+=("$f"); done < <(find "$dir" -maxdepth 1 -type f | sort | awk -v k="$step" 'NR % k == 1 || k == 1')
done
nsis_icons=(/usr/share/nsis/Contrib/Graphics/Icons/*.ico)
"$bin/bench_thumbnail" --write-large-program "$work/large.exe"

# Median over $runs loops of the wall time of one loop over the files, in ms per file. The clock is
# bash's own, so that no process is started around the loop; a list shorter than 20 files is gone
# through several times, so that one slow start does not decide the figure.
per_file_ms() {
  local tool=$1; shift
  local files=("$@")
  while [ "${#files[@]}" -lt 20 ]; do files+=("$@"); done
  local times=()
  for _ in $(seq "$runs"); do
    local start=$EPOCHREALTIME
    for f in "${files[@]}"; do
      case $tool in
        ours) "$bin/glyphary-icons" thumbnail -s 256 "$f" "$work/out.png" ;;
        theirs) exe-thumbnailer -s 256 "$f" "$work/out.png" ;;
      esac > /dev/null 2>&1 || true
    done
    times+=("$(awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.6f", b - a }')")
  done
  printf '%s\n' "${times[@]}" | sort -n | awk -v n="${#files[@]}" '{ t[NR] = $1 } END { printf "%.2f", t[int((NR + 1) / 2)] * 1000 / n }'
}

compare() {
  local name=$1; shift
  [ "$#" -gt 0 ] && [ -e "$1" ] || { echo "$name: no files"; return; }
  local ours theirs
  ours=$(per_file_ms ours "$@")
  theirs=$(per_file_ms theirs "$@")
  awk -v name="$name" -v n="$#" -v a="$ours" -v b="$theirs" \
    'BEGIN { printf "%-22s %4d files  glyphary-icons %7.2f ms/file  exe-thumbnailer %7.2f ms/file  ratio %.1fx\n", name, n, a, b, b / (a > 0 ? a : 0.01) }'
}

compare "Wine PE modules" "${wine_modules[@]}"
compare "NSIS .ico files" "${nsis_icons[@]}"
compare "100 MB program" "$work/large.exe"
