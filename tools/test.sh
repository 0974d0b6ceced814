#!/usr/bin/env bash
# Sets up, builds and runs every test: the normal build, then the same suite
# under AddressSanitizer and UndefinedBehaviorSanitizer, then each fuzz
# target for a bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/setup.sh
for preset in default asan; do
  echo "== $preset build"
  cmake --preset "$preset"
  cmake --build --preset "$preset" -j "$(nproc)"
  ctest --preset "$preset" -j "$(nproc)"
done
echo "== fuzz targets"
fuzz/run.sh
