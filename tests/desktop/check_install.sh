#!/usr/bin/env bash
# Installs the build BUILD into a fresh PREFIX and checks that exactly the files of
# EXPECTED (one path a line, relative to the prefix) are there and that they work.
#   check_install.sh BUILD PREFIX EXPECTED VERSION
set -euo pipefail
build=$1 prefix=$2 expected=$3 version=$4

rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
if ! diff -u "$expected" <(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort); then
  echo "the installed files differ from $expected (-expected +installed)"
  exit 1
fi
# The installed programs run from where they are.
said=$("$prefix/bin/velunka-sfx" --version)
[ "$said" = "velunka-sfx $version" ] || { echo "installed velunka-sfx says \"$said\""; exit 1; }
# Every icon is a PNG of the size its folder names.
for icon in "$prefix"/share/icons/hicolor/*/apps/*.png; do
  size=$(basename "$(dirname "$(dirname "$icon")")")
  width=$((16#$(od -An -tx1 -j16 -N4 "$icon" | tr -d ' \n')))
  height=$((16#$(od -An -tx1 -j20 -N4 "$icon" | tr -d ' \n')))
  [ "${width}x${height}" = "$size" ] || { echo "$icon is ${width}x${height}"; exit 1; }
done
# The manual pages are compressed, and their version is the build's.
zcat "$prefix/share/man/man6/velunka.6.gz" | grep -q "\"velunka $version\"" ||
  { echo "velunka(6) does not name version $version"; exit 1; }
echo "installed: $(wc -l <"$expected") files as expected"
