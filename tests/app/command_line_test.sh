#!/usr/bin/env bash
# The window's command line as a desktop starts it: --help and --version answer without a
# display; under a real X server with a window manager, `tivenor PICTURE` opens the picture and
# F5 runs START on it. Exits 77 (skipped) without Xvfb, openbox or xdotool.
# Usage: command_line_test.sh TIVENOR PICTURE.bmp VERSION [FOLDER FOR SCREENSHOTS]
set -u
tivenor=$1
picture=$2
version=$3
shots=${4:-}

fail() {
  echo "FAIL: $*"
  if [ -n "$shots" ] && [ -n "${DISPLAY:-}" ] && command -v import >/dev/null; then
    mkdir -p "$shots" && import -window root "$shots/command_line_failure.png" &&
      echo "screen: $shots/command_line_failure.png"
  fi
  exit 1
}

# No display is needed to ask for help or the version.
help=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= "$tivenor" --help) ||
  fail "--help exited with $?"
grep -q "Usage: .*tivenor" <<<"$help" || fail "--help gives no usage line: $help"
grep -q "PICTURE" <<<"$help" || fail "--help does not name the PICTURE argument: $help"
[ "$(env -u DISPLAY "$tivenor" --version)" = "tivenor $version" ] ||
  fail "--version says: $(env -u DISPLAY "$tivenor" --version)"
QT_QPA_PLATFORM=offscreen "$tivenor" one.bmp two.bmp 2>/dev/null
[ $? -eq 2 ] || fail "two pictures are not a usage error"
echo "--help, --version and a usage error answer without a display"

for tool in Xvfb openbox xdotool; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
work=$(mktemp -d)
pids=()
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(head -n1 "$work/display")"
openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
sleep 1

cp "$picture" "$work/disc.bmp"
# No sound server: START writes the MIDI file and says that it cannot play it.
(cd "$work" && PULSE_SERVER=unix:/nonexistent exec "$tivenor" disc.bmp) >"$work/tivenor.log" 2>&1 &
pids+=($!)
timeout 30 xdotool search --sync --onlyvisible --name '^Tivenor$' >/dev/null ||
  fail "the window did not appear"
sleep 1
xdotool key F5
for _ in $(seq 300); do [ -s "$work/disc.mid" ] && break; sleep 0.1; done
[ -s "$work/disc.mid" ] || fail "F5 after 'tivenor disc.bmp' wrote no MIDI file"
sleep 1
[ -n "$shots" ] && mkdir -p "$shots" && import -window root "$shots/command_line_started.png"
xdotool key Return  # the box that says there is no sound output
sleep 0.5
xdotool key ctrl+9 alt+v
sleep 0.5
[ -n "$shots" ] && import -window root "$shots/command_line_view_menu.png"
xdotool key Escape alt+d
sleep 0.5
[ -n "$shots" ] && import -window root "$shots/command_line_disc_menu.png"
echo "tivenor disc.bmp and F5 wrote $(stat -c %s "$work/disc.mid") bytes of MIDI"
