#!/usr/bin/env bash
# `cpack -G DEB` makes a package whose dependencies are right: every shared library the
# programs use (found by dpkg-shlibdeps) and the SoundFont; apt resolves it; the programs, the
# menu entry, the icons and the manual pages are in it. Exits 77 (skipped) without dpkg-deb,
# dpkg-shlibdeps or apt-get.
# Usage: debian_package_test.sh BUILD_DIR VERSION
set -u
build=$1
version=$2
for tool in dpkg-deb dpkg-shlibdeps apt-get; do
  command -v "$tool" >/dev/null ||
    { echo "skipped: $tool is not installed (packages dpkg, dpkg-dev, apt)"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
  fail "cpack failed: $(tail -20 "$work/cpack.log")"
package=$(ls "$work"/tivenor_"$version"_*.deb 2>/dev/null | head -n1)
[ -n "$package" ] || fail "no package tivenor_${version}_*.deb: $(ls "$work")"

depends=$(dpkg-deb -f "$package" Depends)
for needed in fluid-soundfont-gm libfluidsynth3 libqt6widgets6 libqt6gui6 libqt6core6 libc6; do
  grep -q "\b$needed\b" <<<"$depends" || fail "the package does not depend on $needed: $depends"
done
contents=$(dpkg-deb -c "$package")
for file in usr/bin/tivenor usr/bin/tivenor-convert usr/bin/tivenor-punch \
  usr/share/applications/tivenor.desktop usr/share/icons/hicolor/scalable/apps/tivenor.svg \
  usr/share/icons/hicolor/48x48/apps/tivenor.png usr/share/man/man1/tivenor.1.gz \
  usr/share/man/man1/tivenor-convert.1.gz usr/share/man/man1/tivenor-punch.1.gz \
  usr/share/doc/tivenor/README.md; do
  grep -q " \./$file\$" <<<"$contents" || fail "the package lacks /$file"
done
resolved=$(apt-get install -s "$package" 2>&1) || fail "apt cannot install the package: $resolved"
grep -q "^Inst tivenor " <<<"$resolved" || fail "apt would not install tivenor: $resolved"
echo "$(basename "$package"): Depends: $depends"
