#!/usr/bin/env bash
# Installs the built program into a scratch root and checks that every file lands in its
# standard place and that the desktop entry and the AppStream record are valid.
# Usage: scripts/check_install.sh BUILD_DIR
set -euo pipefail
build=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT

DESTDIR="$root" cmake --install "$build" --prefix /usr >/dev/null
for f in bin/quilvane bin/quilvane-cli share/man/man1/quilvane-cli.1 share/quilvane/help.html share/applications/org.quilvane.Quilvane.desktop \
         share/icons/hicolor/scalable/apps/quilvane.svg share/metainfo/org.quilvane.Quilvane.metainfo.xml; do
  [ -e "$root/usr/$f" ] || { echo "missing after install: /usr/$f"; exit 1; }
done
[ -x "$root/usr/bin/quilvane" ] || { echo "/usr/bin/quilvane is not executable"; exit 1; }

[ -x "$root/usr/bin/quilvane-cli" ] || { echo "/usr/bin/quilvane-cli is not executable"; exit 1; }
# The manual page renders without a warning from groff.
warnings=$(man --warnings -E UTF-8 -l "$root/usr/share/man/man1/quilvane-cli.1" 2>&1 >/dev/null)
[ -z "$warnings" ] || { echo "quilvane-cli.1: $warnings"; exit 1; }

desktop-file-validate "$root/usr/share/applications/org.quilvane.Quilvane.desktop"
appstreamcli validate --no-net "$root/usr/share/metainfo/org.quilvane.Quilvane.metainfo.xml"
grep -q '^Name\[zh_CN\]=' "$root/usr/share/applications/org.quilvane.Quilvane.desktop"
grep -q '^Categories=AudioVideo;Audio;Utility;$' "$root/usr/share/applications/org.quilvane.Quilvane.desktop"
echo "install layout and desktop files valid"
