#!/usr/bin/env bash
# Builds the fuzz targets with clang in build/fuzz and runs each of them for a
# bounded time on a copy of its corpus, after replaying the inputs kept in
# fuzz/regressions/<target>/.  Fails when any target crashes, hangs, runs out
# of memory, draws a sanitizer report or finds a property broken.
#
#   HX_FUZZ_SECONDS  fuzzing time per target (default 15)
#   HX_FUZZ_JOBS     parallel build jobs (default 2)
#
# What the fuzzer adds to the corpus stays in a temporary folder; an input
# that fails is kept in build/fuzz/findings/<target>/ and its path printed.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${HX_FUZZ_SECONDS:-15}"
jobs="${HX_FUZZ_JOBS:-2}"
build=build/fuzz
targets=(definition tag_line render numeric tag_value log check vendor_message)

if ! command -v clang++ >/dev/null; then
  echo "fuzz/run.sh needs clang++ with libFuzzer (Debian: clang, libclang-rt-14-dev)" >&2
  exit 1
fi

# Warnings are the business of the regular builds; clang's own set must not
# keep the fuzzers from running.
cmake -S . -B "$build" -G Ninja \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHX_FUZZ=ON -DHX_WERROR=OFF >/dev/null
cmake --build "$build" -j "$jobs" --target "${targets[@]/#/fuzz_}"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export TMPDIR="$work"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

failed=()
for target in "${targets[@]}"; do
  binary="$build/fuzz/fuzz_$target"
  findings="$build/findings/$target"
  log="$work/$target.log"
  mkdir -p "$findings" "$work/corpus/$target"
  cp -R "fuzz/corpus/$target/." "$work/corpus/$target/"

  regressions=()
  if [[ -d "fuzz/regressions/$target" ]]; then
    mapfile -t regressions < <(find "fuzz/regressions/$target" -type f | sort)
  fi
  if ((${#regressions[@]})) &&
    ! "$binary" -timeout=10 -rss_limit_mb=2048 "${regressions[@]}" >"$log" 2>&1; then
    echo "== $target: a kept regression input fails"
    tail -n 40 "$log"
    failed+=("$target")
    continue
  fi

  echo "== $target: fuzzing for ${seconds}s"
  if "$binary" "$work/corpus/$target" \
      -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$findings/" >"$log" 2>&1; then
    grep -E '^(stat::number_of_executed_units|stat::new_units_added)' "$log" | tr '\n' ' '
    echo
  else
    echo "== $target: FAILED"
    grep -E 'PROPERTY VIOLATED|ERROR:|SUMMARY:' -A 12 "$log" | head -n 60 || tail -n 40 "$log"
    grep -E '^artifact_prefix|Test unit written to' "$log" || true
    failed+=("$target")
  fi
done

if ((${#failed[@]})); then
  echo "fuzzing failed: ${failed[*]}"
  exit 1
fi
echo "fuzzing passed: ${targets[*]}"
