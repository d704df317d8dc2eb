#!/usr/bin/env bash
# The keyboard road through the real window under a real X server and window manager, as on a
# desktop: Tab to "Open file", Space, type the picture's full path, wait, Return; then Tab to
# "START" and Space must write the MIDI file. Exits 77 (skipped) without Xvfb, openbox or xdotool.
# Usage: keyboard_road_test.sh TIVENOR PICTURE.bmp [FOLDER FOR SCREENSHOTS]
set -u
tivenor=$1
picture=$2
shots=${3:-}
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

fail() {
  echo "FAIL: $*"
  if [ -n "$shots" ] && command -v import >/dev/null; then
    mkdir -p "$shots" && import -window root "$shots/keyboard_road_failure.png" &&
      echo "screen: $shots/keyboard_road_failure.png"
  fi
  exit 1
}

# Xvfb picks a free display itself and writes its number to the descriptor.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(head -n1 "$work/display")"
openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
sleep 1

cp "$picture" "$work/disc.bmp"
(cd "$work" && exec "$tivenor") >"$work/tivenor.log" 2>&1 &
pids+=($!)
timeout 30 xdotool search --sync --onlyvisible --name '^Tivenor$' >/dev/null ||
  fail "the window did not appear"
sleep 1

xdotool key Tab Tab Tab space
timeout 30 xdotool search --sync --onlyvisible --name '^Open' >/dev/null ||
  fail "Tab, Tab, Tab, Space did not open the dialog"
sleep 0.5
xdotool type --delay 20 "$work/disc.bmp"
sleep 1
xdotool key Return
for _ in $(seq 300); do
  xdotool search --onlyvisible --name '^Open' >/dev/null 2>&1 || break
  sleep 0.1
done
xdotool search --onlyvisible --name '^Open' >/dev/null 2>&1 && fail "Return did not close the dialog"
# The completion list used to come up late and stay over the window: give it the time to.
sleep 1.5
xdotool key Tab space
for _ in $(seq 300); do [ -s "$work/disc.mid" ] && break; sleep 0.1; done
[ -s "$work/disc.mid" ] || fail "Tab and Space after the dialog did not reach START"
echo "the keyboard road reached START: $(stat -c %s "$work/disc.mid") bytes of MIDI"
