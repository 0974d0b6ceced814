#!/usr/bin/env bash
# Sets up, builds and starts HX_RPT on the bundled example plant.  Installs
# and builds only what the example needs (the program, HX_CHECK and the
# stand-in libraries, not the tests).  The example's definition file and
# simulated controllers lie next to the built program in build/default/bin.
# Without a display, where the program draws off screen and nobody sees its
# window, the report it logged is printed here, and then what HX_CHECK --live
# finds when it asks the simulated plant for every tag once.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/setup.sh example
cmake --preset example
cmake --build --preset example -j "$(nproc)"
cd build/default/bin
logged_before=$(stat -c %s HX_RPT.LOG 2>/dev/null || echo 0)
status=0
./HX_RPT || status=$?
echo "HX_RPT ended with exit status $status; its log file: build/default/bin/HX_RPT.LOG"
if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} ]]; then
  echo
  echo "The report of this run, as HX_RPT logged it:"
  tail -c +"$((logged_before + 1))" HX_RPT.LOG | tr -d '\r'
  echo
  echo "HX_CHECK --live on the example plant:"
  ./HX_CHECK --live || true
fi
exit "$status"
