#!/usr/bin/env bash
# Times whole tivenor-convert --auto processes (wall time, processor time and peak memory from
# /usr/bin/time -v) on camera photographs of 8, 24 and 40 megapixels (JPEG quality 85, baseline,
# and the 24-megapixel one progressive too) and on 16-bit TIFF scans of 25 and 100 megapixels
# (uncompressed, LZW, Deflate). Prints the median of RUNS runs of each, with the load average.
# With a second converter the two run alternately, side by side.
#   bench/measure_pictures.sh [BUILD_DIR] [RUNS] [OTHER_CONVERTER]
set -euo pipefail
build=${1:-build}
runs=${2:-5}
other=${3:-}
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT

photo() { "$build/bin/tivenor-bench-photo" "$@"; }
photo jpeg 3464 2309 "$folder/photo8.jpg"
photo jpeg 6000 4000 "$folder/photo24.jpg"
photo progressive 6000 4000 "$folder/photo24-progressive.jpg"
photo jpeg 7746 5164 "$folder/photo40.jpg"
photo tiff 5000 none "$folder/scan25.tif"
photo tiff 10000 none "$folder/scan100.tif"
photo tiff 10000 lzw "$folder/scan100-lzw.tif"
photo tiff 10000 deflate "$folder/scan100-deflate.tif"

# One run: wall seconds, processor seconds and peak resident megabytes.
measure() {
  local converter=$1 picture=$2
  /usr/bin/time -v "$converter" --auto "$picture" -o "$folder/out.mid" 2>"$folder/time.txt" \
    >/dev/null || true
  awk -F': ' '
    /Elapsed \(wall clock\)/ { n = split($2, t, ":"); wall = t[n] + (n > 1 ? 60 * t[n-1] : 0) }
    /User time/ { cpu += $2 } /System time/ { cpu += $2 }
    /Maximum resident/ { rss = $2 / 1024 }
    /Cannot read|notes found/ { if ($0 ~ /Cannot/) failed = 1 }
    END { printf "%.2f %.2f %.0f %s\n", wall, cpu, rss, failed ? "failed" : "" }' "$folder/time.txt"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

report() {
  local name=$1 converter=$2 picture=$3
  : >"$folder/runs.txt"
  for _ in $(seq "$runs"); do measure "$converter" "$picture" >>"$folder/runs.txt"; done
  local note=""
  grep -q failed "$folder/runs.txt" && note=" (failed: $(grep -h 'Cannot read' "$folder/time.txt" | head -1))"
  printf "%-26s %6s MB  %-6s wall %5s s  cpu %5s s  peak %5s MB%s\n" "$(basename "$picture")" \
    "$(stat -c %s "$picture" | awk '{ printf "%.1f", $1 / 1048576 }')" "$name" \
    "$(cut -d' ' -f1 "$folder/runs.txt" | median)" "$(cut -d' ' -f2 "$folder/runs.txt" | median)" \
    "$(cut -d' ' -f3 "$folder/runs.txt" | median)" "$note"
}

echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
for picture in "$folder"/photo8.jpg "$folder"/photo24.jpg "$folder"/photo24-progressive.jpg \
  "$folder"/photo40.jpg "$folder"/scan25.tif "$folder"/scan100.tif "$folder"/scan100-lzw.tif \
  "$folder"/scan100-deflate.tif; do
  report this "$build/bin/tivenor-convert" "$picture"
  [ -n "$other" ] && report other "$other" "$picture"
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
