#!/usr/bin/env bash
# Runs one libFuzzer target from its seed corpus (never written to) for
# BRUME7_FUZZ_SECONDS (default 60); new inputs go to a work folder. Prints one
# line with the executions (also into WORK_FOLDER/summary.txt); on a finding
# prints the report and fails.
#   run-fuzzer.sh FUZZER SEED_CORPUS WORK_FOLDER
set -u
fuzzer=$1
seeds=$2
work=$3
seconds=${BRUME7_FUZZ_SECONDS:-60}
name=$(basename "$fuzzer")

mkdir -p "$work/corpus" "$work/findings"
log="$work/$name.log"
# The sanitizers stop at the first report; leaks count as findings too.
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
"$fuzzer" "$work/corpus" "$seeds" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$work/findings/" -print_final_stats=1 >"$log" 2>&1
status=$?

runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
summary="$name: ${runs:-0} executions in ${seconds} s (${rate:-0} per second)"
echo "$summary" | tee "$work/summary.txt"
if [ $status -ne 0 ] || grep -q -E '^(==[0-9]+==ERROR|SUMMARY: )' "$log"; then
  tail -n 60 "$log"
  echo "$name: finding saved under $work/findings/" | tee -a "$work/summary.txt"
  exit 1
fi
