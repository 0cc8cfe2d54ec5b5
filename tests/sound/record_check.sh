#!/usr/bin/env bash
# Checks the recording of with_pulse_null_sink.sh: a one-second tone played on
# the null sink is in the file it writes, and lasts about a second once the
# silence around it is trimmed.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
dir=$(mktemp -d "${TMPDIR:-/tmp}/quadrilex-record.XXXXXX")
trap 'rm -rf "$dir"' EXIT

sox -n -r 22050 -b 16 -c 1 "$dir/tone.wav" synth 1.0 sine 440 vol 0.5
"$here/with_pulse_null_sink.sh" --record "$dir/heard.wav" paplay "$dir/tone.wav"

sox "$dir/heard.wav" "$dir/trimmed.wav" silence 1 0.01 1% reverse silence 1 0.01 1% reverse
length=$(soxi -D "$dir/trimmed.wav")
echo "heard for $length s"
awk -v length_s="$length" 'BEGIN { exit !(length_s >= 0.9 && length_s <= 1.1) }'
