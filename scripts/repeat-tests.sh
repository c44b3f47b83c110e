#!/usr/bin/env bash
# Runs `make test` several times in a row (20 unless told otherwise) and prints the tally,
# so that a test that fails now and then shows itself here rather than in CI. The output
# of each run is kept in build/repeat/; those of failed runs are named in the tally.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-20}
logs="$ROOT/build/repeat"
rm -rf "$logs" && mkdir -p "$logs"

passed=0
failed=0
for run in $(seq "$runs"); do
  start=$(date +%s)
  if make -C "$ROOT" --no-print-directory test >"$logs/run-$run.log" 2>&1; then
    passed=$((passed + 1))
    result=passed
  else
    failed=$((failed + 1))
    result="FAILED (build/repeat/run-$run.log)"
  fi
  echo "run $run: $result in $(($(date +%s) - start)) s"
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
