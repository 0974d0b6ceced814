#!/usr/bin/env bash
# Runs a Windows program of the cross build under wine: the emulator that
# ctest and GoogleTest's test discovery call for every test program.
#
# usage: wine_run.sh PREFIX PROGRAM.exe [ARGUMENTS...]
#        wine_run.sh PREFIX --stop     (ends the prefix's wine server)
#
# PREFIX is a wine prefix of the build's own, made on first use, so that a
# run does not depend on ~/.wine.  The prefix's wine server is started here
# once and kept alive between programs (a server started by a program would
# hold ctest's output pipe open after the program ended); --stop ends it.
#
# Wine runs a program it cannot load (a 32-bit one without wine32, say) as
# a successful run that did nothing.  So a GoogleTest program passes only
# when its output shows that tests ran: a listing must list something, and a
# run must end with GoogleTest's "PASSED" line.
set -euo pipefail

WINEPREFIX=$(realpath -m "$1")
export WINEPREFIX
shift
export WINEDEBUG=${WINEDEBUG:--all}
# No prompts to fetch .NET or the HTML engine, no menu entries for the user.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}

if [[ ${1:-} == --stop ]]; then
  if [[ -d $WINEPREFIX ]]; then wineserver -k 2>/dev/null || true; fi
  exit 0
fi

mkdir -p "$(dirname "$WINEPREFIX")"
(
  # One program makes the prefix; the others, started in parallel, wait.
  flock 9
  # A prefix made by another version of this script is made anew.
  version=$(md5sum <"${BASH_SOURCE[0]}")
  if [[ $(cat "$WINEPREFIX/.hx_ready" 2>/dev/null) != "$version" ]]; then
    if [[ -d $WINEPREFIX ]]; then
      wineserver -k 2>/dev/null || true
      wineserver -w
      rm -rf "$WINEPREFIX"
    fi
    wineboot --init </dev/null >/dev/null 2>&1 9>&-
    # Windows are made but drawn nowhere: the tests need no display.
    wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f \
      </dev/null >/dev/null 2>&1 9>&-
    # Wine brings no "Courier New", the program's font; the metric-
    # compatible Liberation Mono stands in, as it does for the Linux program.
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
      /v 'Courier New' /d 'Liberation Mono' /f </dev/null >/dev/null 2>&1 9>&-
    # A program that crashes (a vendor library's host, in the fault tests)
    # ends at once instead of waiting behind a crash dialog nobody sees.
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
      </dev/null >/dev/null 2>&1 9>&-
    # The server writes the registry out as it ends, once the prefix is idle.
    wineserver -w
    echo "$version" >"$WINEPREFIX/.hx_ready"
  fi
  # Starting the server fails when one runs already.  A new server gets its
  # system processes here too, so that none of them is started by a test
  # program and inherits its output.
  if wineserver -p </dev/null >/dev/null 2>&1 9>&-; then
    wineboot </dev/null >/dev/null 2>&1 9>&-
  fi
) 9>"$WINEPREFIX.lock"

program=$1
gtest_mode=
for arg in "$@"; do
  case $arg in
    --gtest_list_tests) gtest_mode=list ;;
    --gtest_filter=*) gtest_mode=${gtest_mode:-run} ;;
  esac
done

if [[ -z $gtest_mode ]]; then
  exec wine "$@"
fi

output=$(mktemp)
trap 'rm -f "$output"' EXIT
# Now and then wine fails to start a program at all ("Application could not
# be started ... ShellExecuteEx failed: Internal error") and runs nothing of
# it; a failed listing then ends the whole test run.  Such a start is tried
# again, twice at most: a program that cannot be loaded still fails.
for attempt in 1 2 3; do
  status=0
  wine "$@" 2>&1 | tee "$output" || status=${PIPESTATUS[0]}
  if ((status == 0)) || ! grep -q '^Application could not be started' "$output" ||
    ((attempt == 3)); then
    break
  fi
  echo "wine_run.sh: wine could not start $program; trying again" >&2
  sleep 1
done
# Wine writes the program's line ends as they are; the checks go by lines.
sed -i 's/\r$//' "$output"
if ((status != 0)); then exit "$status"; fi
case $gtest_mode in
  list)
    if ! grep -q '^[^ ]' "$output"; then
      echo "wine_run.sh: $program listed no tests; did it run at all?" >&2
      exit 1
    fi
    ;;
  run)
    if ! grep -q '^\[==========\] [1-9][0-9]* tests\? from .* ran\.' "$output"; then
      echo "wine_run.sh: $program ran no test; did it run at all?" >&2
      exit 1
    fi
    ;;
esac
