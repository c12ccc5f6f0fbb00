#!/usr/bin/env bash
# Measures the track's integrated loudness (LUFS) and true peak (dBTP) with ffmpeg's EBU R128
# filter. Usage: scripts/loudness.sh [file]   (default: data/music/track.mp3)
set -euo pipefail
cd "$(dirname "$0")/.."
track="${1:-data/music/track.mp3}"
if [ ! -f "$track" ]; then
  echo "loudness: no such file: $track" >&2
  exit 1
fi
summary=$(ffmpeg -hide_banner -nostats -i "$track" -af ebur128=peak=true -f null - 2>&1 |
  sed -n '/Summary:/,$p')
integrated=$(printf '%s\n' "$summary" | awk '/^ *I:/ {print $2; exit}')
peak=$(printf '%s\n' "$summary" | awk '/True peak:/ {getline; print $2; exit}')
if [ -z "$integrated" ] || [ -z "$peak" ]; then
  echo "loudness: ffmpeg gave no measurement for $track" >&2
  exit 1
fi
echo "integrated loudness: $integrated LUFS"
echo "true peak: $peak dBTP"
