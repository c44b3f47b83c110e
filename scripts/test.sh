#!/usr/bin/env bash
# Runs every test under Wine: a warm wine server and an Xvfb display for the whole run.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/scripts/wine-env.sh"

trap wine_stop EXIT
wine_start
cd "$ROOT/build-x64"
ctest --output-on-failure --timeout 300 "$@"
