#!/usr/bin/env bash
# Configures and builds everything (program, tests, benchmarks) into build/, in Release:
# the configuration packagers use, so that CI can package this very build.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DQUILVANE_WERROR=ON > build.log 2>&1 || { cat build.log; exit 1; }
cmake --build build -j2
