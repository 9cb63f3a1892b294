#!/usr/bin/env bash
# Makes the Debian package of the build BUILD in WORK, as tools/package does, and checks
# its name, its fields, its files (EXPECTED, relative to /usr) and its dependency line:
# every library the executables load directly must come from a package it names, and
# the line must be computed, not written into the build.
#   check_package.sh BUILD WORK EXPECTED VERSION
set -euo pipefail
build=$1 work=$2 expected=$3 version=$4

fail() {
  echo "$*"
  exit 1
}

rm -rf "$work"
mkdir -p "$work"
cpack --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack failed"; }
deb="$work/velunka_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no $deb; made: $(ls "$work")"

for field in Package:velunka Version:"$version" Section:games; do
  value=$(dpkg-deb -f "$deb" "${field%%:*}")
  [ "$value" = "${field#*:}" ] || fail "${field%%:*} is \"$value\""
done

diff -u <(sed 's|^|usr/|' "$expected") \
  <(dpkg-deb -c "$deb" | awk '{print $6}' | grep -v '/$' | sed 's|^\./||' | LC_ALL=C sort) ||
  fail "the packaged files differ from $expected (-expected +packaged)"

grep -q CPACK_DEBIAN_PACKAGE_DEPENDS "$build/CPackConfig.cmake" &&
  fail "the build writes the package's dependencies by hand"
depends=$(dpkg-deb -f "$deb" Depends)
[ -n "$depends" ] || fail "the package declares no dependencies"

# The package of the file at path, looked up under both names of a merged /usr.
owner() {
  local path=$1 found
  for candidate in "$path" "${path#/usr}" "/usr$path"; do
    found=$(dpkg -S "$candidate" 2>/dev/null | head -1) && [ -n "$found" ] &&
      { echo "${found%%:*}"; return; }
  done
}

dpkg-deb -x "$deb" "$work/root"
checked=0
for program in velunka velunka-sfx; do
  binary="$work/root/usr/bin/$program"
  for soname in $(readelf -d "$binary" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
    path=$(ldd "$binary" | awk -v name="$soname" '$1 == name {print $3}')
    [ -n "$path" ] || fail "$program needs $soname, which is not found"
    package=$(owner "$(readlink -f "$path")")
    [ -n "$package" ] || package=$(owner "$path")
    [ -n "$package" ] || fail "no package owns $path"
    [[ ", $depends," == *", $package "* || ", $depends," == *", $package,"* ]] ||
      fail "$program needs $soname from $package, which Depends lacks: $depends"
    checked=$((checked + 1))
  done
done
[ "$checked" -gt 3 ] || fail "only $checked libraries found; readelf or ldd did not work"
echo "package: $(basename "$deb"), $checked direct library needs covered by: $depends"
