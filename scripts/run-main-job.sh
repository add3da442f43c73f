#!/usr/bin/env bash
# The main job: makes the demo recordings and shows what they hold.
set -euo pipefail
build=${1:-build}
demo="$build/demo"
"$build/tools/kestra-samplegen" --set demo --if-stale "$demo"

echo
echo "Sample recordings in $(cd "$demo" && pwd):"
while read -r name; do
  path="$demo/$name"
  case "$name" in
    *.mp4|*.MP4|*.ts)
      streams=$(ffprobe -v error -show_entries stream=codec_name,width,height,avg_frame_rate \
        -of csv=p=0 "$path" | paste -sd ' ' -)
      printf '  %-34s %s\n' "$name" "$streams" ;;
    *)
      printf '  %-34s %s bytes\n' "$name" "$(stat -c %s "$path")" ;;
  esac
done <"$demo/samples.txt"
