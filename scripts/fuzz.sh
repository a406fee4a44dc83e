#!/usr/bin/env bash
# Builds the tag readers and writers with clang's libFuzzer, AddressSanitizer and UBSan,
# and fuzzes each target from seeds of every kind of tag. Usage:
#   scripts/fuzz.sh [seconds per target] [target...]   (default 300; both targets)
# Not part of CI.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-300}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(tag_read_fuzzer tag_write_fuzzer)
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DQUILVANE_GUI=OFF -DQUILVANE_TESTS=OFF -DQUILVANE_BENCH=OFF \
  -DQUILVANE_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined" > /dev/null
cmake --build build-fuzz -j2 --target write_seeds "${targets[@]}"
mkdir -p build-fuzz/seeds
build-fuzz/tests/fuzz/write_seeds build-fuzz/seeds
for target in "${targets[@]}"; do
  mkdir -p "build-fuzz/corpus-$target"
  build-fuzz/tests/fuzz/$target -max_total_time="$seconds" -max_len=65536 -timeout=10 \
    -dict=tests/fuzz/id3.dict "build-fuzz/corpus-$target" build-fuzz/seeds
done
