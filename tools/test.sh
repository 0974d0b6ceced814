#!/usr/bin/env bash
# Sets up, checks the formatting of every C++ source, then builds and runs
# every test: the normal build, then the same suite under AddressSanitizer
# and UndefinedBehaviorSanitizer, then each fuzz target for a bounded time,
# then the 32-bit and the 64-bit Windows programs with their tests under wine.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/setup.sh
results=$(mktemp)
trap 'rm -f "$results"' EXIT
# A failing test does not stop the rest: the closing line counts them all,
# and the exit status is not 0 when anything failed.
status=0
echo "== formatting"
formatted=true
git ls-files -z '*.cpp' '*.h' | xargs -0 -r clang-format --dry-run -Werror || formatted=false
for preset in default asan; do
  echo "== $preset build"
  cmake --preset "$preset"
  cmake --build --preset "$preset" -j "$(nproc)"
  ctest --preset "$preset" -j "$(nproc)" | tee -a "$results" || status=1
done
echo "== fuzz targets"
fuzz/run.sh || status=1
for preset in win32 win64; do
  echo "== $preset build (tests under wine)"
  cmake --preset "$preset"
  cmake --build --preset "$preset" -j "$(nproc)"
  ctest --preset "$preset" -j "$(nproc)" | tee -a "$results" || status=1
done

read -r total failed < <(sed -n 's/.* \([0-9]*\) tests failed out of \([0-9]*\)$/\2 \1/p' "$results" |
  awk '{t += $1; f += $2} END {print t + 0, f + 0}')
if ! $formatted; then
  echo "formatting: the sources named above differ from .clang-format (clang-format -i mends them)"
  status=1
fi
echo "summary: $((total - failed)) passed, $failed failed"
exit "$status"
