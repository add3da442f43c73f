#!/usr/bin/env bash
# The main job: makes the demo recordings and shows what they hold.
set -euo pipefail
build=${1:-build}
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
