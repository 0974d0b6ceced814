#!/usr/bin/env bash
# Installs the Debian 12 packages HX_RPT needs to build, run and test.
# Packages already installed are skipped; uses sudo when not run as root.
set -euo pipefail

packages=(
  # build
  cmake ninja-build g++ pkg-config qt6-base-dev libcups2-dev libgtest-dev
  # run: the metric-compatible stand-in for "Courier New", Qt's platform plugins
  fonts-liberation2 qt6-qpa-plugins
  # test: a private print server, PDF text read-back, clang's libFuzzer for
  # the fuzz targets, strace to count the log's writes
  cups cups-client poppler-utils clang libclang-rt-14-dev strace
)

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
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
