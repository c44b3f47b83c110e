#!/usr/bin/env bash
# Times the silent run at logon (Autovane.exe NoUserInput) against a plain Win32 program
# that creates the same dialog and does the same registry work (tools/silent_reference.cpp),
# and against that registry work alone, under one warm Wine server. Prints the medians
# and the ratio Autovane / reference.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/scripts/wine-env.sh"
RUNS=${RUNS:-40}

command -v hyperfine >/dev/null || apt-get install -y -qq hyperfine >/dev/null
trap wine_stop EXIT
wine_start
export DISPLAY=$XVFB_DISPLAY
section='HKCU\software\Brindlework\Autovane\Logon Data'
"$WINE" reg add "$section" /v AutoLogon /d 1 /f >/dev/null 2>&1
"$WINE" reg add "$section" /v UserName /d bench /f >/dev/null 2>&1
"$WINE" reg add "$section" /v Password /d bench /f >/dev/null 2>&1
"$WINE" reg add "$section" /v Domain /d BENCH /f >/dev/null 2>&1

bin=$(wine_program_dir)
exe="$bin/Autovane.exe"
ref="$bin/silent_reference.exe"
json=$(mktemp)
hyperfine -N --warmup 5 --runs "$RUNS" --export-json "$json" \
  -n autovane "$WINE $exe NoUserInput" \
  -n reference "$WINE $ref" \
  -n registry-only "$WINE $ref --registry-only" >&2
python3 - "$json" <<'PY'
import json, sys
results = {r["command"]: r["median"] for r in json.load(open(sys.argv[1]))["results"]}
for name, median in results.items():
    print(f"{name:14s} median {median * 1000:7.1f} ms")
print(f"ratio autovane/reference: {results['autovane'] / results['reference']:.3f}")
PY
rm -f "$json"
