#!/usr/bin/env bash
# The layers of src/, written once, and the rule they keep: a folder includes
# its own headers and those of the layers below it, never a layer above it
# nor a folder beside it on its own layer.  Fails on an include that breaks
# the rule, on a folder that is in no layer, and on a toolkit or system
# header outside the platform layer that may use it (posix, qt, win32).
# Prints the layers from the bottom up.
#
# usage: tools/check_layers.sh [SRC_DIR]
set -euo pipefail
src=${1:-"$(dirname "$0")/../src"}
cd "$src"

# From the bottom up, one layer an entry; folders that share an entry stand
# beside each other.
layers=(
  "base"             # the error type and its checked arithmetic, paths, the code page, text, bounded calls
  "platform"         # the seams: printer, print device, screen, dialog, vendor libraries, clock, files, notes, helper processes, the lock
  "run"              # one run's report state; ReportError, the trap and the location labels
  "output ui"        # LinePrint and its channels, the print job; MBox1's behaviour and layout, the echo of messages
  "comm"             # the controller link; the vendor libraries in their hosts, the channel and protocol, the loader
  "definition"       # the definition file reader and its [SETUP] keys
  "report"           # values, template layout and rendering, template fields
  "app check host"   # the run of HX_RPT, HX_CHECK, the vendor host program
  "posix"            # the POSIX system's services, which every Linux program links
  "qt win32 testing" # the Linux toolkit layer, the Windows platform layer, the tests' fakes
)

declare -A level
for i in "${!layers[@]}"; do
  for folder in ${layers[i]}; do level[$folder]=$i; done
done
shown=$(printf ' < %s' "${layers[@]}")
echo "check_layers: layers from the bottom up: ${shown:3}"

# Test files may reach across layers (a unit test of ui/ uses the fakes in
# testing/); the program may not.
files=$(find . -name '*.h' -o -name '*.cpp' | sed 's#^\./##' |
  grep -v -e '_test\.cpp$' -e '_test_main\.cpp$' | sort)

status=0
for f in $files; do
  folder=${f%%/*}
  if [[ -z ${level[$folder]+set} ]]; then
    echo "src/$f: src/$folder/ is in no layer of tools/check_layers.sh"
    status=1
    continue
  fi
  while IFS=: read -r line to; do
    [[ $to == "$folder" ]] && continue
    if [[ -z ${level[$to]+set} || ${level[$to]} -ge ${level[$folder]} ]]; then
      echo "src/$f:$line: includes $to/, which is not below $folder/"
      status=1
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^/"]*\)\/.*".*/\1/;T;=;p' "$f" |
    paste -d: - -)
  # Qt and libcups belong to the Linux toolkit layer alone, the system's
  # own headers (the POSIX calls, the loader, the Win32 API and the C
  # library's Windows calls) to the platform layers: the core reaches the
  # system only through the seams.
  toolkit='Q[A-Za-z]*|Qt[A-Za-z]*/.*|cups/.*'
  system='unistd\.h|fcntl\.h|dlfcn\.h|spawn\.h|poll\.h|pwd\.h|grp\.h|dirent\.h|signal\.h|sys/.*|linux/.*|io\.h|share\.h|direct\.h|process\.h|windows\.h|winerror\.h|winbase\.h'
  case $folder in
    qt) forbidden='windows\.h|winerror\.h|io\.h|share\.h' ;;
    posix) forbidden="$toolkit|windows\\.h|winerror\\.h|io\\.h|share\\.h" ;;
    win32) forbidden="$toolkit|unistd\\.h|dlfcn\\.h|spawn\\.h|poll\\.h|pwd\\.h|linux/.*" ;;
    *) forbidden="$toolkit|$system" ;;
  esac
  if hits=$(grep -nE "^[[:space:]]*#[[:space:]]*include[[:space:]]*<($forbidden)>" "$f"); then
    sed "s#^#src/$f:#; s#\$#  <- not allowed in src/$folder/#" <<<"$hits"
    status=1
  fi
done
exit "$status"
