#!/bin/bash
# Scenarios in the stand-in client with Wine's trace of the Event Log and the log-off reason on
# (wine_trace.h). Each argument is a chain of runs, "name:least,name:least", one after another
# in one trace file; least is how many expectations must pass. A run fails on any FAIL, and a
# run that reaches its end must meet every expectation.
# Usage (from the build directory, in a Wine prefix): run_traced.sh ZVHOST CHAIN...
set -uo pipefail
zvhost=$1
shift
failed=0
for chain in "$@"; do
  trace=$(mktemp trace.XXXXXX)
  IFS=, read -ra runs <<<"$chain"
  for run in "${runs[@]}"; do
    name=${run%%:*}
    least=${run##*:}
    output=$(WINEDEBUG=-all,fixme+advapi,+eventlog,fixme+graphics \
      wine "$zvhost" --scenario "scenarios\\$name.txt" --trace "$trace" 2>>"$trace" | tr -d '\r')
    passed=$(grep -c "PASS line" <<<"$output")
    result=$(grep -o "result: [0-9]* of [0-9]*" <<<"$output")
    if grep -q "FAIL" <<<"$output" || ((passed < least)) ||
      { [ -n "$result" ] && [ "$(cut -d' ' -f2 <<<"$result")" != "$(cut -d' ' -f4 <<<"$result")" ]; }; then
      echo "$output"
      echo "$name: $passed expectations passed, at least $least expected; ${result:-no result}" >&2
      failed=1
    else
      echo "$name: $passed expectations passed${result:+ ($result)}"
    fi
  done
  rm -f "$trace"
done
exit $failed
