#!/usr/bin/env bash
# The desktop installation: the installed tree, its launcher entry, the browser started as the
# launcher starts it, and the Debian package's file list.
#   CheckInstall.sh BUILD_DIR
set -euo pipefail
build=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$tmp/usr" >/dev/null
for f in bin/vantrel bin/vantrel-query bin/vantrel-testnet libexec/vantrel/vantrel-winexec.exe \
         share/applications/vantrel.desktop; do
  [ -f "$tmp/usr/$f" ] || fail "not installed: $f"
done
for size in 16 32 48 128 256; do
  png=$tmp/usr/share/icons/hicolor/${size}x${size}/apps/vantrel.png
  [ -f "$png" ] || fail "no ${size} px icon"
  # Width and height are the big-endian words at bytes 16 and 20 of a PNG.
  dims=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4, $7*256+$8}')
  [ "$dims" = "$size $size" ] || fail "the ${size} px icon is $dims"
done
desktop-file-validate "$tmp/usr/share/applications/vantrel.desktop" || fail "desktop entry"

# Software centres: valid AppStream metadata that launches the installed menu entry.
metainfo=$tmp/usr/share/metainfo/invalid.vantrel.browser.metainfo.xml
[ -f "$metainfo" ] || fail "no AppStream metadata"
appstreamcli validate --no-net "$metainfo" >"$tmp/appstream.txt" 2>&1 ||
  fail "AppStream metadata: $(cat "$tmp/appstream.txt")"
grep -q '<launchable type="desktop-id">vantrel.desktop</launchable>' "$metainfo" ||
  fail "the metadata does not launch vantrel.desktop"

# Every program has its manual, which renders without a warning, and answers --help and
# --version on standard output with status 0, without a display.
for program in vantrel vantrel-query vantrel-testnet; do
  page=$tmp/usr/share/man/man1/$program.1.gz
  [ -f "$page" ] || fail "no manual page for $program"
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "the manual of $program warns: $warnings"
  usage=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$tmp/usr/bin/$program" --help) ||
    fail "$program --help failed"
  grep -q "^usage: $program" <<<"$usage" || fail "$program --help prints no usage"
  version=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$tmp/usr/bin/$program" --version) ||
    fail "$program --version failed"
  [ "$version" = "$program 1.0.0" ] || fail "$program --version printed '$version'"
done
grep -qx 'Exec=vantrel --data-home' "$tmp/usr/share/applications/vantrel.desktop" ||
  fail "the launcher does not start the browser in its data folder"

# Started as the launcher starts it, from some other folder: the data folder is made and used.
# The master is given as an address, since resolving the default host name would leave this
# machine.
mkdir -p "$tmp/elsewhere" "$tmp/config"
(cd "$tmp/elsewhere" && XDG_DATA_HOME=$tmp/data VANTREL_CONFIG_DIR=$tmp/config \
  QT_QPA_PLATFORM=offscreen "$tmp/usr/bin/vantrel" --data-home --startup-query nothing \
  --master 127.0.0.1:28060 --screenshot shot.png) || fail "the installed browser did not run"
[ -f "$tmp/data/vantrel/shot.png" ] || fail "the browser did not run in \$XDG_DATA_HOME/vantrel"
[ -z "$(ls -A "$tmp/elsewhere")" ] || fail "the browser wrote into the folder it was started from"

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/package" >/dev/null
deb=$(ls "$tmp"/package/vantrel_*.deb)
list=$(dpkg -c "$deb" | awk '{print $NF}')
for f in ./usr/bin/vantrel ./usr/bin/vantrel-query ./usr/bin/vantrel-testnet \
         ./usr/libexec/vantrel/vantrel-winexec.exe ./usr/share/applications/vantrel.desktop \
         ./usr/share/icons/hicolor/48x48/apps/vantrel.png; do
  grep -qxF "$f" <<<"$list" || fail "the package lacks $f"
done
for f in ./usr/share/metainfo/invalid.vantrel.browser.metainfo.xml \
         ./usr/share/man/man1/vantrel.1.gz ./usr/share/man/man1/vantrel-query.1.gz \
         ./usr/share/man/man1/vantrel-testnet.1.gz; do
  grep -qxF "$f" <<<"$list" || fail "the package lacks $f"
done
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || fail "the package does not depend on Qt"

# Debian's own check of the package: no error and no warning (its remarks are for packages
# built from a Debian source package: hardening flags, stripped comment sections).
if command -v lintian >/dev/null; then
  lintian --tag-display-limit 0 "$deb" >"$tmp/lintian.txt" 2>&1 || true
  if grep -E '^[EW]: ' "$tmp/lintian.txt" >"$tmp/lintian-left.txt"; then
    fail "lintian: $(cat "$tmp/lintian-left.txt")"
  fi
fi
echo "installed tree, desktop entry and package are complete"
