# Sourced by the shell system tests: checks count their failures and the script ends with one
# verdict.
#   fail MESSAGE...   prints "FAIL: MESSAGE" and counts it
#   verdict NAME      exits 1 after any failure, else prints "NAME passed"
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

verdict() {
  if [ "$failures" -ne 0 ]; then
    echo "$failures failure(s)"
    exit 1
  fi
  echo "$1 passed"
}
