#!/usr/bin/env bash
# The main job: makes the demo recordings, shows what they hold, then plays
# the 2880 x 2880 demo recording unwarped in four views with domeview-play.
# With a display it plays (again and again) until the user quits with q or
# Escape; without one it plays under a private Xvfb and saves a screenshot.
set -euo pipefail
build=${1:-build}
scripts=$(cd "$(dirname "$0")" && pwd)
demo="$build/demo"
"$build/tools/kestra-samplegen" --set demo --if-stale "$demo"

echo
echo "Sample recordings in $(cd "$demo" && pwd):"
describe() {
  ffprobe -v error -show_format -show_streams -of json "$1" | python3 -c '
import json, sys
info = json.load(sys.stdin)
parts = ["%.1f s" % float(info["format"]["duration"])]
for s in info["streams"]:
    kind = s.get("codec_type")
    if kind == "video":
        parts.append("%s %sx%s %s fps" % (s["codec_name"], s["width"], s["height"], s["avg_frame_rate"].split("/")[0]))
    elif kind == "audio":
        parts.append("%s %s Hz" % (s["codec_name"], s["sample_rate"]))
    elif kind == "subtitle":
        parts.append("subtitle track")
print(", ".join(parts))'
}

while read -r name; do
  path="$demo/$name"
  case "$name" in
    *.mp4|*.MP4|*.ts) printf '  %-30s %s\n' "$name" "$(describe "$path")" ;;
    *) printf '  %-30s %s bytes\n' "$name" "$(stat -c %s "$path")" ;;
  esac
done <"$demo/samples.txt"

play="$build/bin/domeview-play"
recording="$demo/front_2880p30.mp4"
shots="$build/screenshots"
mkdir -p "$shots"
shots=$(cd "$shots" && pwd)
# The engine's own diagnostics (calibration dump, mesh builds) go to a log.
log="$shots/domeview-play.log"
echo
if [ -n "${DISPLAY:-}" ]; then
  echo "Playing $(basename "$recording") unwarped in four views (engine diagnostics in $log)."
  echo "Drag to turn a view, wheel to zoom; space pause, Left/Right step or seek, 0..6 draw mode, q quit."
  "$play" --arrangement four --loop "$recording" >"$log"
else
  shot="$shots/domeview-play.png"
  echo "No display: playing $(basename "$recording") in four views under Xvfb for a screenshot."
  if ! "$scripts/run-with-display.sh" "$play" --arrangement four --screenshot "$shot" --after 3 "$recording" >"$log"; then
    echo "domeview-play failed; its log: $log" >&2
    exit 1
  fi
  echo "Screenshot: $shot"
fi
