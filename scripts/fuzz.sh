#!/usr/bin/env bash
# Builds the tag readers with clang's libFuzzer, AddressSanitizer and UBSan, and fuzzes
# them. Usage: scripts/fuzz.sh [seconds] (default 300). Not part of CI.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-300}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DQUILVANE_GUI=OFF -DQUILVANE_TESTS=OFF -DQUILVANE_BENCH=OFF \
  -DQUILVANE_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined" > /dev/null
cmake --build build-fuzz -j2 --target tag_read_fuzzer
mkdir -p build-fuzz/corpus
exec build-fuzz/tests/fuzz/tag_read_fuzzer -max_total_time="$seconds" -max_len=65536 -timeout=10 \
  -dict=tests/fuzz/id3.dict build-fuzz/corpus
