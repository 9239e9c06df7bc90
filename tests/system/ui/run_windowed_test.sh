#!/usr/bin/env bash
# Runs a Windows test program that opens windows under Wine. Its output goes through a file:
# Wine's desktop process, started by the first window, inherits the output descriptors and
# outlives the test, so a pipe to ctest would never close.
set -u
wine_run="$1"
test_exe="$2"
log="$(mktemp)"
"$wine_run" "$test_exe" >"$log" 2>&1 </dev/null
rc=$?
cat "$log"
rm -f "$log"
exit $rc
