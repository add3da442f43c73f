#!/bin/sh
# Seeds for the GPS fuzzer: one tiny generated recording per GPS carrier,
# and the hand-made malformed files of hand_seeds.py.
# usage: make-seeds.sh PATH/TO/kestra-samplegen OUTPUT-FOLDER
set -eu
samplegen=$1
out=$2
work=$out/work
mkdir -p "$out" "$work/SEEDA"
# Two seconds: each GPS block of the 'gps ' carrier takes 32 KiB.
common="--size 64x64 --fps 2 --seconds 2 --no-audio"
"$samplegen" $common --gps box "$out/box.mp4"
"$samplegen" $common --gps sbtl "$out/sbtl_generated.mp4"
"$samplegen" $common --gps ts "$out/generated.ts"
"$samplegen" $common --gps sidecar "$work/SEEDA/rec.mp4"
cp "$work/SEEDG/rec.gps" "$out/generated.gps"
rm -rf "$work"
python3 "$(dirname "$0")/hand_seeds.py" "$out"
