#!/usr/bin/env bash
# Makes a Debian package of the program with CPack and prints the package's path and its
# contents. Usage: scripts/package.sh [BUILD_DIR]. Without BUILD_DIR the program is built
# in Release (warnings as errors, no tests) in build-release/; with one, that build (a
# Release build such as scripts/build.sh makes) is brought up to date and packaged.
# Expects scripts/setup.sh to have run.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build-release}
if [ "$build" = build-release ]; then
  cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DQUILVANE_WERROR=ON \
    -DQUILVANE_TESTS=OFF -DQUILVANE_BENCH=OFF > build-release.log 2>&1 || { cat build-release.log; exit 1; }
fi
grep -q '^CMAKE_BUILD_TYPE:STRING=Release$' "$build/CMakeCache.txt" || { echo "$build is not a Release build"; exit 1; }
cmake --build "$build" -j2
(cd "$build" && cpack -G DEB > cpack.log 2>&1) || { cat "$build/cpack.log"; exit 1; }
deb=$(ls -t "$build"/quilvane_*.deb | head -1)
echo "$deb"
contents=$(dpkg-deb --contents "$deb")
echo "$contents"
for f in ./usr/bin/quilvane ./usr/bin/quilvane-cli ./usr/share/man/man1/quilvane-cli.1 ./usr/share/quilvane/help.html ./usr/share/applications/org.quilvane.Quilvane.desktop \
         ./usr/share/icons/hicolor/scalable/apps/quilvane.svg ./usr/share/metainfo/org.quilvane.Quilvane.metainfo.xml; do
  grep -q " $f\$" <<<"$contents" || { echo "the package lacks $f"; exit 1; }
done
dpkg-deb --field "$deb" Package Version Depends
