#!/usr/bin/env bash
# The fidelity gate: decodes the recorded receiver logs with navdump and fails when
# compare.py's score (fields matched, mean over the logs, cut to two decimals) is below the
# threshold. Exits 77 (skipped) when the logs or the comparer are not beside this checkout.
#   fidelity_gate.sh NAVDUMP COMPARE_PY LOG_DIR MIN_SCORE
set -u
navdump=$1 compare=$2 logs=$3 min=$4

if [ ! -d "$logs" ] || [ ! -f "$compare" ]; then
  echo "SKIPPED: no receiver logs at $logs or no $compare"
  exit 77
fi
if [ ! -x "$navdump" ]; then
  echo "no navdump at $navdump"
  exit 1
fi

report=$(python3 "$compare" --summary "$logs" --decoder "$navdump --type {protocol}")
status=$?
echo "$report"
[ $status -eq 0 ] || exit 1
score=$(printf '%s\n' "$report" | sed -n 's/^score: \([0-9.]*\) .*/\1/p' | tail -n 1)
if [ -z "$score" ]; then
  echo "compare.py printed no score"
  exit 1
fi
if ! awk -v s="$score" -v m="$min" 'BEGIN { exit !(s + 0 >= m + 0) }'; then
  echo "FAILED: score $score is below $min"
  exit 1
fi
echo "score $score >= $min"
