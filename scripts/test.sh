#!/usr/bin/env bash
# Sets up, builds and runs every test. The window tests run on Qt's offscreen platform.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
cd build
QT_QPA_PLATFORM=offscreen ctest -j2 --output-on-failure
