#!/usr/bin/env bash
# What CI does beyond the README's test command: packages the Release build the tests
# ran on (build/, warnings as errors), then builds the core, window and command-line tests
# with AddressSanitizer and UBSan and runs them once. Expects scripts/setup.sh and
# scripts/build.sh to have run.
set -euo pipefail
cd "$(dirname "$0")/.."

echo "== Debian package of the Release build"
scripts/package.sh build

echo "== Tests under AddressSanitizer and UBSan"
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DQUILVANE_WERROR=ON -DQUILVANE_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="-O1 -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined" \
  > build-sanitize.log 2>&1 || { cat build-sanitize.log; exit 1; }
cmake --build build-sanitize -j2
cd build-sanitize
# Qt's own allocations that live until exit are not this program's leaks.
ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=offscreen ctest -j2 --output-on-failure
