#!/bin/bash
# Host build of the Win32-free text code: sanitized unit tests, then every
# fuzz target for a bounded time. Fails on any test failure or fuzz finding.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${NATIVE_BUILD_DIR:-$root/build-native}
fuzz_seconds=${FUZZ_SECONDS:-10}

CXX=clang++ cmake -G Ninja -S "$root/native" -B "$build" >/dev/null
cmake --build "$build" -j 2

echo "== native unit tests (ASan + UBSan)"
(cd "$build" && ctest --output-on-failure -E '^lookalike_(quality|bench)$')

# Their numbers belong in the log, not only their verdict.
echo "== look-alike marks on realistic lists"
"$build/lookalike_quality" "$root/bench/lookalike-data"
echo "== look-alike check timed"
"$build/lookalike_bench"

# Seeds stay untouched in the repository; each run grows a scratch corpus.
for target in address_walk_fuzz string_list_fuzz path_fuzz hold_book_fuzz recipient_oracle_fuzz \
  setting_values_fuzz zone_command_fuzz outside_insert_fuzz confirm_rows_fuzz domain_history_fuzz \
  lookalike_fuzz bcc_move_fuzz encoded_words_fuzz; do
  echo "== fuzzing $target for ${fuzz_seconds}s"
  work="$build/fuzz-corpus/$target"
  mkdir -p "$work"
  dict=()
  [ -f "$root/fuzz/$target.dict" ] && dict=(-dict="$root/fuzz/$target.dict")
  (cd "$build" && "./$target" -max_total_time="$fuzz_seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 "${dict[@]}" "$work" "$root/fuzz/corpus/$target" >"$build/$target.log" 2>&1) || {
    tail -n 60 "$build/$target.log"
    echo "fuzzing $target found a fault"
    exit 1
  }
  grep -E '^Done|stat::number_of_executed_units' "$build/$target.log" | head -2
done
echo "native tests and fuzzing passed"
