#!/usr/bin/env bash
# Builds the BMP header checks natively with AddressSanitizer and UndefinedBehaviorSanitizer
# into a libFuzzer target and runs it, seeded with the test bitmaps.
#   FUZZ_SECONDS  how long to run (default 180)
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
OUT="$ROOT/build-native"
SECONDS_TO_RUN=${FUZZ_SECONDS:-180}

if ! [ -f "$(clang++ -print-file-name=libclang_rt.fuzzer-x86_64.a)" ] &&
   ! ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1; then
  echo "run-native: installing the clang runtime (libFuzzer, sanitizers)" >&2
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq libclang-rt-14-dev >/dev/null
fi

mkdir -p "$OUT/corpus" "$OUT/crashes"
cp -n "$ROOT"/tests/bitmaps/*.bmp "$OUT/corpus/"
clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$ROOT" "$ROOT/graphics/BmpLayout.cpp" "$ROOT/tools/fuzz/BmpLayoutFuzzer.cpp" \
  -o "$OUT/bmp_layout_fuzzer"
cd "$OUT"
./bmp_layout_fuzzer -max_total_time="$SECONDS_TO_RUN" -max_len=4096 \
  -artifact_prefix="$OUT/crashes/" -print_final_stats=1 corpus
