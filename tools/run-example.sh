#!/usr/bin/env bash
# Sets up, builds and starts HX_RPT on the bundled example plant.  Installs
# and builds only what the example needs (the program, HX_CHECK and the
# stand-in libraries, not the tests).  The example's definition file and
# simulated controllers lie next to the built program in build/default/bin.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/setup.sh example
cmake --preset example
cmake --build --preset example -j "$(nproc)"
cd build/default/bin
status=0
./HX_RPT || status=$?
echo "HX_RPT ended with exit status $status; its log file: build/default/bin/HX_RPT.LOG"
exit "$status"
