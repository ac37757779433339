#!/usr/bin/env bash
# Fails on any #include that runs against the layer order of the folders:
#   formats < platform < libs < core < one subsystem folder < window files < app < tools
# A subsystem folder (catalogue results sources changer export options windows) never includes
# another one; window files (frm*, Qt*, *Widget) of any folder below app/ sit above every subsystem;
# builder/ is for the tools alone. Tests, benchmarks and fuzz targets may include anything.
set -u
top=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$top" || exit 2

subsystems=" catalogue results sources changer export options windows "

# layer FILE: prints the rank of the file and its group (files of one group may include each other).
layer() {
  local path=$1 folder base
  folder=${path%%/*}
  base=${path##*/}
  if [[ $base =~ ^(frm|Qt) || $base =~ Widget\.(h|cpp)$ ]] && [[ $folder != app && $folder != tools ]]; then
    echo "6 ui"; return
  fi
  case $folder in
    formats) echo "0 formats" ;;
    platform) echo "1 platform" ;;
    libs) echo "2 libs" ;;
    core) echo "3 core" ;;
    builder) echo "5 builder" ;;
    app) echo "7 app" ;;
    tools) echo "8 tools" ;;
    *) if [[ $subsystems == *" $folder "* ]]; then echo "4 $folder"; else echo "- -"; fi ;;
  esac
}

status=0
while IFS=: read -r file line text; do
  target=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)".*/\1/' <<<"$text")
  [[ $target == */* ]] || continue
  read -r from_rank from_group < <(layer "$file")
  read -r to_rank to_group < <(layer "$target")
  [[ $from_rank == - || $to_rank == - ]] && continue
  [[ $from_group == "$to_group" ]] && continue
  bad=""
  if [[ $to_group == builder && $from_group != tools ]]; then
    bad="builder/ is for the tools alone"
  elif (( to_rank > from_rank )); then
    bad="$to_group is above $from_group"
  elif (( to_rank == from_rank )); then
    bad="$from_group and $to_group are sibling subsystems: go through core"
  fi
  if [[ -n $bad ]]; then
    echo "$file:$line: includes \"$target\": $bad"
    status=1
  fi
done < <(git ls-files -- '*.h' '*.cpp' | grep -vE '^(tests|bench|fuzz)/' | xargs grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' /dev/null)

[[ $status -eq 0 ]] && echo "layering: every include follows the layer order"
exit $status
