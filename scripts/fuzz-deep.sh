#!/bin/bash
# Runs every native fuzz target for a fixed number of executions (10 million unless RUNS is
# set), one after another, and prints each count. Fails on the first finding.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${NATIVE_BUILD_DIR:-$root/build-native}
runs=${RUNS:-10000000}
targets=${TARGETS:-"address_walk_fuzz string_list_fuzz path_fuzz hold_book_fuzz recipient_oracle_fuzz setting_values_fuzz zone_command_fuzz outside_insert_fuzz confirm_rows_fuzz domain_history_fuzz"}

CXX=clang++ cmake -G Ninja -S "$root/native" -B "$build" >/dev/null
cmake --build "$build" -j "${JOBS:-1}"

for target in $targets; do
  work="$build/fuzz-corpus/$target"
  mkdir -p "$work"
  dict=()
  [ -f "$root/fuzz/$target.dict" ] && dict=(-dict="$root/fuzz/$target.dict")
  log="$build/$target.deep.log"
  start=$(date +%s)
  (cd "$build" && "./$target" -runs="$runs" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    "${dict[@]}" "$work" "$root/fuzz/corpus/$target" >"$log" 2>&1) || {
    tail -n 60 "$log"
    echo "fuzzing $target found a fault"
    exit 1
  }
  executed=$(grep -E 'stat::number_of_executed_units' "$log" | awk '{print $2}')
  echo "$target: $executed executions in $(($(date +%s) - start)) s, no finding"
done
