#!/usr/bin/env bash
# The layer check passes on the tree and fails on one upward include, naming it.
#   CheckLayersTest.sh SOURCE_DIR
set -euo pipefail
src=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$src/scripts/check-layers" "$src" || { echo "FAIL: the tree itself breaks its layers"; exit 1; }
for dir in platform net query table dlgutil uictrl resources app tools scripts; do
  cp -r "$src/$dir" "$tmp/"
done
printf '#include "app/core/Settings.h"\n' >> "$tmp/net/SockAddr.h"
if out=$("$tmp/scripts/check-layers" "$tmp" 2>&1); then
  echo "FAIL: an include from net into app/core passed"; exit 1
fi
grep -q 'net/SockAddr.h:.*net may not include app/core/Settings.h' <<<"$out" ||
  { echo "FAIL: the message does not name the include: $out"; exit 1; }
echo "the layer check holds"
