#!/usr/bin/env bash
# Runs every test under Wine: a warm wine server and an Xvfb display for the whole run.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/scripts/wine-env.sh"

trap wine_stop EXIT
wine_start
bin=$(wine_program_dir)
case "$bin" in
  */build) tested="the shipped 32-bit build (build/, under WOW64)" ;;
  *) tested="the 64-bit build (build-x64/): the shipped 32-bit build was NOT tested" ;;
esac
echo "make test: testing $tested"
cd "$bin"
status=0
ctest --output-on-failure --timeout 300 "$@" || status=$?
echo "make test: tested $tested"
exit $status
