#!/usr/bin/env bash
# The Windows program's benchmark under wine: median of several runs each of
#   0. a bare Win32 program that does nothing (what wine's start costs);
#   1. HX_RPT.exe's floor: an empty definition file;
#   2. HX_RPT.exe's full report: the report of hx_benchmark's case 2
#      (5 controllers, 401 tags, 10 header and 400 report lines, log on),
#      without printing, since the prefix has no printer;
# and the ratios of 1 and 2 to 0, and of 2 to 1.  The cases take turns, one
# run each per round, so that the machine's load affects all alike.
#
# usage: bench/windows_benchmark.sh [PRESET] [RUNS]   (default: win64 5)
# Needs the preset's build and the default preset's hx_benchmark.
set -euo pipefail
cd "$(dirname "$0")/.."

preset=${1:-win64}
runs=${2:-5}
build=build/$preset
for needed in "$build/bin/HX_RPT.exe" "$build/bench/bare_win32.exe" \
  build/default/bench/hx_benchmark; do
  if [[ ! -e $needed ]]; then
    echo "windows_benchmark: no $needed; build the $preset and the default preset first" >&2
    exit 1
  fi
done

run=("$PWD/cmake/wine_run.sh" "$PWD/$build/wine")
work=$(mktemp -d)
trap '"${run[@]}" --stop; rm -rf "$work"' EXIT
mkdir "$work/bare" "$work/floor" "$work/full"
cp "$build/bench/bare_win32.exe" "$work/bare/"
for folder in floor full; do cp "$build/bin/HX_RPT.exe" "$build/bin/HX_VENDOR.exe" "$build"/bin/*.dll "$work/$folder/"; done
: >"$work/floor/HX_RPT.INI"
build/default/bench/hx_benchmark --write "$work/full"
sed -i '/^PRINTIT=TRUE/d' "$work/full/HX_RPT.INI"

# Milliseconds of one run of the program in folder; fails on a status not 0.
time_run() {
  local folder=$1 program=$2 start end
  rm -f "$folder"/*.LOG
  start=$(date +%s%N)
  (cd "$folder" && "${run[@]}" "$folder/$program" >/dev/null 2>&1) ||
    { echo "windows_benchmark: $program in $folder failed" >&2; exit 1; }
  end=$(date +%s%N)
  echo $(((end - start) / 1000))
}

median() { sort -n | awk '{ v[NR] = $1 } END { printf "%.1f", v[int((NR + 1) / 2)] / 1000 }'; }

# The first start makes the prefix and fills the file cache.
time_run "$work/bare" bare_win32.exe >/dev/null
time_run "$work/full" HX_RPT.exe >/dev/null
: >"$work/bare.t" >"$work/floor.t" >"$work/full.t"
for ((r = 0; r < runs; ++r)); do
  time_run "$work/bare" bare_win32.exe >>"$work/bare.t"
  time_run "$work/floor" HX_RPT.exe >>"$work/floor.t"
  time_run "$work/full" HX_RPT.exe >>"$work/full.t"
done
bare=$(median <"$work/bare.t")
floor=$(median <"$work/floor.t")
full=$(median <"$work/full.t")
printf 'HX_RPT.exe (%s) under wine, median of %d runs each\n' "$preset" "$runs"
printf '%-44s median %8s ms\n' "0 bare Win32 program" "$bare" "1 floor (empty definition file)" "$floor" \
  "2 full report, no printing" "$full"
awk -v b="$bare" -v f="$floor" -v u="$full" 'BEGIN {
  printf "\n1/0 time ratio:  %.2f\n2/0 time ratio:  %.2f\n2/1 time ratio:  %.2f\n", f / b, u / b, u / f }'
