#!/usr/bin/env bash
# Installs the Debian 12 packages HX_RPT needs.
#
#   tools/setup.sh           everything: build, run and test (both Windows programs included)
#   tools/setup.sh example   only what building and running the example needs
#
# Packages already installed are skipped; uses sudo when not run as root.
set -euo pipefail

example=(
  # build: the program, HX_CHECK and the stand-in libraries
  cmake ninja-build g++ pkg-config qt6-base-dev libcups2-dev
  # run: the metric-compatible stand-in for "Courier New", Qt's platform plugins
  fonts-liberation2 qt6-qpa-plugins
)
tests=(
  # the tests themselves, and the formatting check of the sources
  libgtest-dev clang-format
  # a private print server, PDF text read-back, clang's libFuzzer for the
  # fuzz targets, strace to count the log's writes, the locales a Russian
  # and a Polish site's Windows program runs in under wine
  cups cups-client poppler-utils clang libclang-rt-14-dev strace locales
  # the Windows programs: mingw-w64 cross compilers, wine to run their tests
  # (wine32 for the 32-bit program, with the print client wine prints through)
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine64 wine32:i386 libcups2:i386
)

case ${1:-all} in
  example) packages=("${example[@]}") ;;
  all) packages=("${example[@]}" "${tests[@]}") ;;
  *)
    echo "usage: tools/setup.sh [example]" >&2
    exit 2
    ;;
esac

missing=()
for p in "${packages[@]}"; do
  [[ $p == \#* ]] && continue
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]} == 0)); then
  echo "setup: all packages present"
  exit 0
fi

sudo=()
if [[ $(id -u) -ne 0 ]]; then sudo=(sudo); fi
echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
# The 32-bit wine comes from Debian's i386 architecture.
if [[ " ${missing[*]}" == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo[@]}" dpkg --add-architecture i386
fi
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
