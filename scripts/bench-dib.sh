#!/usr/bin/env bash
# Runs the bitmap file benchmark under Wine (see tools/bench/DibBench.cpp).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/scripts/wine-env.sh"

trap wine_stop EXIT
wine_start
bin=$(wine_program_dir)
"$ROOT/scripts/wine-run" "$bin/bench_dib.exe"
