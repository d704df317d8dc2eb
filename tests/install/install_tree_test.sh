#!/usr/bin/env bash
# `cmake --install` gives what a desktop expects: the three programs, which find every library
# and answer --version; a menu entry that desktop-file-validate passes, offering Tivenor for the
# picture types it reads; its icon in every size; a manual page for each program; the README.
# Exits 77 (skipped) without desktop-file-validate.
# Usage: install_tree_test.sh BUILD_DIR VERSION
set -u
build=$1
version=$2
command -v desktop-file-validate >/dev/null ||
  { echo "skipped: desktop-file-validate is not installed (package desktop-file-utils)"; exit 77; }

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cmake --install "$build" --prefix "$prefix" >"$prefix.log" 2>&1 ||
  fail "cmake --install failed: $(cat "$prefix.log")"
rm -f "$prefix.log"

for program in tivenor tivenor-convert tivenor-punch; do
  binary="$prefix/bin/$program"
  [ -x "$binary" ] || fail "$program is not installed"
  missing=$(ldd "$binary" | grep "not found")
  [ -z "$missing" ] || fail "$program does not find: $missing"
  [ "$(env -u DISPLAY "$binary" --version)" = "$program $version" ] ||
    fail "$program --version says: $(env -u DISPLAY "$binary" --version 2>&1)"
  page="$prefix/share/man/man1/$program.1.gz"
  [ -s "$page" ] || fail "no manual page for $program"
  if command -v man >/dev/null; then
    warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "the manual page of $program: $warnings"
    MANWIDTH=80 man -l "$page" 2>/dev/null | grep -q "$program" ||
      fail "the manual page of $program does not name it"
  fi
done

entry="$prefix/share/applications/tivenor.desktop"
[ -f "$entry" ] || fail "no menu entry"
# Errors, warnings and hints alike: the entry must pass without a word.
complaints=$(desktop-file-validate "$entry" 2>&1) ||
  fail "desktop-file-validate refuses the menu entry: $complaints"
[ -z "$complaints" ] || fail "desktop-file-validate: $complaints"
grep -qx "Exec=tivenor %f" "$entry" || fail "the menu entry does not start tivenor with a file"
for type in image/bmp image/png image/jpeg image/tiff; do
  grep -q "^MimeType=.*$type;" "$entry" || fail "the menu entry does not offer Tivenor for $type"
done
icon=$(sed -n 's/^Icon=//p' "$entry")
[ -s "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no scalable icon $icon"
for size in 48 128 256; do
  png="$prefix/share/icons/hicolor/${size}x${size}/apps/$icon.png"
  [ -s "$png" ] || fail "no $size pixel icon"
  [ "$(head -c 8 "$png" | od -An -tx1 | tr -d ' \n')" = "89504e470d0a1a0a" ] ||
    fail "the $size pixel icon is no PNG file"
  if command -v identify >/dev/null; then
    [ "$(identify -format '%wx%h' "$png")" = "${size}x${size}" ] ||
      fail "the $size pixel icon is $(identify -format '%wx%h' "$png")"
  fi
done

[ -s "$prefix/share/doc/tivenor/README.md" ] || fail "no README"
for image in $(grep -o '(docs/[^)]*\.png)' "$prefix/share/doc/tivenor/README.md" | tr -d '()'); do
  [ -s "$prefix/share/doc/tivenor/$image" ] || fail "the README's $image is not installed"
done
echo "installed tree complete: $(find "$prefix" -type f | wc -l) files"
