#!/usr/bin/env bash
# Derives the folder graph of src/ from the #include lines of its non-test
# files and fails when the graph has a cycle, or when a toolkit or system
# header turns up outside the platform layer that may use it.  Prints the
# folders from the bottom layer up.
#
# usage: tools/check_layers.sh [SRC_DIR]
set -euo pipefail
src=${1:-"$(dirname "$0")/../src"}
cd "$src"

# Test files and test support may reach across layers; the program may not.
files=$(find . -name '*.h' -o -name '*.cpp' | sed 's#^\./##' |
  grep -v -e '_test\.cpp$' -e '_test_main\.cpp$' -e '^testing/' | sort)

status=0
edges=$(mktemp)
trap 'rm -f "$edges"' EXIT
for f in $files; do
  folder=${f%%/*}
  echo "$folder $folder" >>"$edges"
  sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^/"]*\)\/.*".*/\1/p' "$f" |
    while read -r to; do
      if [[ $to != "$folder" ]]; then echo "$to $folder"; fi
    done >>"$edges"
  # Qt, libcups and the POSIX loader belong to the Linux layer alone; the
  # Win32 API to the Windows layer alone.
  case $folder in
    qt) forbidden='windows\.h' ;;
    win32) forbidden='Q[A-Za-z]*|Qt[A-Za-z]*/.*|cups/.*|dlfcn\.h' ;;
    *) forbidden='Q[A-Za-z]*|Qt[A-Za-z]*/.*|cups/.*|dlfcn\.h|windows\.h' ;;
  esac
  if hits=$(grep -nE "^[[:space:]]*#[[:space:]]*include[[:space:]]*<($forbidden)>" "$f"); then
    sed "s#^#src/$f:#; s#\$#  <- not allowed in src/$folder/#" <<<"$hits"
    status=1
  fi
done

# tsort lists a node before the nodes that depend on it and names every
# folder that takes part in a loop.
if ! order=$(tsort <"$edges" 2>&1 >/dev/null) || [[ -n $order ]]; then
  echo "check_layers: the folders of src/ include each other in a loop:"
  sed 's/^tsort: \(-: \)\?//' <<<"$order"
  status=1
fi
order=$(tsort <"$edges" 2>/dev/null | tr '\n' ' ')
[[ $status -eq 0 ]] && echo "check_layers: layers from the bottom up:" $order
sort -u "$edges" | awk '$1 != $2 { print "  " $2 " -> " $1 }'
exit "$status"
