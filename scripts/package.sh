#!/usr/bin/env bash
# Builds the program in Release (warnings as errors, no tests) in build-release/ and makes
# a Debian package of it there with CPack; prints the package's path and its contents.
# Expects scripts/setup.sh to have run.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DQUILVANE_WERROR=ON \
  -DQUILVANE_TESTS=OFF -DQUILVANE_BENCH=OFF > build-release.log 2>&1 || { cat build-release.log; exit 1; }
cmake --build build-release -j2
(cd build-release && cpack -G DEB > cpack.log 2>&1) || { cat build-release/cpack.log; exit 1; }
deb=$(ls -t build-release/quilvane_*.deb | head -1)
echo "$deb"
contents=$(dpkg-deb --contents "$deb")
echo "$contents"
for f in ./usr/bin/quilvane ./usr/bin/quilvane-cli ./usr/share/man/man1/quilvane-cli.1 ./usr/share/quilvane/help.html ./usr/share/applications/org.quilvane.Quilvane.desktop \
         ./usr/share/icons/hicolor/scalable/apps/quilvane.svg ./usr/share/metainfo/org.quilvane.Quilvane.metainfo.xml; do
  grep -q " $f\$" <<<"$contents" || { echo "the package lacks $f"; exit 1; }
done
dpkg-deb --field "$deb" Package Version Depends
